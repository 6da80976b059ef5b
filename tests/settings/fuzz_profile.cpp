// Feeds arbitrary bytes to the profile parser as a file, then checks that a write reads back
// and touches nothing outside the line it changed or added.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "cp932.h"
#include "profile.h"

namespace {

void Check(bool ok) {
    if (!ok) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // The first line picks the section and key, the rest is the file.
    const size_t nl = input.find('\n');
    std::string_view head = nl == std::string_view::npos ? std::string_view() : input.substr(0, nl);
    const std::string_view text = nl == std::string_view::npos ? input : input.substr(nl + 1);
    const size_t eq = head.find('=');
    const std::string_view section = eq == std::string_view::npos ? "Section" : head.substr(0, eq);
    const std::string_view key = eq == std::string_view::npos ? head : head.substr(eq + 1);

    using orbilon::profile::GetValue;
    using orbilon::profile::SetValue;
    if (const auto value = GetValue(text, section, key)) {
        Check(value->size() <= orbilon::profile::kMaxValueBytes);
        (void)orbilon::cp932::ToUtf8(*value);
    }
    (void)GetValue(text, "Section", "BGM\x8b\xe6\x95\xaa");

    const std::string value = "v=\"" + std::string(key.substr(0, 8)) + " ";
    const auto written = SetValue(text, section, key, value);
    if (!written) return 0;
    const auto back = GetValue(*written, section, key);
    Check(back.has_value());
    if (value.size() <= orbilon::profile::kMaxValueBytes) Check(*back == value);
    // Only bytes of one line may differ: the common prefix and suffix cover the rest.
    size_t prefix = 0;
    while (prefix < text.size() && prefix < written->size() && text[prefix] == (*written)[prefix]) {
        ++prefix;
    }
    size_t suffix = 0;
    while (suffix < text.size() - prefix && suffix < written->size() - prefix &&
           text[text.size() - 1 - suffix] == (*written)[written->size() - 1 - suffix]) {
        ++suffix;
    }
    const std::string_view removed = text.substr(prefix, text.size() - prefix - suffix);
    Check(removed.find('\n') == std::string_view::npos);
    // Writing the same value again changes nothing.
    Check(*SetValue(*written, section, key, value) == *written);
    return 0;
}
