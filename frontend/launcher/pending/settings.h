// Stand-in for the settings component until it lands in this tree; same declarations.
#pragma once
#include <cstdint>
#include <string>
extern int16_t BGMKind, RepeatTrack;
extern std::string BGMFile;
extern int32_t LastApiResult;
void LoadSettings();
bool FileExists(const std::string& path);
std::string ProgramFolder();
