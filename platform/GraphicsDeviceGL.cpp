#include "platform/GraphicsDeviceGL.h"

#include "platform/GraphicsDeviceHeadless.h"
#include "platform/WindowSDL.h"

#include <GL/glcorearb.h>
#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace plat {

namespace {

// Every entry point is looked up through SDL, so the same code runs on GLX
// and on EGL contexts.
#define OMBRISALT_GL_FUNCTIONS(X)                                                                                      \
    X(PFNGLGENTEXTURESPROC, glGenTextures)                                                                             \
    X(PFNGLDELETETEXTURESPROC, glDeleteTextures)                                                                       \
    X(PFNGLBINDTEXTUREPROC, glBindTexture)                                                                             \
    X(PFNGLTEXIMAGE2DPROC, glTexImage2D)                                                                               \
    X(PFNGLTEXPARAMETERIPROC, glTexParameteri)                                                                         \
    X(PFNGLPIXELSTOREIPROC, glPixelStorei)                                                                             \
    X(PFNGLGENSAMPLERSPROC, glGenSamplers)                                                                             \
    X(PFNGLDELETESAMPLERSPROC, glDeleteSamplers)                                                                       \
    X(PFNGLSAMPLERPARAMETERIPROC, glSamplerParameteri)                                                                 \
    X(PFNGLBINDSAMPLERPROC, glBindSampler)                                                                             \
    X(PFNGLGENFRAMEBUFFERSPROC, glGenFramebuffers)                                                                     \
    X(PFNGLDELETEFRAMEBUFFERSPROC, glDeleteFramebuffers)                                                               \
    X(PFNGLBINDFRAMEBUFFERPROC, glBindFramebuffer)                                                                     \
    X(PFNGLFRAMEBUFFERTEXTURE2DPROC, glFramebufferTexture2D)                                                           \
    X(PFNGLCHECKFRAMEBUFFERSTATUSPROC, glCheckFramebufferStatus)                                                       \
    X(PFNGLBLITFRAMEBUFFERPROC, glBlitFramebuffer)                                                                     \
    X(PFNGLGENVERTEXARRAYSPROC, glGenVertexArrays)                                                                     \
    X(PFNGLDELETEVERTEXARRAYSPROC, glDeleteVertexArrays)                                                               \
    X(PFNGLBINDVERTEXARRAYPROC, glBindVertexArray)                                                                     \
    X(PFNGLGENBUFFERSPROC, glGenBuffers)                                                                               \
    X(PFNGLDELETEBUFFERSPROC, glDeleteBuffers)                                                                         \
    X(PFNGLBINDBUFFERPROC, glBindBuffer)                                                                               \
    X(PFNGLBUFFERDATAPROC, glBufferData)                                                                               \
    X(PFNGLVERTEXATTRIBPOINTERPROC, glVertexAttribPointer)                                                             \
    X(PFNGLENABLEVERTEXATTRIBARRAYPROC, glEnableVertexAttribArray)                                                     \
    X(PFNGLCREATESHADERPROC, glCreateShader)                                                                           \
    X(PFNGLSHADERSOURCEPROC, glShaderSource)                                                                           \
    X(PFNGLCOMPILESHADERPROC, glCompileShader)                                                                         \
    X(PFNGLGETSHADERIVPROC, glGetShaderiv)                                                                             \
    X(PFNGLGETSHADERINFOLOGPROC, glGetShaderInfoLog)                                                                   \
    X(PFNGLDELETESHADERPROC, glDeleteShader)                                                                           \
    X(PFNGLCREATEPROGRAMPROC, glCreateProgram)                                                                         \
    X(PFNGLATTACHSHADERPROC, glAttachShader)                                                                           \
    X(PFNGLBINDATTRIBLOCATIONPROC, glBindAttribLocation)                                                               \
    X(PFNGLLINKPROGRAMPROC, glLinkProgram)                                                                             \
    X(PFNGLGETPROGRAMIVPROC, glGetProgramiv)                                                                           \
    X(PFNGLDELETEPROGRAMPROC, glDeleteProgram)                                                                         \
    X(PFNGLUSEPROGRAMPROC, glUseProgram)                                                                               \
    X(PFNGLGETUNIFORMLOCATIONPROC, glGetUniformLocation)                                                               \
    X(PFNGLUNIFORM2FPROC, glUniform2f)                                                                                 \
    X(PFNGLUNIFORM1IPROC, glUniform1i)                                                                                 \
    X(PFNGLACTIVETEXTUREPROC, glActiveTexture)                                                                         \
    X(PFNGLVIEWPORTPROC, glViewport)                                                                                   \
    X(PFNGLSCISSORPROC, glScissor)                                                                                     \
    X(PFNGLENABLEPROC, glEnable)                                                                                       \
    X(PFNGLDISABLEPROC, glDisable)                                                                                     \
    X(PFNGLBLENDFUNCPROC, glBlendFunc)                                                                                 \
    X(PFNGLCLEARCOLORPROC, glClearColor)                                                                               \
    X(PFNGLCLEARPROC, glClear)                                                                                         \
    X(PFNGLDRAWARRAYSPROC, glDrawArrays)                                                                               \
    X(PFNGLREADPIXELSPROC, glReadPixels)                                                                               \
    X(PFNGLFINISHPROC, glFinish)                                                                                       \
    X(PFNGLGETERRORPROC, glGetError)

struct GL {
#define OMBRISALT_GL_MEMBER(type, name) type name = nullptr;
    OMBRISALT_GL_FUNCTIONS(OMBRISALT_GL_MEMBER)
#undef OMBRISALT_GL_MEMBER

