#include "x11_windows.h"

#include <memory>

namespace orbilon {
namespace {

struct XFreeDeleter {
    void operator()(void* p) const {
        if (p) XFree(p);
    }
};
template <typename T>
using XPtr = std::unique_ptr<T, XFreeDeleter>;

}  // namespace

WindowTitles::WindowTitles(Display* d) : d_(d) {
    char* names[] = {const_cast<char*>("_NET_WM_NAME"), const_cast<char*>("UTF8_STRING")};
    Atom atoms[2] = {None, None};
    XInternAtoms(d, names, 2, False, atoms);
    netWmName_ = atoms[0];
    utf8String_ = atoms[1];
}

std::string WindowTitles::operator()(Window w) const {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* raw = nullptr;
    if (XGetWindowProperty(d_, w, netWmName_, 0, 1024, False, utf8String_, &type, &format, &count,
                           &after, &raw) == Success) {
        XPtr<unsigned char> data(raw);
        if (data && type == utf8String_ && format == 8)
            return std::string(reinterpret_cast<const char*>(data.get()), count);
    }
    char* rawName = nullptr;
    if (XFetchName(d_, w, &rawName) == 0) return {};
    XPtr<char> name(rawName);
    return name ? std::string(name.get()) : std::string();
}

Window FindWindowBelow(Display* d, Window start, const std::function<bool(Window)>& visit) {
    Window root = None, parent = None, *rawChildren = nullptr;
    unsigned int n = 0;
    if (XQueryTree(d, start, &root, &parent, &rawChildren, &n) == 0) return None;
    XPtr<Window> children(rawChildren);
    for (unsigned int i = 0; i < n; ++i) {
        const Window w = children.get()[i];
        if (visit(w)) return w;
        if (const Window found = FindWindowBelow(d, w, visit); found != None) return found;
    }
    return None;
}

}  // namespace orbilon
