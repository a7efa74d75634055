#pragma once
// The screen device without a display: keeps the picture in memory
// (CScreenRaster) and records the calls, so tests can check both the pixels
// and the calls the shell made.
//
// Pixels are made only when something reads them (ReadBack, GetPresented):
// the draws since the last clear wait in a list that a clear drops, so a run
// nobody looks at rasterises nothing. The list is rasterised early when it
// grows long or a texture it uses goes. The record of calls is a ring of the
// latest calls (SetRecordLimit), so a long run stays the same size.

#include "platform/GraphicsDevice.h"
#include "platform/ScreenRaster.h"

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace plat {

// The live textures of one device, shared with the textures themselves so
// that a texture outliving its device unregisters from nothing.
class CScreenTextureRegistry {
public:
    std::set<CScreenTexture*> textures;
    bool deviceAlive = true;
    // Called, while the device lives, as a texture goes.
    std::function<void(const CScreenTexture*)> beforeRelease;
    size_t Bytes() const;
};

// Level sizes halve down to 1 and the pixel counts match them.
bool ScreenTextureLevelsAreSound(const std::vector<TextureLevel>& levels);

struct ScreenCall {
    enum class Kind : uint8_t { Reset, Triangles, LineStrip, Clear, Present };
    Kind kind = Kind::Clear;
    std::vector<ScreenVertex> vertices;
    const CScreenTexture* texture = nullptr;
    TextureAddress address = TextureAddress::Clamp;
    ScreenBlend blend = ScreenBlend::Normal;
    uint32_t argb = 0;
};

class CGraphicsDeviceHeadless final : public CGraphicsDevice {
public:
    CGraphicsDeviceHeadless();
    ~CGraphicsDeviceHeadless() override;
    CGraphicsDeviceHeadless(const CGraphicsDeviceHeadless&) = delete;
    CGraphicsDeviceHeadless& operator=(const CGraphicsDeviceHeadless&) = delete;

    bool Reset(int32_t backWidth, int32_t backHeight, bool fullScreen) override;
    bool IsCreated() const override { return m_Created; }
    int32_t GetBackBufferWidth() const override { return m_Raster.GetWidth(); }
    int32_t GetBackBufferHeight() const override { return m_Raster.GetHeight(); }
    void GetDesktopSize(int32_t& width, int32_t& height) override;
    std::shared_ptr<CScreenTexture> CreateTexture(std::vector<TextureLevel> levels) override;
    size_t GetTextureCount() const override { return m_Registry->textures.size(); }
    size_t GetTextureBytes() const override { return m_Registry->Bytes(); }
    bool DrawTriangles(const ScreenVertex* vertices, size_t count, const CScreenTexture* texture,
                       TextureAddress address, ScreenBlend blend) override;
    bool DrawLineStrip(const ScreenVertex* vertices, size_t count, ScreenBlend blend) override;
    void Clear(uint32_t argb) override;
    bool Present() override;
    bool ReadBack(std::vector<uint32_t>& pixels, int32_t& width, int32_t& height) override;
    std::string_view GetLastError() const override { return m_LastError; }
    void GetClientSize(int32_t& width, int32_t& height) const override;

    // Test controls: the desktop the first Reset reads, a failing Reset, a
    // lost device reported by the next Present.
    void SetDesktopSize(int32_t width, int32_t height) { m_DesktopWidth = width, m_DesktopHeight = height; }
    void SetFailResets(bool fail) { m_RefuseWindowed = m_RefuseFullScreen = fail; }
    // Refuses only the one mode.
    void SetRefuseMode(bool fullScreen, bool refuse) { (fullScreen ? m_RefuseFullScreen : m_RefuseWindowed) = refuse; }
    void LoseDevice() { m_Lost = true; }
    // The window the back buffer is shown in, whatever a reset asks of it: one
    // that was given another size (0 by 0: it takes the back buffer's size).
    void SetWindowSize(int32_t width, int32_t height) { m_WindowWidth = width, m_WindowHeight = height; }

    bool IsFullScreen() const override { return m_FullScreen; }
    // Textures built again by resets, over the device's life.
    size_t GetRebuiltTextures() const { return m_Rebuilt; }
    size_t GetResetCount() const { return m_Resets; }
    // Calls since the last TakeCalls, the latest limit of them; recording
    // stops when disabled (benchmarks).
    std::vector<ScreenCall> TakeCalls();
    void SetRecording(bool record) { m_Recording = record; }
    void SetRecordLimit(size_t calls);
    size_t GetRecordLimit() const { return m_RecordLimit; }
    // The picture shown by the last Present.
    const std::vector<uint32_t>& GetPresented() const;
    // Triangles and line segments rasterised over the device's life.
    size_t GetRasterisedPrimitives() const { return m_Rasterised; }

private:
    // Draws waiting to be rasterised over a picture: a clear colour, or the
    // picture as it is when none.
    struct Pending {
        std::optional<uint32_t> clear;
        std::vector<ScreenCall> draws;
    };
    void Record(ScreenCall call);
    // Queues a draw until its pixels are wanted.
    void Wait(ScreenCall call);
    // Rasterises what waits into m_Raster.
    void Rasterise();
    void RasteriseInto(CScreenRaster& raster, Pending& pending) const;
    void PresentedPixelsNow() const;
    void TextureGoes(const CScreenTexture* texture);

    CScreenRaster m_Raster;
    Pending m_Pending;
    // The presented picture while it is not made yet; made when first read.
    mutable Pending m_PresentedPending;
    mutable bool m_PresentedWaits = false;
    mutable CScreenRaster m_PresentedRaster;
    mutable size_t m_Rasterised = 0;
    size_t m_RecordLimit = 4096;
    int32_t m_WindowWidth = 0;
    int32_t m_WindowHeight = 0;
    std::shared_ptr<CScreenTextureRegistry> m_Registry;
    std::deque<ScreenCall> m_Calls;
    mutable std::vector<uint32_t> m_Presented;
    std::string m_LastError;
    int32_t m_DesktopWidth = 1920;
    int32_t m_DesktopHeight = 1080;
    size_t m_Rebuilt = 0;
    size_t m_Resets = 0;
    bool m_Created = false;
    bool m_FullScreen = false;
    bool m_RefuseWindowed = false;
    bool m_RefuseFullScreen = false;
    bool m_Lost = false;
    bool m_Recording = true;
};

} // namespace plat
