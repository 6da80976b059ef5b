// The saver host's music operations, as the music module provides them on every platform, fed
// with the settings' file and CD track at each call.
#pragma once

#include "saver_host.h"

namespace orbilon {

class BgmMusic : public HostMusic {
public:
    void CdOpen() override;
    void CdWatch() override;
    bool CdAvailable() override;
    void CdClose() override;
    void WavPlay() override;
    void WavStop() override;
    void Mp3Open() override;
    void Mp3Loop() override;
    void Mp3Close() override;
};

}  // namespace orbilon