    bool Load(std::string& missing)
    {
#define OMBRISALT_GL_LOAD(type, name)                                                                                  \
    name = reinterpret_cast<type>(SDL_GL_GetProcAddress(#name));                                                       \
    if (!name) {                                                                                                       \
        missing = #name;                                                                                               \
        return false;                                                                                                  \
    }
        OMBRISALT_GL_FUNCTIONS(OMBRISALT_GL_LOAD)
#undef OMBRISALT_GL_LOAD
        return true;
    }
};

constexpr const char* kVertexShader = R"(#version 330 core
layout(location = 0) in vec2 position;
layout(location = 1) in vec4 colour;
layout(location = 2) in vec2 texCoord;
uniform vec2 backBuffer;
out vec4 vertexColour;
out vec2 vertexTexCoord;
void main()
{
    gl_Position = vec4(position.x / backBuffer.x * 2.0 - 1.0, 1.0 - position.y / backBuffer.y * 2.0, 0.0, 1.0);
    vertexColour = colour.zyxw;
    vertexTexCoord = texCoord;
}
)";

constexpr const char* kFragmentShader = R"(#version 330 core
in vec4 vertexColour;
in vec2 vertexTexCoord;
uniform sampler2D picture;
out vec4 fragment;
void main()
{
    fragment = texture(picture, vertexTexCoord) * vertexColour;
}
)";

} // namespace

class CGLTexture;

// Samplers by address mode and filter: linear with mip levels where a draw
// scales, nearest where it copies texels 1:1 at whole pixels.
enum SamplerIndex : uint8_t { kClampLinear, kClampNearest, kWrapLinear, kWrapNearest, kSamplerCount };

// What a run of queued vertices shares; the run goes out as one draw.
struct BatchKey {
    GLenum mode = GL_TRIANGLES;
    GLuint texture = 0;
    uint8_t sampler = kClampLinear;
    ScreenBlend blend = ScreenBlend::Normal;
    bool operator==(const BatchKey&) const = default;
};

struct CGraphicsDeviceGL::State {
    CWindowSDL* window = nullptr;
    std::unique_ptr<CWindowSDL> ownedWindow;
    SDL_GLContext context = nullptr;
    GL gl;
    GLuint program = 0;
    GLint backBufferUniform = -1;
    GLuint vertexArray = 0;
    GLuint vertexBuffer = 0;
    GLuint samplers[kSamplerCount] = {};
    GLuint whiteTexture = 0;
    // Only for reading back a picture the window shows scaled.
    GLuint readFramebuffer = 0;
    GLuint readTexture = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t desktopWidth = 0;
    int32_t desktopHeight = 0;
    // The window's client size as the window system gave it (window
    // coordinates, those of mouse events), the drawable's size in pixels, and
    // where the back buffer sits in it (top-down): all taken at one moment.
    int32_t clientWidth = 0;
    int32_t clientHeight = 0;
    bool fullScreen = false;
    int32_t drawableWidth = 0;
    int32_t drawableHeight = 0;
    ShownArea area;
    bool created = false;
    std::shared_ptr<CScreenTextureRegistry> registry = std::make_shared<CScreenTextureRegistry>();
    std::string lastError;

