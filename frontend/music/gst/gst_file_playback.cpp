#include "gst_file_playback.h"

#include <gst/gst.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "gst_pipeline.h"
#include "mci_errors.h"
#include "mci_layer.h"

namespace orbilon::music {
namespace {

std::atomic<uint64_t> gLoopRequeues{0};

// ---- MPEGVideo files ------------------------------------------------------------------

class GstFile final : public MediaFile {
public:
    bool Open(const std::string& path, int32_t& error) {
        gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
        GstElement* pb = gst_element_factory_make("playbin", nullptr);
        if (!uri || !pb) {
            g_free(uri);
            if (pb) gst_object_unref(pb);
            error = kErrCannotLoadDriver;
            return false;
        }
        pipeline_.reset(pb);
        PreparePlaybin(pb, uri, flags_, meter_);
        g_free(uri);
        // Preroll: an unreadable or undecodable file fails here, within the bound.
        if (gst_element_set_state(pb, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE ||
            !Settle(pb) || flags_.error) {
            error = kErrInvalidFile;
            return false;
        }
        gint audio = -1;
        GstState state = GST_STATE_NULL;
        if (gst_element_get_state(pb, &state, nullptr, 0) == GST_STATE_CHANGE_SUCCESS) {
            g_object_get(pb, "n-audio", &audio, nullptr);
            if (audio == 0) {
                error = kErrInvalidFile;
                return false;
            }
        }
        return true;
    }

    bool Play(int64_t fromMs, bool restart) override {
        // A file that played to its end without a sound is silence: it is not started
        // again, and the caller's restarts cost nothing.
        if (flags_.eos && !silent_) silent_ = meter_.Take() < kShortestPass;
        if (flags_.error || silent_) return false;
        GstElement* pb = pipeline_.get();
        if (restart || flags_.eos) {
            Settle(pb);
            flags_.eos = false;
            if (!gst_element_seek_simple(pb, GST_FORMAT_TIME,
                                         GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                                         fromMs * GST_MSECOND)) {
                pendingSeek_ = fromMs;
            }
        }
        if (gst_element_set_state(pb, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) return false;
        mode_ = MediaMode::Playing;
        return true;
    }
    void Stop() override { Hold(MediaMode::Stopped); }
    void Pause() override { Hold(MediaMode::Paused); }

    MediaMode Mode() override {
        if (flags_.error || flags_.eos) return MediaMode::Stopped;
        RetrySeek();
        return mode_;
    }
    int64_t PositionMs() override {
        gint64 pos = 0;
        if (!gst_element_query_position(pipeline_.get(), GST_FORMAT_TIME, &pos)) return 0;
        return pos / GST_MSECOND;
    }
    int64_t LengthMs() override {
        gint64 len = 0;
        if (!gst_element_query_duration(pipeline_.get(), GST_FORMAT_TIME, &len)) return 0;
        return len / GST_MSECOND;
    }

private:
    void Hold(MediaMode m) {
        if (!flags_.error) gst_element_set_state(pipeline_.get(), GST_STATE_PAUSED);
        mode_ = m;
    }
    // A seek sent before the pipeline had prerolled is refused; repeat it once it has.
    void RetrySeek() {
        if (pendingSeek_ < 0) return;
        if (gst_element_get_state(pipeline_.get(), nullptr, nullptr, 0) != GST_STATE_CHANGE_SUCCESS)
            return;
        gst_element_seek_simple(pipeline_.get(), GST_FORMAT_TIME,
                                GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                                pendingSeek_ * GST_MSECOND);
        pendingSeek_ = -1;
    }

    BusFlags flags_;
    AudioMeter meter_;
    Pipeline pipeline_;  // declared after flags_ and meter_: stopped before they go away
    MediaMode mode_ = MediaMode::Stopped;
    int64_t pendingSeek_ = -1;
    bool silent_ = false;
};

// ---- Looping WAV ----------------------------------------------------------------------

class GstLoop final : public WavLoop {
public:
    bool Start(const std::string& path) {
        uri_ = gst_filename_to_uri(path.c_str(), nullptr);
        GstElement* pb = gst_element_factory_make("playbin", nullptr);
        if (!uri_ || !pb) {
            if (pb) gst_object_unref(pb);
            return false;
        }
        pipeline_.reset(pb);
        PreparePlaybin(pb, uri_, flags_, meter_);
        // Queuing the same file again just before the end makes playbin join the two
        // without a gap; this runs on GStreamer's streaming thread.
        g_signal_connect(pb, "about-to-finish", G_CALLBACK(&GstLoop::AboutToFinish), this);
        return gst_element_set_state(pb, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
    }
    ~GstLoop() override {
        // playbin switches to a queued pass on its streaming thread; stopping it in the
        // middle of that switch can deadlock. Once stopping_ is set no pass is queued, and
        // a switch begun just before is given time to finish.
        std::chrono::steady_clock::time_point queued;
        {
            std::lock_guard lock(requeue_);
            stopping_ = true;
            queued = lastQueued_;
        }
        std::this_thread::sleep_until(queued + kSwitchTime);
        if (pipeline_) g_signal_handlers_disconnect_by_data(pipeline_.get(), this);
        pipeline_.reset();
        g_free(uri_);
    }

private:
    static constexpr auto kSwitchTime = std::chrono::milliseconds(100);

    // A pass that yielded no audio ends the loop: requeuing it would only come back here
    // at once, forever.
    static void AboutToFinish(GstElement* pb, gpointer self) {
        auto* loop = static_cast<GstLoop*>(self);
        std::lock_guard lock(loop->requeue_);
        if (loop->stopping_ || loop->meter_.Take() < kShortestPass) return;
        ++gLoopRequeues;
        loop->lastQueued_ = std::chrono::steady_clock::now();
        g_object_set(pb, "uri", loop->uri_, nullptr);
    }

    gchar* uri_ = nullptr;
    std::mutex requeue_;
    bool stopping_ = false;                               // guarded by requeue_
    std::chrono::steady_clock::time_point lastQueued_{};  // guarded by requeue_
    BusFlags flags_;
    AudioMeter meter_;
    Pipeline pipeline_;
};

}  // namespace

uint64_t LoopRequeues() {
    return gLoopRequeues;
}

std::unique_ptr<MediaFile> OpenGstFile(const std::string& path, int32_t& error) {
    auto file = std::make_unique<GstFile>();
    if (!file->Open(path, error)) return nullptr;
    return file;
}

std::unique_ptr<WavLoop> StartGstLoop(const std::string& path) {
    auto loop = std::make_unique<GstLoop>();
    if (!loop->Start(path)) return nullptr;
    return loop;
}

}  // namespace orbilon::music
