#include "winmm_layer.h"

#include <windows.h>
// After windows.h, which it builds on.
#include <mmsystem.h>
// The interface's own PlaySound, not winmm's macro for PlaySoundW.
#undef PlaySound

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "mci_api.h"
#include "mci_errors.h"
#include "wide.h"

namespace orbilon::music {

using win32::Utf8;
using win32::Wide;

void CopyUtf8(std::string_view utf8, char* out, uint32_t size) {
    if (!out || size == 0) return;
    size_t n = std::min<size_t>(utf8.size(), size - 1);
    // Never end inside a multi-byte character.
    if (n < utf8.size()) {
        while (n > 0 && (static_cast<unsigned char>(utf8[n]) & 0xC0) == 0x80) --n;
    }
    std::memcpy(out, utf8.data(), n);
    out[n] = '\0';
}

namespace {

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

class WinmmApi final : public MciApi {
public:
    int32_t SendString(std::string_view command, char* reply, uint32_t size) override {
        if (reply && size > 0) reply[0] = '\0';
        const std::wstring wide = Wide(command);
        // Text that is not UTF-8 (or holds a NUL) would reach winmm changed: refuse it.
        if (wide.empty() || wide.find(L'\0') != std::wstring::npos) {
            Log(command, kErrUnrecognizedCommand, {});
            return kErrUnrecognizedCommand;
        }
        wchar_t answer[512] = {};
        const MCIERROR code = mciSendStringW(wide.c_str(), answer, 512, nullptr);
        const std::string text = Utf8(answer);
        if (reply) CopyUtf8(text, reply, size);
        Log(command, static_cast<int32_t>(code), text);
        return static_cast<int32_t>(code);
    }

    bool GetErrorString(int32_t code, char* text, uint32_t size) override {
        if (!text || size == 0) return false;
        wchar_t wide[256] = {};
        if (!mciGetErrorStringW(static_cast<MCIERROR>(code), wide, 256)) return false;
        CopyUtf8(Utf8(wide), text, size);
        return true;
    }

    int32_t WaveOutGetNumDevs() override { return static_cast<int32_t>(waveOutGetNumDevs()); }

    bool PlaySound(const char* sound, uint32_t flags) override {
        if (!sound) return ::PlaySoundW(nullptr, nullptr, 0) != FALSE;
        const std::wstring file = Wide(sound);
        if (file.empty()) return false;
        DWORD f = SND_FILENAME | SND_NODEFAULT;
        if (flags & kSndAsync) f |= SND_ASYNC;
        if (flags & kSndLoop) f |= SND_LOOP;
        return ::PlaySoundW(file.c_str(), nullptr, f) != FALSE;
    }

private:
    void Log(std::string_view command, int32_t code, const std::string& reply) {
        if (!log_) return;
        std::fprintf(log_.get(), "%ld\t%.*s\t%s\n", static_cast<long>(code),
                     static_cast<int>(command.size()), command.data(), reply.c_str());
        std::fflush(log_.get());
    }

    std::unique_ptr<FILE, FileCloser> log_{[] {
        const wchar_t* path = _wgetenv(L"ORBILON_MCI_LOG");
        return path && *path ? _wfopen(path, L"ab") : nullptr;
    }()};
};

}  // namespace

void UseRealMciLayer() {
    static WinmmApi api;
    SetMciApi(&api);
}

}  // namespace orbilon::music