    // Vertices queued under one key, not yet drawn.
    std::vector<ScreenVertex> batch;
    BatchKey batchKey;
    // State as last set on the context; ~0 is unknown.
    GLuint boundTexture = ~0u;
    GLuint boundSampler = ~0u;
    int boundBlend = -1;
    size_t drawCalls = 0;
    size_t lastFrameDrawCalls = 0;

    bool CreateContext();
    void ReleaseContext();
    // Another device's context may have been made current meanwhile.
    void MakeCurrent() const;
    bool BuildProgram();
    void PlaceBackBuffer();
    void TakeWindowSize();
    void Upload(CGLTexture& texture);
    void Queue(const BatchKey& key, const ScreenVertex* vertices, size_t count);
    void Flush();
    // Before a texture name goes: nothing queued may still use it.
    void Forget(GLuint texture);
    bool ReadRegion(std::vector<uint32_t>& raw);
};

class CGLTexture final : public CScreenTexture {
public:
    CGLTexture(std::vector<TextureLevel> levels, CGraphicsDeviceGL::State& state)
        : CScreenTexture(std::move(levels))
        , m_State(&state)
        , m_Registry(state.registry)
    {
        m_Registry->textures.insert(this);
    }
    ~CGLTexture() override
    {
        m_Registry->textures.erase(this);
        if (m_Registry->deviceAlive && m_Name) {
            m_State->MakeCurrent();
            m_State->Forget(m_Name);
            m_State->gl.glDeleteTextures(1, &m_Name);
        }
    }
    GLuint m_Name = 0;

private:
    CGraphicsDeviceGL::State* m_State;
    std::shared_ptr<CScreenTextureRegistry> m_Registry;
};

bool CGraphicsDeviceGL::State::CreateContext()
{
    SDL_Window* sdlWindow = window->GetSDLWindow();
    if (!sdlWindow || !(SDL_GetWindowFlags(sdlWindow) & SDL_WINDOW_OPENGL)) {
        lastError = "the window has no OpenGL surface";
        return false;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    context = SDL_GL_CreateContext(sdlWindow);
    if (!context) {
        lastError = SDL_GetError();
        return false;
    }
    std::string missing;
    if (!gl.Load(missing)) {
        lastError = "OpenGL lacks " + missing;
        return false;
    }
    // Presents do not wait for the display's refresh.
    SDL_GL_SetSwapInterval(0);
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0)
        desktopWidth = mode.w, desktopHeight = mode.h;
    return BuildProgram();
}

void CGraphicsDeviceGL::State::MakeCurrent() const
{
    if (context && SDL_GL_GetCurrentContext() != context)
        SDL_GL_MakeCurrent(window->GetSDLWindow(), context);
}

// Every GL object goes with the context; textures keep their pixels for the
// next context.
void CGraphicsDeviceGL::State::ReleaseContext()
{
    if (!context)
        return;
    for (CScreenTexture* texture : registry->textures)
        static_cast<CGLTexture*>(texture)->m_Name = 0;
    SDL_GL_DeleteContext(context);
    context = nullptr;
    created = false;
    program = vertexArray = vertexBuffer = whiteTexture = readFramebuffer = readTexture = 0;
    for (GLuint& sampler : samplers)
        sampler = 0;
    backBufferUniform = -1;
    batch.clear();
    boundTexture = boundSampler = ~0u;
    boundBlend = -1;
}

