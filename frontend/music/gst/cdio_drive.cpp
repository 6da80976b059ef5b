#include "cdio_drive.h"

#include <cdio/cdio.h>
#include <cdio/logging.h>
#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "gst_pipeline.h"
#include "mci_errors.h"

namespace orbilon::music {
namespace {

constexpr int kSectorBytes = CDIO_CD_FRAMESIZE_RAW;  // 2352: 588 stereo 16-bit samples
constexpr int kSectorsPerBuffer = 15;                // 0.2 s of audio per push

class CdioDrive final : public CdDrive {
public:
    ~CdioDrive() override {
        pipeline_.reset();
        if (cdio_) cdio_destroy(cdio_);
    }

    bool Open(int32_t& error) {
        const char* source = std::getenv("ORBILON_CDROM");
        if (source && *source) {
            driver_id_t driver = DRIVER_DEVICE;
            // The cue test hands back the name of the image's data file, ours to free.
            if (char* bin = cdio_is_cuefile(source)) {
                cdio_free(bin);
                driver = DRIVER_BINCUE;
            } else if (cdio_is_tocfile(source))
                driver = DRIVER_CDRDAO;
            else if (cdio_is_nrg(source))
                driver = DRIVER_NRG;
            cdio_ = cdio_open(source, driver);
        } else {
            cdio_ = cdio_open(nullptr, DRIVER_DEVICE);
        }
        if (!cdio_) {
            error = kErrDeviceNotReady;
            return false;
        }
        LoadToc();
        return true;
    }

    const Toc* ReadToc() override {
        // A drive without a disc is asked again now and then, not on every call.
        if (toc_.Count() == 0 &&
            std::chrono::steady_clock::now() - lastTry_ > std::chrono::seconds(2))
            LoadToc();
        return toc_.Count() > 0 ? &toc_ : nullptr;
    }

    bool Play(int32_t from, int32_t to) override {
        pipeline_.reset();
        flags_.eos = flags_.error = false;
        {
            std::lock_guard lock(mutex_);
            next_ = from;
            end_ = to;
            start_ = from;
        }
        if (!Build()) return false;
        if (gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
            pipeline_.reset();
            return false;
        }
        return true;
    }
    void Stop() override {
        last_ = Frame();
        pipeline_.reset();
    }
    void Pause() override {
        if (pipeline_) gst_element_set_state(pipeline_.get(), GST_STATE_PAUSED);
    }
    void Resume() override {
        if (pipeline_) gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING);
    }
    bool Busy() override { return pipeline_ && !flags_.eos && !flags_.error; }
    int32_t Frame() override {
        if (!pipeline_) return last_;
        gint64 pos = 0;
        if (!gst_element_query_position(pipeline_.get(), GST_FORMAT_TIME, &pos) || pos < 0)
            return start_;
        int64_t f = start_ + pos * 75 / GST_SECOND;
        std::lock_guard lock(mutex_);
        return static_cast<int32_t>(std::min<int64_t>(f, end_ - 1));
    }

private:
    void LoadToc() {
        lastTry_ = std::chrono::steady_clock::now();
        toc_ = Toc{};
        track_t first = cdio_get_first_track_num(cdio_);
        track_t count = cdio_get_num_tracks(cdio_);
        if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0) return;
        Toc t;
        t.first = first;
        for (int i = 0; i <= count; ++i) {
            track_t track = i == count ? track_t(CDIO_CDROM_LEADOUT_TRACK) : track_t(first + i);
            lsn_t lsn = cdio_get_track_lsn(cdio_, track);
            if (lsn == CDIO_INVALID_LSN || (!t.starts.empty() && lsn <= t.starts.back())) return;
            t.starts.push_back(lsn);
        }
        toc_ = std::move(t);
    }

    bool Build() {
        GstElement* pipe = gst_pipeline_new(nullptr);
        GstElement* src = gst_element_factory_make("appsrc", nullptr);
        GstElement* sink = MakeAudioSink();
        if (!pipe || !src || !sink) {
            if (pipe) gst_object_unref(pipe);
            if (src) gst_object_unref(src);
            if (sink) gst_object_unref(sink);
            return false;
        }
        pipeline_.reset(pipe);
        flags_.Attach(pipe);
        GstCaps* caps = gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, "S16LE", "rate",
                                            G_TYPE_INT, 44100, "channels", G_TYPE_INT, 2, "layout",
                                            G_TYPE_STRING, "interleaved", nullptr);
        g_object_set(src, "caps", caps, "format", GST_FORMAT_TIME, "stream-type",
                     GST_APP_STREAM_TYPE_STREAM, "max-bytes", guint64(4 * kSectorBytes * 75),
                     nullptr);
        gst_caps_unref(caps);
        GstAppSrcCallbacks callbacks = {};
        callbacks.need_data = &CdioDrive::NeedData;
        gst_app_src_set_callbacks(GST_APP_SRC(src), &callbacks, this, nullptr);
        gst_bin_add_many(GST_BIN(pipe), src, sink, nullptr);
        return gst_element_link(src, sink);
    }

    // Streaming thread: reads the next sectors of the range into the pipeline.
    static void NeedData(GstAppSrc* src, guint, gpointer self) {
        auto* d = static_cast<CdioDrive*>(self);
        int32_t at, n, start;
        {
            std::lock_guard lock(d->mutex_);
            at = d->next_;
            n = std::min(kSectorsPerBuffer, d->end_ - at);
            start = d->start_;
        }
        if (n <= 0) {
            gst_app_src_end_of_stream(src);
            return;
        }
        GstBuffer* buf = gst_buffer_new_allocate(nullptr, gsize(n) * kSectorBytes, nullptr);
        GstMapInfo map;
        gst_buffer_map(buf, &map, GST_MAP_WRITE);
        const bool ok = cdio_read_audio_sectors(d->cdio_, map.data, at, n) == DRIVER_OP_SUCCESS;
        gst_buffer_unmap(buf, &map);
        if (!ok) {
            gst_buffer_unref(buf);
            gst_app_src_end_of_stream(src);
            return;
        }
        GST_BUFFER_PTS(buf) = gst_util_uint64_scale(at - start, GST_SECOND, 75);
        GST_BUFFER_DURATION(buf) = gst_util_uint64_scale(n, GST_SECOND, 75);
        {
            std::lock_guard lock(d->mutex_);
            d->next_ = at + n;
        }
        gst_app_src_push_buffer(src, buf);
    }

    CdIo_t* cdio_ = nullptr;
    Toc toc_;
    std::chrono::steady_clock::time_point lastTry_{};
    std::mutex mutex_;
    int32_t next_ = 0;   // guarded: next frame to read
    int32_t end_ = 0;    // guarded: end of the range
    int32_t start_ = 0;  // guarded: first frame of the range
    int32_t last_ = 0;
    BusFlags flags_;
    Pipeline pipeline_;
};

void QuietCdio(cdio_log_level_t, const char*) {}

}  // namespace

std::unique_ptr<CdDrive> OpenCdioDrive(int32_t& error) {
    auto drive = std::make_unique<CdioDrive>();
    if (!drive->Open(error)) return nullptr;
    return drive;
}

void QuietCdioLog() {
    cdio_log_set_handler(&QuietCdio);
}

}  // namespace orbilon::music
