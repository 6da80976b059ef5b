#include "mci_api.h"

#include "mci_errors.h"

namespace orbilon::music {
namespace {

// Until a real layer is installed: no devices, every command fails.
class SilentApi final : public MciApi {
public:
    int32_t SendString(std::string_view, char* reply, uint32_t size) override {
        if (reply && size > 0) reply[0] = '\0';
        return kErrCannotLoadDriver;
    }
    bool GetErrorString(int32_t code, char* text, uint32_t size) override {
        return CopyErrorText(code, text, size);
    }
    int32_t WaveOutGetNumDevs() override { return 0; }
    bool PlaySound(const char*, uint32_t) override { return false; }
};

SilentApi silent;
MciApi* current = &silent;

}  // namespace

MciApi& CurrentMciApi() {
    return *current;
}
void SetMciApi(MciApi* api) {
    current = api ? api : &silent;
}

}  // namespace orbilon::music