bool CGraphicsDeviceGL::State::BuildProgram()
{
    auto compile = [&](GLenum kind, const char* source) -> GLuint {
        const GLuint shader = gl.glCreateShader(kind);
        gl.glShaderSource(shader, 1, &source, nullptr);
        gl.glCompileShader(shader);
        GLint ok = 0;
        gl.glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
        if (!ok) {
            char log[512] = {};
            gl.glGetShaderInfoLog(shader, sizeof(log) - 1, nullptr, log);
            lastError = std::string("shader: ") + log;
            gl.glDeleteShader(shader);
            return 0;
        }
        return shader;
    };
    const GLuint vertex = compile(GL_VERTEX_SHADER, kVertexShader);
    const GLuint fragment = vertex ? compile(GL_FRAGMENT_SHADER, kFragmentShader) : 0;
    if (!fragment) {
        if (vertex)
            gl.glDeleteShader(vertex);
        return false;
    }
    program = gl.glCreateProgram();
    gl.glAttachShader(program, vertex);
    gl.glAttachShader(program, fragment);
    gl.glLinkProgram(program);
    gl.glDeleteShader(vertex);
    gl.glDeleteShader(fragment);
    GLint linked = 0;
    gl.glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked) {
        lastError = "the shaders do not link";
        return false;
    }
    gl.glUseProgram(program);
    backBufferUniform = gl.glGetUniformLocation(program, "backBuffer");
    gl.glUniform1i(gl.glGetUniformLocation(program, "picture"), 0);

    gl.glGenVertexArrays(1, &vertexArray);
    gl.glBindVertexArray(vertexArray);
    gl.glGenBuffers(1, &vertexBuffer);
    gl.glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    static_assert(sizeof(ScreenVertex) == 20);
    gl.glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(ScreenVertex), nullptr);
    gl.glVertexAttribPointer(1, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(ScreenVertex),
                             reinterpret_cast<const void*>(offsetof(ScreenVertex, argb)));
    gl.glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, sizeof(ScreenVertex),
                             reinterpret_cast<const void*>(offsetof(ScreenVertex, u)));
    for (GLuint i = 0; i < 3; ++i)
        gl.glEnableVertexAttribArray(i);

    gl.glGenSamplers(kSamplerCount, samplers);
    for (int i = 0; i < kSamplerCount; ++i) {
        const bool wrap = i == kWrapLinear || i == kWrapNearest;
        const bool nearest = i == kClampNearest || i == kWrapNearest;
        gl.glSamplerParameteri(samplers[i], GL_TEXTURE_WRAP_S, wrap ? GL_REPEAT : GL_CLAMP_TO_EDGE);
        gl.glSamplerParameteri(samplers[i], GL_TEXTURE_WRAP_T, wrap ? GL_REPEAT : GL_CLAMP_TO_EDGE);
        gl.glSamplerParameteri(samplers[i], GL_TEXTURE_MAG_FILTER, nearest ? GL_NEAREST : GL_LINEAR);
        gl.glSamplerParameteri(samplers[i], GL_TEXTURE_MIN_FILTER, nearest ? GL_NEAREST : GL_LINEAR_MIPMAP_NEAREST);
    }
    const uint32_t white = 0xFFFFFFFFu;
    gl.glActiveTexture(GL_TEXTURE0);
    gl.glGenTextures(1, &whiteTexture);
    gl.glBindTexture(GL_TEXTURE_2D, whiteTexture);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_BGRA, GL_UNSIGNED_BYTE, &white);
    boundTexture = whiteTexture;
    gl.glDisable(GL_CULL_FACE);
    gl.glDisable(GL_DEPTH_TEST);
    gl.glEnable(GL_BLEND);
    gl.glEnable(GL_SCISSOR_TEST);
    gl.glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    gl.glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return true;
}

// The back buffer is the window's own, drawn through a viewport that shows
// it where the mode has it (letterboxed in a window, stretched over a full
// screen). The scissor keeps clears inside it.
void CGraphicsDeviceGL::State::PlaceBackBuffer()
{
    int w = width, h = height;
    SDL_GL_GetDrawableSize(window->GetSDLWindow(), &w, &h);
    if (w <= 0 || h <= 0)
        w = width, h = height;
    drawableWidth = w;
    drawableHeight = h;
    area = AreaInWindow(w, h, width, height, fullScreen);
    // OpenGL counts rows from the bottom.
    const GLint bottom = h - area.top - area.height;
    gl.glViewport(area.left, bottom, area.width, area.height);
    gl.glScissor(area.left, bottom, area.width, area.height);
    gl.glUniform2f(backBufferUniform, float(width), float(height));
}

void CGraphicsDeviceGL::State::TakeWindowSize()
{
    int32_t x = 0, y = 0, w = 0, h = 0;
    window->GetClientPlacement(x, y, w, h);
    clientWidth = w > 0 ? w : width;
    clientHeight = h > 0 ? h : height;
    PlaceBackBuffer();
}

