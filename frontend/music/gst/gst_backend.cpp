// GStreamer and libcdio behind the engine's Backend: files and the WAV loop through playbin,
// the CD drive through libcdio.
#include <gst/gst.h>

#include <cstdlib>
#include <string>

#include "cdio_drive.h"
#include "gst_file_playback.h"
#include "gst_pipeline.h"
#include "mci_errors.h"
#include "mci_layer.h"

namespace orbilon::music {
namespace {

class GstBackend final : public Backend {
public:
    GstBackend() { QuietCdioLog(); }

    std::unique_ptr<CdDrive> OpenCd(int32_t& error) override {
        if (!GstReady()) {
            error = kErrCannotLoadDriver;
            return nullptr;
        }
        return OpenCdioDrive(error);
    }

    std::unique_ptr<MediaFile> OpenFile(const std::string& path, int32_t& error) override {
        if (!GstReady()) {
            error = kErrCannotLoadDriver;
            return nullptr;
        }
        return OpenGstFile(path, error);
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
        loop_ = StartGstLoop(path);
        return loop_ != nullptr;
    }
    void StopLoop() override { loop_.reset(); }

private:
    std::unique_ptr<WavLoop> loop_;
};

}  // namespace

std::unique_ptr<Backend> MakeGstBackend() {
    return std::make_unique<GstBackend>();
}

}  // namespace orbilon::music
