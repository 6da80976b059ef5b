// Minimal stand-ins for the music component: a silent saver.
#include "mci_layer.h"
#include "orbilon_bgm.h"

bool CdAvailable = false;
void CdOpen() {}
void CdWatch() {}
void CdClose() {}
void Mp3Open() {}
void Mp3Loop() {}
void Mp3Close() {}
void WavPlay() {}
void WavStop() {}
void UseRealMciLayer() {}
