#include "platform/GraphicsDeviceGL.h"

#include "platform/GraphicsDeviceHeadless.h"
#include "platform/WindowSDL.h"

#include <GL/glcorearb.h>
#include <SDL.h>

#include <algorithm>
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

struct CGraphicsDeviceGL::State {
    CWindowSDL* window = nullptr;
    std::unique_ptr<CWindowSDL> ownedWindow;
    SDL_GLContext context = nullptr;
    GL gl;
    GLuint program = 0;
    GLint backBufferUniform = -1;
    GLuint vertexArray = 0;
    GLuint vertexBuffer = 0;
    GLuint samplers[2] = {0, 0};
    GLuint whiteTexture = 0;
    GLuint framebuffer = 0;
    GLuint colourTexture = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t desktopWidth = 0;
    int32_t desktopHeight = 0;
    std::shared_ptr<CScreenTextureRegistry> registry = std::make_shared<CScreenTextureRegistry>();
    std::string lastError;

    bool CreateContext();
    void ReleaseContext();
    // Another device's context may have been made current meanwhile.
    void MakeCurrent() const;
    bool BuildProgram();
    bool BuildBackBuffer();
    void Upload(CGLTexture& texture);
    void Bind(GLuint texture, TextureAddress address, ScreenBlend blend);
    bool Draw(GLenum mode, const ScreenVertex* vertices, size_t count);
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
    program = vertexArray = vertexBuffer = whiteTexture = framebuffer = colourTexture = 0;
    samplers[0] = samplers[1] = 0;
    backBufferUniform = -1;
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

    gl.glGenSamplers(2, samplers);
    for (int i = 0; i < 2; ++i) {
        const GLint wrap = i == 0 ? GL_CLAMP_TO_EDGE : GL_REPEAT;
        gl.glSamplerParameteri(samplers[i], GL_TEXTURE_WRAP_S, wrap);
        gl.glSamplerParameteri(samplers[i], GL_TEXTURE_WRAP_T, wrap);
        gl.glSamplerParameteri(samplers[i], GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        gl.glSamplerParameteri(samplers[i], GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    }
    const uint32_t white = 0xFFFFFFFFu;
    gl.glGenTextures(1, &whiteTexture);
    gl.glBindTexture(GL_TEXTURE_2D, whiteTexture);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_BGRA, GL_UNSIGNED_BYTE, &white);
    gl.glDisable(GL_CULL_FACE);
    gl.glDisable(GL_DEPTH_TEST);
    gl.glEnable(GL_BLEND);
    gl.glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    gl.glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return true;
}

bool CGraphicsDeviceGL::State::BuildBackBuffer()
{
    if (framebuffer) {
        gl.glDeleteFramebuffers(1, &framebuffer);
        gl.glDeleteTextures(1, &colourTexture);
    }
    gl.glGenTextures(1, &colourTexture);
    gl.glBindTexture(GL_TEXTURE_2D, colourTexture);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
    gl.glGenFramebuffers(1, &framebuffer);
    gl.glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    gl.glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colourTexture, 0);
    if (gl.glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        lastError = "the back buffer cannot be drawn on";
        return false;
    }
    gl.glViewport(0, 0, width, height);
    gl.glUniform2f(backBufferUniform, float(width), float(height));
    return true;
}

void CGraphicsDeviceGL::State::Upload(CGLTexture& texture)
{
    if (texture.m_Name)
        gl.glDeleteTextures(1, &texture.m_Name);
    gl.glGenTextures(1, &texture.m_Name);
    gl.glBindTexture(GL_TEXTURE_2D, texture.m_Name);
    const auto& levels = texture.GetLevels();
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, GLint(levels.size()) - 1);
    for (size_t i = 0; i < levels.size(); ++i)
        gl.glTexImage2D(GL_TEXTURE_2D, GLint(i), GL_RGBA8, GLsizei(levels[i].width), GLsizei(levels[i].height), 0,
                        GL_BGRA, GL_UNSIGNED_BYTE, levels[i].pixels.data());
}

