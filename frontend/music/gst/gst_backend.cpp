// GStreamer and libcdio behind the engine's Backend. No call waits longer than
// kMaxWait: pipelines run on GStreamer's own threads, and their bus messages are
// folded into flags by a sync handler, so nobody has to run an event loop.
#include <cdio/cdio.h>
#include <cdio/logging.h>
#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "mci_errors.h"
#include "mci_layer.h"

namespace orbilon::music {
namespace {

std::atomic<uint64_t> gLoopRequeues{0};

constexpr GstClockTime kMaxWait = 150 * GST_MSECOND;
constexpr int kPlayFlagAudio = 0x2;
constexpr int kPlayFlagSoftVolume = 0x10;

bool GstReady() {
    static const bool ok = gst_init_check(nullptr, nullptr, nullptr);
    return ok;
}

// Stops the pipeline and unhooks its bus before the last reference goes: a message
// posted later must not reach flags that are about to be destroyed.
struct Unref {
    void operator()(GstElement* e) const {
        gst_element_set_state(e, GST_STATE_NULL);
        GstBus* bus = gst_element_get_bus(e);
        gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
        gst_object_unref(bus);
        gst_object_unref(e);
    }
};
using Pipeline = std::unique_ptr<GstElement, Unref>;

// Pipeline end and failure, set from GStreamer's threads; every message is dropped at
// once so a long run never piles up unread messages. A dropped message is ours to
// release: one kept alive also keeps its element, and so the whole pipeline with its
// bus and that bus's wake-up sockets.
struct BusFlags {
    std::atomic<bool> eos{false};
    std::atomic<bool> error{false};

    void Attach(GstElement* pipeline) {
        GstBus* bus = gst_element_get_bus(pipeline);
        gst_bus_set_sync_handler(bus, &BusFlags::OnMessage, this, nullptr);
        gst_object_unref(bus);
    }
    static GstBusSyncReply OnMessage(GstBus*, GstMessage* m, gpointer self) {
        auto* f = static_cast<BusFlags*>(self);
        if (GST_MESSAGE_TYPE(m) == GST_MESSAGE_EOS) f->eos = true;
        if (GST_MESSAGE_TYPE(m) == GST_MESSAGE_ERROR) f->error = true;
        gst_message_unref(m);
        return GST_BUS_DROP;
    }
};

// The configured audio output, always fed raw audio through a converter.
GstElement* MakeAudioSink() {
    const char* custom = std::getenv("ORBILON_AUDIO_SINK");
    std::string desc = "audioconvert ! audioresample ! ";
    desc += (custom && *custom) ? custom : "autoaudiosink";
    GError* err = nullptr;
    GstElement* bin = gst_parse_bin_from_description(desc.c_str(), TRUE, &err);
    if (err) g_error_free(err);
    if (!bin) bin = gst_element_factory_make("fakesink", nullptr);
    return bin;
}

// A pass of a file shorter than this is no music: a file that decodes to (next to)
// nothing would otherwise be started again at once, forever.
constexpr GstClockTime kShortestPass = 20 * GST_MSECOND;

// Measures the audio that leaves playbin's decoders. Their output pads lie before any
// queue, so everything a pass decoded has been counted by the time playbin reports that
// pass drained or ended.
class AudioMeter {
public:
    void Attach(GstElement* playbin) {
        g_signal_connect(playbin, "element-setup", G_CALLBACK(&AudioMeter::OnElement), this);
    }
    // The audio decoded since the last call.
    GstClockTime Take() { return heard_.exchange(0); }

private:
    static void OnElement(GstElement*, GstElement* e, gpointer self) {
        GstElementFactory* f = gst_element_get_factory(e);
        if (!f || g_strcmp0(GST_OBJECT_NAME(f), "uridecodebin") != 0) return;
        // playbin adds the same decoder bin again for every pass: connect once only.
        g_signal_handlers_disconnect_by_data(e, self);
        g_signal_connect(e, "pad-added", G_CALLBACK(&AudioMeter::OnPad), self);
    }
    static void OnPad(GstElement*, GstPad* pad, gpointer self) {
        GstCaps* caps = gst_pad_get_current_caps(pad);
        const bool audio =
            !caps ||
            g_str_has_prefix(gst_structure_get_name(gst_caps_get_structure(caps, 0)), "audio/");
        if (caps) gst_caps_unref(caps);
        if (audio)
            gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, &AudioMeter::OnBuffer, self, nullptr);
    }
    static GstPadProbeReturn OnBuffer(GstPad*, GstPadProbeInfo* info, gpointer self) {
        GstBuffer* b = GST_PAD_PROBE_INFO_BUFFER(info);
        if (b && gst_buffer_get_size(b) > 0) {
            // A buffer without a duration still is sound; count it as a full pass.
            const GstClockTime d = GST_BUFFER_DURATION(b);
            static_cast<AudioMeter*>(self)->heard_ +=
                GST_CLOCK_TIME_IS_VALID(d) ? d : kShortestPass;
        }
        return GST_PAD_PROBE_OK;
    }

