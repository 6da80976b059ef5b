// Minimal stand-ins: no settings file, no music; the renderer is looked up beside the
// program so the saver runs end to end.
#include <unistd.h>

#include <climits>
#include <fstream>

#include "mci_layer.h"
#include "orbilon_bgm.h"
#include "settings.h"

int16_t BGMKind = 0, RepeatTrack = 0;
std::string BGMFile;
int32_t LastApiResult = 0;
bool CdAvailable = false;
void LoadSettings() {}
bool FileExists(const std::string& path) {
    return std::ifstream(path).good();
}
std::string ProgramFolder() {
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return ".";
    std::string p(buf, static_cast<size_t>(n));
    return p.substr(0, p.rfind('/'));
}
void CdOpen() {}
void CdWatch() {}
void CdClose() {}
void Mp3Open() {}
void Mp3Loop() {}
void Mp3Close() {}
void WavPlay() {}
void WavStop() {}
void UseRealMciLayer() {}