void CGraphicsDeviceGL::State::Upload(CGLTexture& texture)
{
    if (texture.m_Name) {
        Forget(texture.m_Name);
        gl.glDeleteTextures(1, &texture.m_Name);
    }
    gl.glGenTextures(1, &texture.m_Name);
    gl.glBindTexture(GL_TEXTURE_2D, texture.m_Name);
    boundTexture = texture.m_Name;
    const auto& levels = texture.GetLevels();
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, GLint(levels.size()) - 1);
    for (size_t i = 0; i < levels.size(); ++i)
        gl.glTexImage2D(GL_TEXTURE_2D, GLint(i), GL_RGBA8, GLsizei(levels[i].width), GLsizei(levels[i].height), 0,
                        GL_BGRA, GL_UNSIGNED_BYTE, levels[i].pixels.data());
}

void CGraphicsDeviceGL::State::Queue(const BatchKey& key, const ScreenVertex* vertices, size_t count)
{
    // A run is cut where its state changes, and before it grows past what
    // one upload should carry.
    constexpr size_t kMostVertices = 1u << 16;
    if (!batch.empty() && (!(key == batchKey) || batch.size() + count > kMostVertices))
        Flush();
    batchKey = key;
    batch.insert(batch.end(), vertices, vertices + count);
}

void CGraphicsDeviceGL::State::Flush()
{
    if (batch.empty())
        return;
    MakeCurrent();
    if (boundTexture != batchKey.texture) {
        gl.glBindTexture(GL_TEXTURE_2D, batchKey.texture);
        boundTexture = batchKey.texture;
    }
    if (boundSampler != samplers[batchKey.sampler]) {
        gl.glBindSampler(0, samplers[batchKey.sampler]);
        boundSampler = samplers[batchKey.sampler];
    }
    if (boundBlend != int(batchKey.blend)) {
        gl.glBlendFunc(GL_SRC_ALPHA, batchKey.blend == ScreenBlend::Additive ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
        boundBlend = int(batchKey.blend);
    }
    // A fresh store each time: the driver need not wait for the last draw.
    gl.glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(batch.size() * sizeof(ScreenVertex)), batch.data(), GL_STREAM_DRAW);
    gl.glDrawArrays(batchKey.mode, 0, GLsizei(batch.size()));
    ++drawCalls;
    batch.clear();
}

void CGraphicsDeviceGL::State::Forget(GLuint texture)
{
    if (!batch.empty() && batchKey.texture == texture)
        Flush();
    if (boundTexture == texture)
        boundTexture = ~0u;
}

bool CGraphicsDeviceGL::State::ReadRegion(std::vector<uint32_t>& raw)
{
    raw.resize(size_t(width) * size_t(height));
    const GLint bottom = drawableHeight - area.top - area.height;
    if (area.width == width && area.height == height) {
        gl.glReadPixels(area.left, bottom, width, height, GL_BGRA, GL_UNSIGNED_BYTE, raw.data());
        return true;
    }
    // Shown at another size: scaled back to the back buffer's own.
    if (!readFramebuffer) {
        gl.glGenTextures(1, &readTexture);
        gl.glGenFramebuffers(1, &readFramebuffer);
    }
    gl.glBindTexture(GL_TEXTURE_2D, readTexture);
    boundTexture = readTexture;
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
    gl.glBindFramebuffer(GL_FRAMEBUFFER, readFramebuffer);
    gl.glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, readTexture, 0);
    const bool complete = gl.glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (complete) {
        gl.glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        gl.glDisable(GL_SCISSOR_TEST);
        gl.glBlitFramebuffer(area.left, bottom, area.left + area.width, bottom + area.height, 0, 0, width, height,
                             GL_COLOR_BUFFER_BIT, GL_LINEAR);
        gl.glEnable(GL_SCISSOR_TEST);
        gl.glBindFramebuffer(GL_READ_FRAMEBUFFER, readFramebuffer);
        gl.glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, raw.data());
    }
    gl.glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return complete;
}