    std::atomic<GstClockTime> heard_{0};
};

// Waits for a pending state change, at most kMaxWait; false when it failed.
bool Settle(GstElement* e) {
    return gst_element_get_state(e, nullptr, nullptr, kMaxWait) != GST_STATE_CHANGE_FAILURE;
}

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
        flags_.Attach(pb);
        meter_.Attach(pb);
        g_object_set(pb, "uri", uri, "audio-sink", MakeAudioSink(), "video-sink",
                     gst_element_factory_make("fakesink", nullptr), "flags",
                     kPlayFlagAudio | kPlayFlagSoftVolume, nullptr);
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

class GstLoop {
public:
    bool Start(const std::string& path) {
        uri_ = gst_filename_to_uri(path.c_str(), nullptr);
        GstElement* pb = gst_element_factory_make("playbin", nullptr);
        if (!uri_ || !pb) {
            if (pb) gst_object_unref(pb);
            return false;
        }
        pipeline_.reset(pb);
        flags_.Attach(pb);
        meter_.Attach(pb);
        g_object_set(pb, "uri", uri_, "audio-sink", MakeAudioSink(), "video-sink",
                     gst_element_factory_make("fakesink", nullptr), "flags",
                     kPlayFlagAudio | kPlayFlagSoftVolume, nullptr);
        // Queuing the same file again just before the end makes playbin join the two
        // without a gap; this runs on GStreamer's streaming thread.
        g_signal_connect(pb, "about-to-finish", G_CALLBACK(&GstLoop::AboutToFinish), this);
        return gst_element_set_state(pb, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
    }
    ~GstLoop() {
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

// ---- cdaudio --------------------------------------------------------------------------

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

class GstBackend final : public Backend {
public:
    GstBackend() { cdio_log_set_handler(&QuietCdio); }

    std::unique_ptr<CdDrive> OpenCd(int32_t& error) override {
        if (!GstReady()) {
            error = kErrCannotLoadDriver;
            return nullptr;
        }
        auto drive = std::make_unique<CdioDrive>();
        if (!drive->Open(error)) return nullptr;
        return drive;
    }

    std::unique_ptr<MediaFile> OpenFile(const std::string& path, int32_t& error) override {
        if (!GstReady()) {
            error = kErrCannotLoadDriver;
            return nullptr;
        }
        auto file = std::make_unique<GstFile>();
        if (!file->Open(path, error)) return nullptr;
        return file;
    }

    int32_t OutputDevices() override {
        const char* custom = std::getenv("ORBILON_AUDIO_SINK");
        if (custom && *custom) return 1;
        if (!GstReady()) return 0;
        GstDeviceMonitor* monitor = gst_device_monitor_new();
        gst_device_monitor_add_filter(monitor, "Audio/Sink", nullptr);
        GList* devices = gst_device_monitor_get_devices(monitor);
        const int32_t n = static_cast<int32_t>(g_list_length(devices));
        g_list_free_full(devices, gst_object_unref);
        gst_object_unref(monitor);
        return n;
    }

    bool StartLoop(const std::string& path) override {
        loop_.reset();
        if (!GstReady()) return false;
        auto loop = std::make_unique<GstLoop>();
        if (!loop->Start(path)) return false;
        loop_ = std::move(loop);
        return true;
    }
    void StopLoop() override { loop_.reset(); }

private:
    std::unique_ptr<GstLoop> loop_;
};

}  // namespace

uint64_t LoopRequeues() {
    return gLoopRequeues;
}

std::unique_ptr<Backend> MakeGstBackend() {
    return std::make_unique<GstBackend>();
}

}  // namespace orbilon::music
