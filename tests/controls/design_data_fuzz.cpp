// Any design data text parses; formatting what was parsed and parsing it again gives the
// same sections; reading a button's properties from any section never fails.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "design_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orbilon::controls;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const DesignData first = DesignData::Parse(text);
    const DesignData second = DesignData::Parse(first.Format());
    if (!(first.Sections() == second.Sections())) std::abort();
    for (const auto& section : first.Sections()) {
        ButtonProperties p;
        ReadButtonProperties(section.properties, FontSpec{}, p);
        PropertyBag out;
        WriteButtonProperties(p, FontSpec{}, out);
    }
    return 0;
}
