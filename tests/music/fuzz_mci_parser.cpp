// Feeds arbitrary command texts to the parser and to a layer with scripted media, which
// must answer every one with a code and a NUL-terminated reply that fits its buffer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "mci_engine.h"
#include "mci_parser.h"

namespace {

using namespace orbilon::music;

class Drive final : public CdDrive {
public:
    Drive() { toc_.starts = {0, 300, 700, 900}; }
    const Toc* ReadToc() override { return &toc_; }
    bool Play(int32_t from, int32_t to) override { return (at_ = from) < to; }
    void Stop() override {}
    void Pause() override {}
    void Resume() override {}
    bool Busy() override { return (++polls_ % 3) != 0; }
    int32_t Frame() override { return at_; }

private:
    Toc toc_;
    int32_t at_ = 0;
    int polls_ = 0;
};

class Media final : public Backend {
public:
    std::unique_ptr<CdDrive> OpenCd(int32_t&) override { return std::make_unique<Drive>(); }
    std::unique_ptr<MediaFile> OpenFile(const std::string&, int32_t& error) override {
        error = 296;
        return nullptr;
    }
    int32_t OutputDevices() override { return 1; }
    bool StartLoop(const std::string&) override { return true; }
    void StopLoop() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static MciEngine engine(std::make_unique<Media>());
    std::string_view text(reinterpret_cast<const char*>(data), size);
    ParseCommand(text);
    for (TimeFormat f : {TimeFormat::Tmsf, TimeFormat::Msf, TimeFormat::Milliseconds}) {
        ParsePosition(text, f);
    }
    // Split the input into commands so that sequences (open, set, play, status) are explored.
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        char reply[16];
        std::memset(reply, 'x', sizeof reply);
        int32_t code = engine.SendString(text.substr(start, end - start), reply, sizeof reply);
        if (!std::memchr(reply, '\0', sizeof reply)) std::abort();
        if (code != 0 && reply[0] != '\0') std::abort();
        start = end + 1;
    }
    return 0;
}
