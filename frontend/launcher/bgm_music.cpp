#include "bgm_music.h"

#include "orbilon_bgm.h"
#include "settings.h"

namespace orbilon {

void BgmMusic::CdOpen() {
    Orbilon_BGM::CdOpen();
}
void BgmMusic::CdWatch() {
    Orbilon_BGM::CdWatch(RepeatTrack);
}
bool BgmMusic::CdAvailable() {
    return Orbilon_BGM::CdAvailable != 0;
}
void BgmMusic::CdClose() {
    Orbilon_BGM::CdClose();
}
void BgmMusic::WavPlay() {
    Orbilon_BGM::WavPlay(BGMFile);
}
void BgmMusic::WavStop() {
    Orbilon_BGM::WavStop();
}
void BgmMusic::Mp3Open() {
    Orbilon_BGM::Mp3Open(BGMFile);
}
void BgmMusic::Mp3Loop() {
    Orbilon_BGM::Mp3Loop();
}
void BgmMusic::Mp3Close() {
    Orbilon_BGM::Mp3Close();
}

}  // namespace orbilon
