#include "host_core.h"

#include "command_line.h"

namespace orbilon {

MusicFile FileKind(std::string_view path) {
    if (path.size() < 3) return MusicFile::None;
    std::string_view tail = path.substr(path.size() - 3);
    char up[3];
    for (int i = 0; i < 3; ++i) {
        const char c = tail[static_cast<size_t>(i)];
        up[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    const std::string_view ending(up, 3);
    if (ending == "WAV") return MusicFile::Wav;
    if (ending == "MP3") return MusicFile::Mp3;
    return MusicFile::None;
}

LoadMusic MusicAtLoad(int16_t bgmKind, std::string_view bgmFile) {
    LoadMusic m;
    if (bgmKind == 1) m.cdOpen = true;
    if (bgmKind == 2) {
        const MusicFile kind = FileKind(bgmFile);
        m.wavPlay = kind == MusicFile::Wav;
        m.mp3Open = kind == MusicFile::Mp3;
    }
    return m;
}

UnloadSteps StepsAtUnload(int16_t bgmKind, std::string_view bgmFile, bool timer2On,
                          std::string_view args) {
    UnloadSteps s;
    s.cdClose = timer2On;
    if (bgmKind == 2) {
        const MusicFile kind = FileKind(bgmFile);
        s.wavStop = kind == MusicFile::Wav;
        s.mp3Close = kind == MusicFile::Mp3;
    }
    s.restoreCursor = ModeLetter(args) == 'S';
    return s;
}

}  // namespace orbilon
