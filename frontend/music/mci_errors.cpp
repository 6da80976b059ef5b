#include "mci_errors.h"

#include <algorithm>
#include <cstring>

namespace orbilon::music {

const char* ErrorText(int32_t code) {
    switch (code) {
        case kErrInvalidDeviceId:
            return "The device identifier is not valid.";
        case kErrUnrecognizedKeyword:
            return "The command contains an unknown keyword.";
        case kErrUnrecognizedCommand:
            return "Unknown command.";
        case kErrHardware:
            return "The device reported a hardware or decoding fault.";
        case kErrInvalidDeviceName:
            return "The device is not open or has no such name.";
        case kErrDeviceOpen:
            return "The device or alias is already open.";
        case kErrCannotLoadDriver:
            return "No multimedia layer is available.";
        case kErrMissingCommandString:
            return "No command was given.";
        case kErrParamOverflow:
            return "The reply does not fit into the buffer.";
        case kErrMissingStringArgument:
            return "A keyword lacks its value.";
        case kErrBadInteger:
            return "A number in the command is not valid.";
        case kErrMissingParameter:
            return "The command lacks a required part.";
        case kErrUnsupportedFunction:
            return "The device does not support this command.";
        case kErrFileNotFound:
            return "The file cannot be found or read.";
        case kErrDeviceNotReady:
            return "The device is not ready (no drive or no disc).";
        case kErrOutOfRange:
            return "The position is outside the media.";
        case kErrDuplicateAlias:
            return "The alias is already in use.";
        case kErrBadConstant:
            return "A value in the command is not known.";
        case kErrMissingDeviceName:
            return "The command names no device.";
        case kErrBadTimeFormat:
            return "The time format is not known.";
        case kErrNoClosingQuote:
            return "A quoted name is not closed, or a quote is misplaced.";
        case kErrDuplicateFlags:
            return "A keyword is given twice.";
        case kErrInvalidFile:
            return "The file cannot be played (not audio, or damaged).";
        case kErrExtraCharacters:
            return "The command has unexpected text at its end.";
        default:
            return nullptr;
    }
}

bool CopyErrorText(int32_t code, char* text, uint32_t size) {
    const char* message = ErrorText(code);
    if (!message || !text || size == 0) return false;
    size_t n = std::min<size_t>(std::strlen(message), size - 1);
    std::memcpy(text, message, n);
    text[n] = '\0';
    return true;
}

}  // namespace orbilon::music
