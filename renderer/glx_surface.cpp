#include "glx_surface.h"

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

}  // namespace

std::vector<PixelFormatDesc> DescribeFbConfigs(Display* display, int screen, GLXFBConfig* configs,
                                               int count) {
    const bool accelerated = RendererAccelerated(display, screen);
    std::vector<PixelFormatDesc> out(count);
    for (int i = 0; i < count; ++i) {
        GLXFBConfig c = configs[i];
        PixelFormatDesc& d = out[i];
        // Every FBConfig is OpenGL's; one that can back an X window needs a visual.
        d.supportOpenGL = Attrib(display, c, GLX_VISUAL_ID) != 0;
        d.drawToWindow = (Attrib(display, c, GLX_DRAWABLE_TYPE) & GLX_WINDOW_BIT) != 0;
        d.doubleBuffer = Attrib(display, c, GLX_DOUBLEBUFFER) != 0;
        d.rgba = (Attrib(display, c, GLX_RENDER_TYPE) & GLX_RGBA_BIT) != 0;
        d.colorBits = Attrib(display, c, GLX_BUFFER_SIZE);
        d.depthBits = Attrib(display, c, GLX_DEPTH_SIZE);
        d.generic = !accelerated || Attrib(display, c, GLX_CONFIG_CAVEAT) == GLX_SLOW_CONFIG;
        d.genericAccelerated = false;  // GLX knows no such middle ground
    }
    return out;
}

std::optional<GlxFormat> ChooseGlxFormat(Display* display, int screen) {
    int count = 0;
    GLXFBConfig* configs = glXGetFBConfigs(display, screen, &count);
    std::optional<GlxFormat> chosen;
    if (configs) {
        const auto described = DescribeFbConfigs(display, screen, configs, count);
        if (const auto number = PickPixelFormat(described)) {
            chosen = WithVisual(display, configs[*number - 1]);
        }
        XFree(configs);
    }
    if (chosen) return chosen;

    const PixelFormatDesc want = FallbackPixelFormatRequest();
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
                              None};
    configs = glXChooseFBConfig(display, screen, attributes, &count);
    if (configs) {
        if (count > 0) chosen = WithVisual(display, configs[0]);
        XFree(configs);
    }
    return chosen;
}

std::optional<GlxFormat> ChooseGlxFormatForVisual(Display* display, int screen, VisualID visual) {
    int count = 0;
    GLXFBConfig* configs = glXGetFBConfigs(display, screen, &count);
    if (!configs) return std::nullopt;
    std::vector<GLXFBConfig> matching;
    for (int i = 0; i < count; ++i) {
        if (static_cast<VisualID>(Attrib(display, configs[i], GLX_VISUAL_ID)) == visual) {
            matching.push_back(configs[i]);
        }
    }
    XFree(configs);
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
