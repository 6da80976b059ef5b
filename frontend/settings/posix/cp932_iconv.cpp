#include <errno.h>
#include <iconv.h>

#include "cp932.h"

namespace orbilon::cp932 {
namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (ok()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    std::optional<std::string> Convert(std::string_view in) {
        if (!ok()) return std::nullopt;
        std::string out;
        char buffer[1024];
        char* src = const_cast<char*>(in.data());
        size_t src_left = in.size();
        while (src_left > 0) {
            char* dst = buffer;
            size_t dst_left = sizeof buffer;
            const size_t r = iconv(cd_, &src, &src_left, &dst, &dst_left);
            out.append(buffer, dst - buffer);
            if (r == static_cast<size_t>(-1) && errno != E2BIG) return std::nullopt;
            // glibc counts the characters it converted inexactly.
            if (r != static_cast<size_t>(-1) && r != 0) return std::nullopt;
        }
        char* dst = buffer;
        size_t dst_left = sizeof buffer;
        if (iconv(cd_, nullptr, nullptr, &dst, &dst_left) == static_cast<size_t>(-1)) {
            return std::nullopt;
        }
        out.append(buffer, dst - buffer);
        return out;
    }

private:
    iconv_t cd_;
};

}  // namespace

std::optional<std::string> FromUtf8(std::string_view utf8) {
    auto encoded = Converter("CP932", "UTF-8").Convert(utf8);
    if (!encoded) return std::nullopt;
    auto back = ToUtf8(*encoded);
    if (!back || *back != utf8) return std::nullopt;
    return encoded;
}

std::optional<std::string> ToUtf8(std::string_view cp932) {
    return Converter("UTF-8", "CP932").Convert(cp932);
}

}  // namespace orbilon::cp932
