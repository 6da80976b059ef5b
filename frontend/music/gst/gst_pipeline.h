// What every GStreamer pipeline of the music layer shares. No call waits longer than kMaxWait:
// pipelines run on GStreamer's own threads, and their bus messages are folded into flags by a
// sync handler, so nobody has to run an event loop.
#pragma once

#include <gst/gst.h>

#include <atomic>
#include <memory>

namespace orbilon::music {

inline constexpr GstClockTime kMaxWait = 150 * GST_MSECOND;
inline constexpr int kPlayFlagAudio = 0x2;
inline constexpr int kPlayFlagSoftVolume = 0x10;

// GStreamer started once for the process; false when it cannot start.
bool GstReady();

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
GstElement* MakeAudioSink();

// A pass of a file shorter than this is no music: a file that decodes to (next to)
// nothing would otherwise be started again at once, forever.
inline constexpr GstClockTime kShortestPass = 20 * GST_MSECOND;

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
bool Settle(GstElement* e);

// Points a new playbin at the file's URI, audio only, into MakeAudioSink, with its bus
// folded into `flags` and its decoded audio counted by `meter`.
void PreparePlaybin(GstElement* playbin, const gchar* uri, BusFlags& flags, AudioMeter& meter);

}  // namespace orbilon::music
