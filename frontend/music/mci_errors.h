// Error codes of the command-string layer, numbered like the Windows MCI errors
// (256 + n) so callers that print or compare them see familiar values.
#pragma once

#include <cstdint>

namespace orbilon::music {

inline constexpr int32_t kErrInvalidDeviceId = 257;
inline constexpr int32_t kErrUnrecognizedKeyword = 259;
inline constexpr int32_t kErrUnrecognizedCommand = 261;
inline constexpr int32_t kErrHardware = 262;
inline constexpr int32_t kErrInvalidDeviceName = 263;
inline constexpr int32_t kErrDeviceOpen = 265;
inline constexpr int32_t kErrCannotLoadDriver = 266;
inline constexpr int32_t kErrMissingCommandString = 267;
inline constexpr int32_t kErrParamOverflow = 268;
inline constexpr int32_t kErrMissingStringArgument = 269;
inline constexpr int32_t kErrBadInteger = 270;
inline constexpr int32_t kErrMissingParameter = 273;
inline constexpr int32_t kErrUnsupportedFunction = 274;
inline constexpr int32_t kErrFileNotFound = 275;
inline constexpr int32_t kErrDeviceNotReady = 276;
inline constexpr int32_t kErrOutOfRange = 282;
inline constexpr int32_t kErrDuplicateAlias = 289;
inline constexpr int32_t kErrBadConstant = 290;
inline constexpr int32_t kErrMissingDeviceName = 292;
inline constexpr int32_t kErrBadTimeFormat = 293;
inline constexpr int32_t kErrNoClosingQuote = 294;
inline constexpr int32_t kErrDuplicateFlags = 295;
inline constexpr int32_t kErrInvalidFile = 296;
inline constexpr int32_t kErrExtraCharacters = 305;

// The layer's own text for a code, or null for a code it does not know.
const char* ErrorText(int32_t code);
// Copies the text (cut to fit, always NUL-terminated); false for an unknown code or no room.
bool CopyErrorText(int32_t code, char* text, uint32_t size);

}  // namespace orbilon::music
