#include "gst_pipeline.h"

#include <cstdlib>
#include <string>

namespace orbilon::music {

bool GstReady() {
    static const bool ok = gst_init_check(nullptr, nullptr, nullptr);
    return ok;
}

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

bool Settle(GstElement* e) {
    return gst_element_get_state(e, nullptr, nullptr, kMaxWait) != GST_STATE_CHANGE_FAILURE;
}

void PreparePlaybin(GstElement* playbin, const gchar* uri, BusFlags& flags, AudioMeter& meter) {
    flags.Attach(playbin);
    meter.Attach(playbin);
    g_object_set(playbin, "uri", uri, "audio-sink", MakeAudioSink(), "video-sink",
                 gst_element_factory_make("fakesink", nullptr), "flags",
                 kPlayFlagAudio | kPlayFlagSoftVolume, nullptr);
}

}  // namespace orbilon::music
