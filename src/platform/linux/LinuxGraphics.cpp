#include "LinuxSystemQueries.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <link.h>
#include <optional>

// Not every header set defines these query enums.
#ifndef GLX_RENDERER_VIDEO_MEMORY_MESA
#define GLX_RENDERER_VIDEO_MEMORY_MESA 0x8187
#endif
#ifndef GLX_RENDERER_UNIFIED_MEMORY_ARCHITECTURE_MESA
#define GLX_RENDERER_UNIFIED_MEMORY_ARCHITECTURE_MESA 0x8188
#endif
#ifndef GL_GPU_MEMORY_INFO_DEDICATED_VIDMEM_NVX
#define GL_GPU_MEMORY_INFO_DEDICATED_VIDMEM_NVX 0x9047
#endif

namespace vexo {

namespace {

bool hasExtension(const char* list, const char* name) {
    if (list == nullptr)
        return false;
    const std::size_t length = std::strlen(name);
    for (const char* p = list; (p = std::strstr(p, name)) != nullptr; p += length) {
        const bool starts = p == list || p[-1] == ' ';
        const bool ends = p[length] == '\0' || p[length] == ' ';
        if (starts && ends)
            return true;
    }
    return false;
}

// Reads the renderer and, where the driver tells it, the dedicated video memory of the
// current context.
GraphicsAdapter readCurrentContext() {
    GraphicsAdapter adapter;
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    adapter.description = renderer != nullptr ? renderer : "";
    const auto* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (hasExtension(extensions, "GL_NVX_gpu_memory_info")) {
        GLint kib = 0;
        glGetIntegerv(GL_GPU_MEMORY_INFO_DEDICATED_VIDMEM_NVX, &kib);
        if (kib > 0)
            adapter.videoMemoryBytes = static_cast<std::uint64_t>(kib) * 1024;
    }
    return adapter;
}

// amdgpu and radeon publish the dedicated memory of each card.
std::uint64_t sysfsVideoMemory() {
    namespace fs = std::filesystem;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/sys/class/drm", error)) {
        const std::string text =
            readTextFile((entry.path() / "device" / "mem_info_vram_total").string());
        if (!text.empty()) {
            const std::uint64_t bytes = std::strtoull(text.c_str(), nullptr, 10);
            if (bytes != 0)
                return bytes;
        }
    }
    return 0;
}

// The vendor library loads the hardware driver behind a context when the context is made and
// unloads it with the last display. The driver stays loaded once probed instead: the tunnel and
// the windows load the same driver again anyway, and drivers leave allocations behind when they
// are unloaded, which leak checkers then cannot place.
void keepDriversLoaded() {
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void*) {
            const char* name = info->dlpi_name;
            if (name != nullptr && *name != '\0' &&
                (std::strstr(name, "_dri.so") != nullptr ||
                 std::strstr(name, "libgallium") != nullptr ||
                 std::strstr(name, "libGLX_mesa") != nullptr ||
                 std::strstr(name, "libEGL_mesa") != nullptr)) {
                // Taking a reference with RTLD_NODELETE marks the loaded module as never to be
                // unloaded; the handle itself is not needed.
                if (void* handle = dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE))
                    dlclose(handle);
            }
            return 0;
        },
        nullptr);
}

int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

std::optional<GraphicsAdapter> probeGlx() {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0')
        return std::nullopt;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return std::nullopt;
    // A refused request must not end the program: X errors are not fatal here.
    const auto previousHandler = XSetErrorHandler(ignoreXError);
    std::optional<GraphicsAdapter> result;

    const int configAttributes[] = {GLX_DRAWABLE_TYPE, GLX_PBUFFER_BIT, GLX_RENDER_TYPE,
                                    GLX_RGBA_BIT, None};
    int count = 0;
    GLXFBConfig* configs =
        glXChooseFBConfig(display, DefaultScreen(display), configAttributes, &count);
    if (configs != nullptr && count > 0) {
        const int pbufferAttributes[] = {GLX_PBUFFER_WIDTH, 1, GLX_PBUFFER_HEIGHT, 1, None};
        const GLXPbuffer pbuffer = glXCreatePbuffer(display, configs[0], pbufferAttributes);
        const GLXContext context =
            glXCreateNewContext(display, configs[0], GLX_RGBA_TYPE, nullptr, True);
        if (pbuffer != 0 && context != nullptr &&
            glXMakeContextCurrent(display, pbuffer, pbuffer, context)) {
            result = readCurrentContext();
            keepDriversLoaded();
            const char* glxExtensions = glXQueryExtensionsString(display, DefaultScreen(display));
            using QueryInteger = Bool (*)(int, unsigned int*);
            const auto query = reinterpret_cast<QueryInteger>(glXGetProcAddressARB(
                reinterpret_cast<const GLubyte*>("glXQueryCurrentRendererIntegerMESA")));
            unsigned int megabytes = 0;
            // A renderer that shares system memory (software renderers, most integrated
            // graphics) reports the system's memory here, not memory of its own: that is left
            // unknown, as the display-free probe, which has no such query, leaves it.
            unsigned int unified = 0;
            if (result->videoMemoryBytes == 0 && query != nullptr &&
                hasExtension(glxExtensions, "GLX_MESA_query_renderer") &&
                query(GLX_RENDERER_UNIFIED_MEMORY_ARCHITECTURE_MESA, &unified) && unified == 0 &&
                query(GLX_RENDERER_VIDEO_MEMORY_MESA, &megabytes) && megabytes != 0)
                result->videoMemoryBytes = static_cast<std::uint64_t>(megabytes) * 1'048'576;
            glXMakeContextCurrent(display, None, None, nullptr);
        }
        if (context != nullptr)
            glXDestroyContext(display, context);
        if (pbuffer != 0)
            glXDestroyPbuffer(display, pbuffer);
        XFree(configs);
    }
    XSync(display, False);
    XSetErrorHandler(previousHandler);
    XCloseDisplay(display);
    return result;
}

std::optional<GraphicsAdapter> probeSurfacelessEgl() {
    const auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr)
        return std::nullopt;
    const EGLDisplay display =
        getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr))
        return std::nullopt;

    std::optional<GraphicsAdapter> result;
    const EGLint configAttributes[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_SURFACE_TYPE,
                                       EGL_PBUFFER_BIT, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (eglBindAPI(EGL_OPENGL_API) &&
        eglChooseConfig(display, configAttributes, &config, 1, &count) && count > 0) {
        const EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
        if (context != EGL_NO_CONTEXT) {
            if (eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
                result = readCurrentContext();
                keepDriversLoaded();
                eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
            }
            eglDestroyContext(display, context);
        }
    }
    eglTerminate(display);
    return result;
}

} // namespace

GraphicsAdapter LinuxGraphics::adapter() {
    std::optional<GraphicsAdapter> adapter = probeGlx();
    if (!adapter || adapter->description.empty())
        adapter = probeSurfacelessEgl();
    if (!adapter || adapter->description.empty())
        return {"Unknown (no OpenGL renderer found)", 0};
    if (adapter->videoMemoryBytes == 0)
        adapter->videoMemoryBytes = sysfsVideoMemory();
    return *adapter;
}

} // namespace vexo