namespace {

// Whether the triangles copy texels 1:1 at whole pixels: each maps back-buffer
// pixels to texels by a whole-texel translation alone, so nearest sampling
// gives what filtering would.
bool CopiesTexelsOneToOne(const ScreenVertex* v, size_t count, float width, float height)
{
    constexpr float kTolerance = 1.0f / 512.0f;
    auto whole = [](float value) { return std::fabs(value - std::round(value)) <= kTolerance; };
    for (size_t i = 0; i + 2 < count; i += 3) {
        const ScreenVertex &a = v[i], &b = v[i + 1], &c = v[i + 2];
        const float area = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
        if (area == 0.0f)
            continue;
        const float dudx = ((b.u - a.u) * (c.y - a.y) - (c.u - a.u) * (b.y - a.y)) / area * width;
        const float dvdx = ((b.v - a.v) * (c.y - a.y) - (c.v - a.v) * (b.y - a.y)) / area * height;
        const float dudy = ((c.u - a.u) * (b.x - a.x) - (b.u - a.u) * (c.x - a.x)) / area * width;
        const float dvdy = ((c.v - a.v) * (b.x - a.x) - (b.v - a.v) * (c.x - a.x)) / area * height;
        if (std::fabs(dudx - 1.0f) > kTolerance || std::fabs(dvdy - 1.0f) > kTolerance || std::fabs(dudy) > kTolerance
            || std::fabs(dvdx) > kTolerance)
            return false;
        if (!whole(a.u * width - a.x) || !whole(a.v * height - a.y))
            return false;
    }
    return true;
}

uint32_t MixColour(uint32_t a, uint32_t b, float t)
{
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const float p = float((a >> shift) & 0xFF), q = float((b >> shift) & 0xFF);
        out |= uint32_t(p + (q - p) * t + 0.5f) << shift;
    }
    return out;
}

// A horizontal or vertical segment as the quad of exactly the pixels a line
// lights (those whose centres it crosses along its length, the last one
// excluded, the row or column its other coordinate falls in), so that it
// joins the fills' batch. False for other segments.
bool SegmentAsQuad(const ScreenVertex& a, const ScreenVertex& b, ScreenVertex (&quad)[6], bool& empty)
{
    const bool horizontal = a.y == b.y && a.x != b.x;
    const bool vertical = a.x == b.x && a.y != b.y;
    if (!horizontal && !vertical)
        return false;
    const float start = horizontal ? a.x : a.y;
    const float end = horizontal ? b.x : b.y;
    // Pixel indices first to last along the line.
    float first, last;
    if (end > start) {
        first = std::ceil(start - 0.5f);
        last = std::ceil(end - 0.5f) - 1.0f;
    } else {
        first = std::floor(start + 0.5f) - 1.0f;
        last = std::floor(end + 0.5f);
    }
    if ((end > start && first > last) || (end < start && first < last)) {
        empty = true;
        return true;
    }
    empty = false;
    const float across = std::floor(horizontal ? a.y : a.x);
    const float low = std::min(first, last), high = std::max(first, last) + 1.0f;
    // Colours at the first and last lit centres.
    const uint32_t firstColour = MixColour(a.argb, b.argb, (first + 0.5f - start) / (end - start));
    const uint32_t lastColour = MixColour(a.argb, b.argb, (last + 0.5f - start) / (end - start));
    const uint32_t lowColour = first <= last ? firstColour : lastColour;
    const uint32_t highColour = first <= last ? lastColour : firstColour;
    auto at = [&](float along, float side, uint32_t argb) {
        return horizontal ? ScreenVertex{along, side, argb, 0.0f, 0.0f} : ScreenVertex{side, along, argb, 0.0f, 0.0f};
    };
    const ScreenVertex p0 = at(low, across, lowColour), p1 = at(high, across, highColour),
                       p2 = at(high, across + 1.0f, highColour), p3 = at(low, across + 1.0f, lowColour);
    quad[0] = p0, quad[1] = p1, quad[2] = p2, quad[3] = p0, quad[4] = p2, quad[5] = p3;
    return true;
}

} // namespace

CGraphicsDeviceGL::CGraphicsDeviceGL(CWindowSDL& window)
    : m_State(std::make_unique<State>())
{
    m_State->window = &window;
    window.SetBeforeDestroy([state = m_State.get()] { state->ReleaseContext(); });
}

CGraphicsDeviceGL::~CGraphicsDeviceGL()
{
    State& s = *m_State;
    s.ReleaseContext();
    s.registry->deviceAlive = false;
    s.window->SetBeforeDestroy(nullptr);
    s.ownedWindow.reset();
}

