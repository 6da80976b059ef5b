// Feeds arbitrary bytes as ~/.xscreensaver: adding Orbilon must leave the other hacks as they
// were and change no byte but the dashes of a disabled entry, doing it twice must change nothing,
// and removing it must give back the other hacks.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "xscreensaver_list.h"

namespace {

namespace xss = orbilon::xscreensaver;

void Check(bool ok) {
    if (!ok) abort();
}

std::vector<std::string> Others(const std::vector<xss::Entry>& list) {
    std::vector<std::string> out;
    for (const auto& e : list) {
        if (!xss::IsOrbilon(e)) out.push_back((e.enabled ? "+" : "-") + e.visual + e.command);
    }
    return out;
}

bool HasEnabledOrbilon(const std::vector<xss::Entry>& list) {
    for (const auto& e : list) {
        if (xss::IsOrbilon(e) && e.enabled) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto list = xss::Programs(text, &error);
    if (!list) {
        Check(!error.empty());
        Check(!xss::Register(text, "orbilon --root", &error));
        Check(!xss::Unregister(text, &error));
        return 0;
    }
    const auto added = xss::Register(text, "orbilon --root", &error);
    Check(added.has_value());
    const auto afterAdd = xss::Programs(added->text, &error);
    Check(afterAdd.has_value());
    Check(HasEnabledOrbilon(*afterAdd));
    Check(Others(*afterAdd) == Others(*list));
    Check((added->text == text) == (added->outcome == xss::Outcome::AlreadyListed));

    // Adding only inserts text, or drops the dashes that disabled the entry.
    size_t prefix = 0;
    while (prefix < text.size() && text[prefix] == added->text[prefix]) ++prefix;
    size_t suffix = 0;
    while (suffix < text.size() - prefix && suffix < added->text.size() - prefix &&
           text[text.size() - 1 - suffix] == added->text[added->text.size() - 1 - suffix]) {
        ++suffix;
    }
    const std::string_view dropped =
        std::string_view(text).substr(prefix, text.size() - prefix - suffix);
    if (added->outcome != xss::Outcome::Enabled) Check(dropped.empty());
    if (added->outcome == xss::Outcome::Enabled) {
        // Enabling drops dashes and nothing else, whatever stands between them.
        const size_t inserted = added->text.size() - prefix - suffix;
        size_t kept = 0;
        for (const char c : dropped) {
            if (kept < inserted && added->text[prefix + kept] == c) {
                ++kept;
            } else {
                Check(c == '-');
            }
        }
        Check(kept == inserted);
    }

    const auto twice = xss::Register(added->text, "orbilon --root", &error);
    Check(twice.has_value() && twice->text == added->text);

    const auto removed = xss::Unregister(added->text, &error);
    Check(removed.has_value() && removed->outcome == xss::Outcome::Removed);
    const auto afterRemove = xss::Programs(removed->text, &error);
    Check(afterRemove.has_value());
    Check(Others(*afterRemove) == Others(*list));
    Check(afterRemove->size() == Others(*list).size());
    const auto again = xss::Unregister(removed->text, &error);
    Check(again.has_value() && again->text == removed->text);
    return 0;
}
