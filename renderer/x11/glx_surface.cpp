#include "glx_surface.h"

#include <algorithm>
#include <cstring>

namespace orbilon {

namespace {

bool HasExtension(const char* list, const char* name) {
    if (!list) return false;
    const size_t n = std::strlen(name);
    for (const char* p = list; (p = std::strstr(p, name)) != nullptr; p += n) {
        if ((p == list || p[-1] == ' ') && (p[n] == ' ' || p[n] == '\0')) return true;
    }
    return false;
}

int Attrib(Display* display, GLXFBConfig config, int attribute) {
    int value = 0;
    glXGetFBConfigAttrib(display, config, attribute, &value);
    return value;
}

// A software renderer counts as generic for every format, as Windows' own does.
bool RendererAccelerated(Display* display, int screen) {
    if (!HasExtension(glXQueryExtensionsString(display, screen), "GLX_MESA_query_renderer")) {
        return true;
    }
    using QueryFn = Bool (*)(Display*, int, int, int, unsigned int*);
    auto query = reinterpret_cast<QueryFn>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXQueryRendererIntegerMESA")));
    unsigned int accelerated = 1;
    if (query && query(display, screen, 0, GLX_RENDERER_ACCELERATED_MESA, &accelerated)) {
        return accelerated != 0;
    }
    return true;
}

std::optional<GlxFormat> WithVisual(Display* display, GLXFBConfig config) {
    XVisualInfo* vi = glXGetVisualFromFBConfig(display, config);
    if (!vi) return std::nullopt;
    GlxFormat format{config, *vi};
    XFree(vi);
    return format;
}

// Bits of a pixel of this depth that no colour mask covers: an alpha channel.
int AlphaBits(int depth, unsigned long red, unsigned long green, unsigned long blue) {
    return depth - __builtin_popcountl(red | green | blue);
}

// The screen's visuals, fetched once: asking GLX for each config's visual would look the
// config up in Mesa's whole list and fetch every visual again, once per config.
class ScreenVisuals {
public:
    ScreenVisuals(Display* display, int screen) {
        XVisualInfo want{};
        want.screen = screen;
        list_ = XGetVisualInfo(display, VisualScreenMask, &want, &count_);
    }
    ~ScreenVisuals() {
        if (list_) XFree(list_);
    }
    ScreenVisuals(const ScreenVisuals&) = delete;
    ScreenVisuals& operator=(const ScreenVisuals&) = delete;
    const XVisualInfo* Find(VisualID id) const {
        for (int i = 0; id != 0 && i < count_; ++i) {
            if (list_[i].visualid == id) return &list_[i];
        }
        return nullptr;
    }

private:
    XVisualInfo* list_ = nullptr;
    int count_ = 0;
};

void DescribeVisual(const XVisualInfo* vi, PixelFormatDesc& d) {
    if (!vi) {
        d.visualClass = VisualClass::kNone;
        return;
    }
    d.visualClass = vi->c_class == TrueColor     ? VisualClass::kTrueColor
                    : vi->c_class == DirectColor ? VisualClass::kDirectColor
                                                 : VisualClass::kOther;
    d.visualAlphaBits = AlphaBits(vi->depth, vi->red_mask, vi->green_mask, vi->blue_mask);
}

// The configs that can qualify at all (window, double-buffered RGBA, with a TrueColor visual,
// as no other kind shows as drawn), in the order glXGetFBConfigs returns them, so numbering
// and ties stay as over the whole list. Mesa offers hundreds of configs and checks each one
// passed to glXGetFBConfigAttrib against its whole list, so describing them all would cost
// more than the rest of the start; the server's own filter is one call.
std::vector<GLXFBConfig> Candidates(Display* display, int screen) {
    std::vector<GLXFBConfig> out;
    int count = 0;
    GLXFBConfig* all = glXGetFBConfigs(display, screen, &count);
    if (!all) return out;
    const int wanted[] = {GLX_DRAWABLE_TYPE,
                          GLX_WINDOW_BIT,
                          GLX_RENDER_TYPE,
                          GLX_RGBA_BIT,
                          GLX_DOUBLEBUFFER,
                          True,
                          GLX_X_RENDERABLE,
                          True,
                          GLX_X_VISUAL_TYPE,
                          GLX_TRUE_COLOR,
                          None};
    int n = 0;
    GLXFBConfig* chosen = glXChooseFBConfig(display, screen, wanted, &n);
    std::vector<GLXFBConfig> keep(chosen, chosen + (chosen ? n : 0));
    if (chosen) XFree(chosen);
    std::sort(keep.begin(), keep.end());
    for (int i = 0; i < count; ++i) {
        // A filter that finds nothing is not trusted: then every config is described.
        if (keep.empty() || std::binary_search(keep.begin(), keep.end(), all[i])) {
            out.push_back(all[i]);
        }
    }
    XFree(all);
    return out;
}

}  // namespace

std::vector<PixelFormatDesc> DescribeFbConfigs(Display* display, int screen, GLXFBConfig* configs,
                                               int count) {
    const bool accelerated = RendererAccelerated(display, screen);
    const Visual* root = DefaultVisual(display, screen);
    const int screenAlpha =
        AlphaBits(DefaultDepth(display, screen), root->red_mask, root->green_mask, root->blue_mask);
    const ScreenVisuals visuals(display, screen);
    std::vector<PixelFormatDesc> out(count);
    for (int i = 0; i < count; ++i) {
        GLXFBConfig c = configs[i];
        PixelFormatDesc& d = out[i];
        // Every FBConfig is OpenGL's; one that can back an X window needs a visual.
        const auto visual = static_cast<VisualID>(Attrib(display, c, GLX_VISUAL_ID));
        d.supportOpenGL = visual != 0;
        d.drawToWindow = (Attrib(display, c, GLX_DRAWABLE_TYPE) & GLX_WINDOW_BIT) != 0;
        d.doubleBuffer = Attrib(display, c, GLX_DOUBLEBUFFER) != 0;
        d.rgba = (Attrib(display, c, GLX_RENDER_TYPE) & GLX_RGBA_BIT) != 0;
        d.colorBits = Attrib(display, c, GLX_BUFFER_SIZE);
        d.depthBits = Attrib(display, c, GLX_DEPTH_SIZE);
        d.generic = !accelerated || Attrib(display, c, GLX_CONFIG_CAVEAT) == GLX_SLOW_CONFIG;
        d.genericAccelerated = false;  // GLX knows no such middle ground
        DescribeVisual(visuals.Find(visual), d);
        d.screenAlphaBits = screenAlpha;
    }
    return out;
}

std::optional<GlxFormat> ChooseGlxFormat(Display* display, int screen) {
    std::vector<GLXFBConfig> configs = Candidates(display, screen);
    const auto described =
        DescribeFbConfigs(display, screen, configs.data(), static_cast<int>(configs.size()));
    if (const auto number = PickPixelFormat(described)) {
        if (auto chosen = WithVisual(display, configs[*number - 1])) return chosen;
    }

    int count = 0;
    std::optional<GlxFormat> chosen;

    const PixelFormatDesc want = FallbackPixelFormatRequest();
    // clang-format off
    const int attributes[] = {GLX_DRAWABLE_TYPE,
                              GLX_WINDOW_BIT,
                              GLX_RENDER_TYPE,
                              GLX_RGBA_BIT,
                              GLX_DOUBLEBUFFER,
                              True,
                              GLX_BUFFER_SIZE,
                              want.colorBits,
                              GLX_DEPTH_SIZE,
                              want.depthBits,
                              GLX_X_RENDERABLE,
                              True,
                              GLX_X_VISUAL_TYPE,
                              GLX_TRUE_COLOR,
                              None};
    // clang-format on
    GLXFBConfig* fallback = glXChooseFBConfig(display, screen, attributes, &count);
    if (fallback) {
        // The server's order may put a visual with alpha first; any match beats none.
        const auto described = DescribeFbConfigs(display, screen, fallback, count);
        int pick = 0;
        while (pick < count && !ShowsAsDrawn(described[pick])) ++pick;
        if (count > 0) chosen = WithVisual(display, fallback[pick < count ? pick : 0]);
        XFree(fallback);
    }
    return chosen;
}

std::optional<GlxFormat> ChooseGlxFormatForVisual(Display* display, int screen, VisualID visual) {
    std::vector<GLXFBConfig> matching;
    for (GLXFBConfig c : Candidates(display, screen)) {
        if (static_cast<VisualID>(Attrib(display, c, GLX_VISUAL_ID)) == visual) {
            matching.push_back(c);
        }
    }
    const auto described =
        DescribeFbConfigs(display, screen, matching.data(), static_cast<int>(matching.size()));
    if (const auto number = PickPixelFormat(described)) {
        return WithVisual(display, matching[*number - 1]);
    }
    return std::nullopt;
}

std::unique_ptr<GlxSurface> GlxSurface::Create(Display* display, Window window,
                                               GLXFBConfig config) {
    std::unique_ptr<GlxSurface> s(new GlxSurface(display));
    s->context_ = glXCreateNewContext(display, config, GLX_RGBA_TYPE, nullptr, True);
    if (!s->context_) return s;
    s->drawable_ = glXCreateWindow(display, config, window, nullptr);
    if (!s->drawable_ || !glXMakeContextCurrent(display, s->drawable_, s->drawable_, s->context_)) {
        return s;
    }
    s->current_ = true;

    // One frame per buffer swap, where the driver can pace swaps at all.
    const int screen = DefaultScreen(display);
    const char* extensions = glXQueryExtensionsString(display, screen);
    auto proc = [](const char* name) {
        return glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name));
    };
    if (HasExtension(extensions, "GLX_EXT_swap_control")) {
        using Fn = void (*)(Display*, GLXDrawable, int);
        if (auto f = reinterpret_cast<Fn>(proc("glXSwapIntervalEXT"))) f(display, s->drawable_, 1);
    } else if (HasExtension(extensions, "GLX_MESA_swap_control")) {
        using Fn = int (*)(unsigned int);
        if (auto f = reinterpret_cast<Fn>(proc("glXSwapIntervalMESA"))) f(1);
    } else if (HasExtension(extensions, "GLX_SGI_swap_control")) {
        using Fn = int (*)(int);
        if (auto f = reinterpret_cast<Fn>(proc("glXSwapIntervalSGI"))) f(1);
    }
    return s;
}

GlxSurface::~GlxSurface() {
    glXMakeContextCurrent(display_, None, None, nullptr);
    if (context_) glXDestroyContext(display_, context_);
    if (drawable_) glXDestroyWindow(display_, drawable_);
}

void GlxSurface::Swap() {
    if (drawable_) glXSwapBuffers(display_, drawable_);
}

}  // namespace orbilon
