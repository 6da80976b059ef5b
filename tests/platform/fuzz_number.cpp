// The number reader on arbitrary text: never NaN, and blanks around a text never change it.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "number.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto value = ParseNumber(text);
    if (value && std::isnan(*value)) abort();
    const auto padded = ParseNumber(" \t" + text + "\t ");
    if (value.has_value() != padded.has_value()) abort();
    if (value && *value != *padded) abort();
    return 0;
}