void CGraphicsDeviceGL::State::Bind(GLuint texture, TextureAddress address, ScreenBlend blend)
{
    gl.glActiveTexture(GL_TEXTURE0);
    gl.glBindTexture(GL_TEXTURE_2D, texture);
    gl.glBindSampler(0, samplers[address == TextureAddress::Wrap ? 1 : 0]);
    gl.glBlendFunc(GL_SRC_ALPHA, blend == ScreenBlend::Additive ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
}

bool CGraphicsDeviceGL::State::Draw(GLenum mode, const ScreenVertex* vertices, size_t count)
{
    gl.glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(count * sizeof(ScreenVertex)), vertices, GL_STREAM_DRAW);
    gl.glDrawArrays(mode, 0, GLsizei(count));
    return gl.glGetError() == GL_NO_ERROR;
}

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
    if (SDL_Window* sdlWindow = s.window->GetSDLWindow()) {
        SDL_SetWindowFullscreen(sdlWindow, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
        if (!fullScreen)
            SDL_SetWindowSize(sdlWindow, backWidth, backHeight);
    }
    s.width = backWidth;
    s.height = backHeight;
    if (!s.BuildBackBuffer())
        return false;
    // A reset stands for a lost device: every texture is built again from its
    // pixels, as after a new context.
    for (CScreenTexture* texture : s.registry->textures)
        s.Upload(*static_cast<CGLTexture*>(texture));
    Clear(0xFF000000u);
    return s.gl.glGetError() == GL_NO_ERROR;
}

bool CGraphicsDeviceGL::IsCreated() const
{
    return m_State->context != nullptr && m_State->framebuffer != 0;
}

int32_t CGraphicsDeviceGL::GetBackBufferWidth() const
{
    return m_State->width;
}

int32_t CGraphicsDeviceGL::GetBackBufferHeight() const
{
    return m_State->height;
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
    s.MakeCurrent();
    const GLuint name = texture ? static_cast<const CGLTexture*>(texture)->m_Name : s.whiteTexture;
    s.Bind(name, address, blend);
    return s.Draw(GL_TRIANGLES, vertices, count - count % 3);
}

bool CGraphicsDeviceGL::DrawLineStrip(const ScreenVertex* vertices, size_t count, ScreenBlend blend)
{
    State& s = *m_State;
    if (!IsCreated() || count < 2)
        return false;
    s.MakeCurrent();
    s.Bind(s.whiteTexture, TextureAddress::Clamp, blend);
    return s.Draw(GL_LINE_STRIP, vertices, count);
}

void CGraphicsDeviceGL::Clear(uint32_t argb)
{
    State& s = *m_State;
    if (!s.framebuffer)
        return;
    s.MakeCurrent();
    s.gl.glClearColor(float((argb >> 16) & 0xFF) / 255.0f, float((argb >> 8) & 0xFF) / 255.0f,
                      float(argb & 0xFF) / 255.0f, 1.0f);
    s.gl.glClear(GL_COLOR_BUFFER_BIT);
}

bool CGraphicsDeviceGL::Present()
{
    State& s = *m_State;
    if (!IsCreated()) {
        s.lastError = "no device";
        return false;
    }
    s.MakeCurrent();
    SDL_Window* sdlWindow = s.window->GetSDLWindow();
    int drawableWidth = s.width;
    int drawableHeight = s.height;
    SDL_GL_GetDrawableSize(sdlWindow, &drawableWidth, &drawableHeight);
    s.gl.glBindFramebuffer(GL_READ_FRAMEBUFFER, s.framebuffer);
    s.gl.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    // A window of another shape (full screen on the desktop) shows the back
    // buffer whole and centred, never stretched out of shape.
    const ShownArea area = CentredArea(drawableWidth, drawableHeight, s.width, s.height);
    const int shownWidth = area.width, shownHeight = area.height;
    const int left = area.left, bottom = area.top;
    s.gl.glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    s.gl.glClear(GL_COLOR_BUFFER_BIT);
    s.gl.glBlitFramebuffer(0, 0, s.width, s.height, left, bottom, left + shownWidth, bottom + shownHeight,
                           GL_COLOR_BUFFER_BIT, GL_LINEAR);
    SDL_GL_SwapWindow(sdlWindow);
    s.gl.glBindFramebuffer(GL_FRAMEBUFFER, s.framebuffer);
    return s.gl.glGetError() == GL_NO_ERROR;
}

bool CGraphicsDeviceGL::ReadBack(std::vector<uint32_t>& pixels, int32_t& width, int32_t& height)
{
    State& s = *m_State;
    if (!IsCreated())
        return false;
    s.MakeCurrent();
    width = s.width;
    height = s.height;
    std::vector<uint32_t> raw(size_t(width) * size_t(height));
    s.gl.glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, raw.data());
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

std::string_view CGraphicsDeviceGL::GetLastError() const
{
    return m_State->lastError;
}

ShownArea CGraphicsDeviceGL::GetShownArea() const
{
    const State& s = *m_State;
    if (!IsCreated())
        return CGraphicsDevice::GetShownArea();
    // Mouse events come in window coordinates, which differ from drawable
    // pixels on a scaled desktop; the shape, and so the centring, is the same.
    int windowWidth = s.width;
    int windowHeight = s.height;
    SDL_GetWindowSize(s.window->GetSDLWindow(), &windowWidth, &windowHeight);
    return CentredArea(windowWidth, windowHeight, s.width, s.height);
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
