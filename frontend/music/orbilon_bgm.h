// Orbilon_BGM: background music for a saver run. The saver host calls the open
// operations at load, the watch/loop steps from its timers and the close operations
// at unload; every failure is silent. What to play (the file, the CD track to repeat) comes
// from the caller with each call.
#pragma once

#include <cstdint>
#include <string>

namespace Orbilon_BGM {

// -1 while the CD watch steps succeed, 0 after one met an error.
extern int16_t CdAvailable;

// Reply or error text of the last command MciQuery/MciPlay sent; kept between calls.
extern std::string ReplySlot;
// Buffers handed to the layer; they live for the whole process and are never reset.
extern char CommandReply[512];
extern char ErrorText[256];
extern char CdMode[255];
extern char FileMode[30];

void CdOpen();
// repeatTrack: the CD track to keep repeating, 0 for the whole disc.
void CdWatch(int16_t repeatTrack);
void CdClose();

void Mp3Open(const std::string& file);
void Mp3Loop();
void Mp3Close();
bool Mp3IsPlaying();

void WavPlay(const std::string& file);
void WavStop();

// 0 on success, -1 for an empty command, else the layer's error code; `reply` gets
// the reply or an error text.
int32_t MciCommand(const std::string& command, std::string& reply);
// The reply, or "Error:" and the code when the command failed.
std::string MciQuery(const std::string& command);
// Sends "play <device>[ from <from>][ to <to>]".
int32_t MciPlay(const std::string& device, const std::string& from, const std::string& to);

}  // namespace Orbilon_BGM