bool CGraphicsDeviceGL::Reset(int32_t backWidth, int32_t backHeight, bool fullScreen)
{
    State& s = *m_State;
    if (backWidth <= 0 || backHeight <= 0) {
        s.lastError = "an empty back buffer";
        return false;
    }
    if (!s.context && !s.CreateContext())
        return false;
    s.MakeCurrent();
    s.Flush();
    s.window->PlaceForMode(fullScreen, backWidth, backHeight);
    s.fullScreen = fullScreen;
    s.width = backWidth;
    s.height = backHeight;
    s.TakeWindowSize();
    s.created = true;
    // A reset stands for a lost device: every texture is built again from its
    // pixels, as after a new context.
    for (CScreenTexture* texture : s.registry->textures)
        s.Upload(*static_cast<CGLTexture*>(texture));
    Clear(0xFF000000u);
    return s.gl.glGetError() == GL_NO_ERROR;
}

bool CGraphicsDeviceGL::IsCreated() const
{
    return m_State->context != nullptr && m_State->created;
}

int32_t CGraphicsDeviceGL::GetBackBufferWidth() const
{
    return m_State->width;
}

int32_t CGraphicsDeviceGL::GetBackBufferHeight() const
{
    return m_State->height;
}

bool CGraphicsDeviceGL::IsFullScreen() const
{
    return m_State->fullScreen;
}

void CGraphicsDeviceGL::GetDesktopSize(int32_t& width, int32_t& height)
{
    if (m_State->desktopWidth == 0) {
        SDL_DisplayMode mode;
        if (SDL_GetDesktopDisplayMode(0, &mode) == 0)
            m_State->desktopWidth = mode.w, m_State->desktopHeight = mode.h;
    }
    width = m_State->desktopWidth;
    height = m_State->desktopHeight;
}

std::shared_ptr<CScreenTexture> CGraphicsDeviceGL::CreateTexture(std::vector<TextureLevel> levels)
{
    State& s = *m_State;
    if (!s.context) {
        s.lastError = "no device";
        return nullptr;
    }
    if (!ScreenTextureLevelsAreSound(levels)) {
        s.lastError = "texture levels of the wrong sizes";
        return nullptr;
    }
    s.MakeCurrent();
    auto texture = std::make_shared<CGLTexture>(std::move(levels), s);
    s.Upload(*texture);
    if (s.gl.glGetError() != GL_NO_ERROR) {
        s.lastError = "the texture cannot be made";
        return nullptr;
    }
    return texture;
}

size_t CGraphicsDeviceGL::GetTextureCount() const
{
    return m_State->registry->textures.size();
}

size_t CGraphicsDeviceGL::GetTextureBytes() const
{
    return m_State->registry->Bytes();
}

bool CGraphicsDeviceGL::DrawTriangles(const ScreenVertex* vertices, size_t count, const CScreenTexture* texture,
                                      TextureAddress address, ScreenBlend blend)
{
    State& s = *m_State;
    if (!IsCreated() || count < 3)
        return false;
    count -= count % 3;
    BatchKey key;
    key.blend = blend;
    if (!texture) {
        // One texel: any filter reads it alike.
        key.texture = s.whiteTexture;
        key.sampler = kClampNearest;
    } else {
        key.texture = static_cast<const CGLTexture*>(texture)->m_Name;
        const bool nearest
            = CopiesTexelsOneToOne(vertices, count, float(texture->GetWidth()), float(texture->GetHeight()));
        key.sampler = address == TextureAddress::Wrap ? (nearest ? kWrapNearest : kWrapLinear)
                                                      : (nearest ? kClampNearest : kClampLinear);
    }
    s.Queue(key, vertices, count);
    return true;
}

bool CGraphicsDeviceGL::DrawLineStrip(const ScreenVertex* vertices, size_t count, ScreenBlend blend)
{
    State& s = *m_State;
    if (!IsCreated() || count < 2)
        return false;
    BatchKey fills;
    fills.texture = s.whiteTexture;
    fills.sampler = kClampNearest;
    fills.blend = blend;
    BatchKey lines = fills;
    lines.mode = GL_LINES;
    for (size_t i = 0; i + 1 < count; ++i) {
        ScreenVertex quad[6];
        bool empty = false;
        if (SegmentAsQuad(vertices[i], vertices[i + 1], quad, empty)) {
            if (!empty)
                s.Queue(fills, quad, 6);
        } else {
            s.Queue(lines, &vertices[i], 2);
        }
    }
    return true;
}

