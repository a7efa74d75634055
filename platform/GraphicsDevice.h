#pragma once
// The screen as the shell draws on it: textured triangles with a colour per
// vertex, line strips, two blend modes and clamp or wrap addressing, into a
// back buffer that Present shows in the game window.
//
// Who calls what: the shell's screen code resets the device for every
// display mode (Reset), creates a texture per frame the first time that frame
// is drawn (CreateTexture), issues one draw call per blit, fill, outline or
// line between presents, and presents once per main-loop pass. A texture
// serves only the device that made it. Everything runs on the main thread.
//
// Coordinates are back-buffer pixels, x to the right and y down, pixel
// centres at +0.5: the shell applies the game-to-window mapping before it
// calls. Texture coordinates are normalised to the texture's size; a draw
// multiplies the texel by the vertex colour. Textures keep their own copy of
// their pixels, so a device that is lost or reset (a mode change) rebuilds
// every live texture by itself; the caller's handle stays valid.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace plat {

struct ScreenVertex {
    float x = 0.0f;
    float y = 0.0f;
    uint32_t argb = 0xFFFFFFFFu;
    float u = 0.0f;
    float v = 0.0f;
};

// Normal: source alpha over the inverse of source alpha. Additive: source
// alpha over one.
enum class ScreenBlend : uint8_t { Normal, Additive };
enum class TextureAddress : uint8_t { Clamp, Wrap };

// One mip level: blue, green, red, alpha in memory order, rows packed.
struct TextureLevel {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint32_t> pixels;
};

class CScreenTexture {
public:
    virtual ~CScreenTexture() = default;
    uint32_t GetWidth() const { return m_Levels.empty() ? 0 : m_Levels[0].width; }
    uint32_t GetHeight() const { return m_Levels.empty() ? 0 : m_Levels[0].height; }
    const std::vector<TextureLevel>& GetLevels() const { return m_Levels; }

protected:
    explicit CScreenTexture(std::vector<TextureLevel> levels)
        : m_Levels(std::move(levels))
    {
    }
    std::vector<TextureLevel> m_Levels;
};

// Where Present shows the back buffer inside the window. Windowed, a window
// of another shape shows it whole, centred and scaled to fit, never out of
// shape. Full screen stands for a display mode of the back buffer's size: it
// fills the window, each axis stretched on its own.
struct ShownArea {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0; // the back buffer's size as shown
    int32_t height = 0;
};
ShownArea CentredArea(int32_t windowWidth, int32_t windowHeight, int32_t backWidth, int32_t backHeight);
ShownArea AreaInWindow(int32_t windowWidth, int32_t windowHeight, int32_t backWidth, int32_t backHeight,
                       bool fullScreen);

class CGraphicsDevice {
public:
    virtual ~CGraphicsDevice() = default;

    // Creates the device, or resets it, for a back buffer of the size shown
    // windowed or full screen, and places the window for the mode: full
    // screen is a window without a frame, above the others, covering the
    // whole display; windowed is a framed window of the back buffer's client
    // size. Whether the window took the size is the caller's to judge
    // (GetClientSize). A reset rebuilds every live texture. False with the
    // reason in GetLastError.
    [[nodiscard]] virtual bool Reset(int32_t backWidth, int32_t backHeight, bool fullScreen) = 0;
    virtual bool IsCreated() const = 0;
    virtual int32_t GetBackBufferWidth() const = 0;
    virtual int32_t GetBackBufferHeight() const = 0;
    // Whether the last Reset asked for full screen.
    virtual bool IsFullScreen() const = 0;
    // The desktop's size when the device was first created.
    virtual void GetDesktopSize(int32_t& width, int32_t& height) = 0;

    // The texture's size on this device for a picture of the size: both
    // rounded up to powers of two.
    static uint32_t TextureSizeFor(uint32_t size);
    // Levels from the largest down; each level's size is half the previous,
    // at least 1. Null when the device cannot take it.
    virtual std::shared_ptr<CScreenTexture> CreateTexture(std::vector<TextureLevel> levels) = 0;
    // Live textures and the bytes their pixels hold.
    virtual size_t GetTextureCount() const = 0;
    virtual size_t GetTextureBytes() const = 0;

    // Triangles, three vertices each; without a texture the vertex colour
    // alone is drawn. False when the call is refused (no device, too few
    // vertices). A device may draw later, in call order, by the next
    // Present or ReadBack; a drawing error shows in Present's answer.
    virtual bool DrawTriangles(const ScreenVertex* vertices, size_t count, const CScreenTexture* texture,
                               TextureAddress address, ScreenBlend blend)
        = 0;
    // count - 1 one-pixel lines through the vertices, in their colours.
    virtual bool DrawLineStrip(const ScreenVertex* vertices, size_t count, ScreenBlend blend) = 0;
    virtual void Clear(uint32_t argb) = 0;
    // Shows the back buffer. False when the device was lost.
    virtual bool Present() = 0;
    // The back buffer as drawn so far, alpha 255; false when it cannot be read.
    virtual bool ReadBack(std::vector<uint32_t>& pixels, int32_t& width, int32_t& height) = 0;

    virtual std::string_view GetLastError() const = 0;

    // The window's client area as the window system really made it, in the
    // window's own coordinates (those of mouse events). Asked of the window
    // at each Reset and FollowWindow, never assumed from what was asked: the
    // picture and the mouse both go by this one size.
    virtual void GetClientSize(int32_t& width, int32_t& height) const;
    // Called by the message pump when the window reports another size or
    // place: the picture and the mouse take its real size, and a full-screen
    // window that was moved goes back to the desktop's origin.
    virtual void FollowWindow() {}

    // Where the back buffer is shown inside the client area.
    ShownArea GetShownArea() const;
};

} // namespace plat
