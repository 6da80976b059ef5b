// Stand-in for the music component until it lands in this tree; same declarations.
#pragma once
extern bool CdAvailable;
void CdOpen();
void CdWatch();
void CdClose();
void Mp3Open();
void Mp3Loop();
void Mp3Close();
void WavPlay();
void WavStop();