void CGraphicsDeviceGL::Clear(uint32_t argb)
{
    State& s = *m_State;
    if (!IsCreated())
        return;
    // What is queued would land on the cleared picture: it is dropped.
    s.batch.clear();
    s.MakeCurrent();
    // The letterbox around the back buffer stays black.
    const bool fills
        = s.area.left == 0 && s.area.top == 0 && s.area.width == s.drawableWidth && s.area.height == s.drawableHeight;
    auto clear = [&](uint32_t colour, bool whole) {
        if (whole)
            s.gl.glDisable(GL_SCISSOR_TEST);
        s.gl.glClearColor(float((colour >> 16) & 0xFF) / 255.0f, float((colour >> 8) & 0xFF) / 255.0f,
                          float(colour & 0xFF) / 255.0f, 1.0f);
        s.gl.glClear(GL_COLOR_BUFFER_BIT);
        if (whole)
            s.gl.glEnable(GL_SCISSOR_TEST);
    };
    if (fills) {
        clear(argb, true);
        return;
    }
    clear(0, true);
    if ((argb & 0xFFFFFFu) != 0)
        clear(argb, false);
}

bool CGraphicsDeviceGL::Present()
{
    State& s = *m_State;
    if (!IsCreated()) {
        s.lastError = "no device";
        return false;
    }
    s.Flush();
    s.MakeCurrent();
    SDL_GL_SwapWindow(s.window->GetSDLWindow());
    s.lastFrameDrawCalls = s.drawCalls;
    s.drawCalls = 0;
    // The window may have changed size meanwhile, its event not yet taken.
    int drawableWidth = s.drawableWidth, drawableHeight = s.drawableHeight;
    SDL_GL_GetDrawableSize(s.window->GetSDLWindow(), &drawableWidth, &drawableHeight);
    if (drawableWidth != s.drawableWidth || drawableHeight != s.drawableHeight)
        s.TakeWindowSize();
    return s.gl.glGetError() == GL_NO_ERROR;
}

bool CGraphicsDeviceGL::ReadBack(std::vector<uint32_t>& pixels, int32_t& width, int32_t& height)
{
    State& s = *m_State;
    if (!IsCreated())
        return false;
    s.Flush();
    s.MakeCurrent();
    width = s.width;
    height = s.height;
    std::vector<uint32_t> raw;
    if (!s.ReadRegion(raw))
        return false;
    pixels.resize(raw.size());
    // OpenGL rows run bottom to top.
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            pixels[size_t(y) * size_t(width) + size_t(x)]
                = raw[size_t(height - 1 - y) * size_t(width) + size_t(x)] | 0xFF000000u;
    return s.gl.glGetError() == GL_NO_ERROR;
}

void CGraphicsDeviceGL::AdoptWindow(std::unique_ptr<CWindowSDL> window)
{
    m_State->ownedWindow = std::move(window);
}

size_t CGraphicsDeviceGL::GetDrawCallsOfLastFrame() const
{
    return m_State->lastFrameDrawCalls;
}

std::string_view CGraphicsDeviceGL::GetLastError() const
{
    return m_State->lastError;
}

// Mouse events come in window coordinates, which differ from drawable pixels
// on a scaled desktop; the shape, and so the centring, is the same.
void CGraphicsDeviceGL::GetClientSize(int32_t& width, int32_t& height) const
{
    const State& s = *m_State;
    if (!IsCreated())
        return CGraphicsDevice::GetClientSize(width, height);
    width = s.clientWidth;
    height = s.clientHeight;
}

void CGraphicsDeviceGL::FollowWindow()
{
    State& s = *m_State;
    if (!IsCreated())
        return;
    s.MakeCurrent();
    // What is queued was placed for the old size.
    s.Flush();
    int32_t x = 0, y = 0, w = 0, h = 0;
    s.window->GetClientPlacement(x, y, w, h);
    if (s.fullScreen && (x != 0 || y != 0))
        s.window->MoveTo(0, 0);
    s.TakeWindowSize();
}

std::unique_ptr<CGraphicsDevice> CreateOffscreenGLGraphicsDevice(int32_t width, int32_t height, std::string& reason)
{
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0)
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    auto window = std::make_unique<CWindowSDL>();
    window->SetHidden(true);
    if (!window->Create("offscreen", width, height)) {
        reason = std::string(window->GetLastError());
        return nullptr;
    }
    auto device = std::make_unique<CGraphicsDeviceGL>(*window);
    if (!device->Reset(width, height, false)) {
        reason = std::string(device->GetLastError());
        return nullptr;
    }
    device->AdoptWindow(std::move(window));
    return device;
}

} // namespace plat
