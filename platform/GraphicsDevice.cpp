#include "platform/GraphicsDevice.h"
#include "platform/GraphicsDeviceHeadless.h"

#include <algorithm>
#include <iterator>

namespace plat {

ShownArea CentredArea(int32_t windowWidth, int32_t windowHeight, int32_t backWidth, int32_t backHeight)
{
    ShownArea area;
    if (windowWidth <= 0 || windowHeight <= 0 || backWidth <= 0 || backHeight <= 0) {
        area.width = backWidth;
        area.height = backHeight;
        return area;
    }
    const double scale = std::min(double(windowWidth) / backWidth, double(windowHeight) / backHeight);
    area.width = int32_t(backWidth * scale);
    area.height = int32_t(backHeight * scale);
    area.left = (windowWidth - area.width) / 2;
    area.top = (windowHeight - area.height) / 2;
    return area;
}

ShownArea AreaInWindow(int32_t windowWidth, int32_t windowHeight, int32_t backWidth, int32_t backHeight,
                       bool fullScreen)
{
    if (!fullScreen || windowWidth <= 0 || windowHeight <= 0)
        return CentredArea(windowWidth, windowHeight, backWidth, backHeight);
    ShownArea area;
    area.width = windowWidth;
    area.height = windowHeight;
    return area;
}

void CGraphicsDevice::GetClientSize(int32_t& width, int32_t& height) const
{
    width = GetBackBufferWidth();
    height = GetBackBufferHeight();
}

ShownArea CGraphicsDevice::GetShownArea() const
{
    int32_t width = 0, height = 0;
    GetClientSize(width, height);
    return AreaInWindow(width, height, GetBackBufferWidth(), GetBackBufferHeight(), IsFullScreen());
}

void CGraphicsDeviceHeadless::GetClientSize(int32_t& width, int32_t& height) const
{
    if (m_WindowWidth <= 0 || m_WindowHeight <= 0)
        return CGraphicsDevice::GetClientSize(width, height);
    width = m_WindowWidth;
    height = m_WindowHeight;
}

uint32_t CGraphicsDevice::TextureSizeFor(uint32_t size)
{
    uint32_t texture = 1;
    while (texture < size && texture < 0x80000000u)
        texture <<= 1;
    return texture;
}

size_t CScreenTextureRegistry::Bytes() const
{
    size_t bytes = 0;
    for (const CScreenTexture* texture : textures)
        for (const TextureLevel& level : texture->GetLevels())
            bytes += level.pixels.size() * sizeof(uint32_t);
    return bytes;
}

namespace {

bool LevelsAreSound(const std::vector<TextureLevel>& levels)
{
    if (levels.empty() || levels[0].width == 0 || levels[0].height == 0)
        return false;
    uint32_t w = levels[0].width;
    uint32_t h = levels[0].height;
    for (const TextureLevel& level : levels) {
        if (level.width != w || level.height != h || level.pixels.size() != size_t(w) * size_t(h))
            return false;
        w = w > 1 ? w / 2 : 1;
        h = h > 1 ? h / 2 : 1;
    }
    return true;
}

class CHeadlessTexture final : public CScreenTexture {
public:
    CHeadlessTexture(std::vector<TextureLevel> levels, std::shared_ptr<CScreenTextureRegistry> registry)
        : CScreenTexture(std::move(levels))
        , m_Registry(std::move(registry))
    {
        m_Registry->textures.insert(this);
    }
    ~CHeadlessTexture() override
    {
        if (m_Registry->deviceAlive && m_Registry->beforeRelease)
            m_Registry->beforeRelease(this);
        m_Registry->textures.erase(this);
    }

private:
    std::shared_ptr<CScreenTextureRegistry> m_Registry;
};

} // namespace

bool ScreenTextureLevelsAreSound(const std::vector<TextureLevel>& levels)
{
    return LevelsAreSound(levels);
}

namespace {

// Draws waiting past this many are rasterised, so a run that never clears
// keeps a bounded list.
constexpr size_t kMostWaitingDraws = 4096;

bool Uses(const std::vector<ScreenCall>& draws, const CScreenTexture* texture)
{
    return std::any_of(draws.begin(), draws.end(), [texture](const ScreenCall& c) { return c.texture == texture; });
}

} // namespace

CGraphicsDeviceHeadless::CGraphicsDeviceHeadless()
    : m_Registry(std::make_shared<CScreenTextureRegistry>())
{
    m_Registry->beforeRelease = [this](const CScreenTexture* texture) { TextureGoes(texture); };
}

CGraphicsDeviceHeadless::~CGraphicsDeviceHeadless()
{
    m_Registry->deviceAlive = false;
    m_Registry->beforeRelease = nullptr;
}

void CGraphicsDeviceHeadless::SetRecordLimit(size_t calls)
{
    m_RecordLimit = std::max<size_t>(calls, 1);
    while (m_Calls.size() > m_RecordLimit)
        m_Calls.pop_front();
}

void CGraphicsDeviceHeadless::RasteriseInto(CScreenRaster& raster, Pending& pending) const
{
    if (pending.clear)
        raster.Clear(*pending.clear);
    for (const ScreenCall& call : pending.draws) {
        const ScreenVertex* v = call.vertices.data();
        if (call.kind == ScreenCall::Kind::Triangles) {
            const std::vector<TextureLevel>* levels = call.texture ? &call.texture->GetLevels() : nullptr;
            for (size_t i = 0; i + 2 < call.vertices.size(); i += 3, ++m_Rasterised)
                raster.DrawTriangle(v[i], v[i + 1], v[i + 2], levels, call.address, call.blend);
        } else {
            for (size_t i = 0; i + 1 < call.vertices.size(); ++i, ++m_Rasterised)
                raster.DrawLine(v[i], v[i + 1], call.blend);
        }
    }
    pending.clear.reset();
    pending.draws.clear();
}

void CGraphicsDeviceHeadless::Rasterise()
{
    RasteriseInto(m_Raster, m_Pending);
}

void CGraphicsDeviceHeadless::PresentedPixelsNow() const
{
    if (!m_PresentedWaits)
        return;
    if (m_PresentedRaster.GetWidth() != m_Raster.GetWidth() || m_PresentedRaster.GetHeight() != m_Raster.GetHeight())
        m_PresentedRaster.Resize(m_Raster.GetWidth(), m_Raster.GetHeight());
    // The pending draws begin with a clear, so the raster may start from
    // any picture: the last one presented is swapped in, not copied.
    RasteriseInto(m_PresentedRaster, m_PresentedPending);
    m_PresentedRaster.SwapPixels(m_Presented);
    m_PresentedWaits = false;
}

const std::vector<uint32_t>& CGraphicsDeviceHeadless::GetPresented() const
{
    PresentedPixelsNow();
    return m_Presented;
}

void CGraphicsDeviceHeadless::TextureGoes(const CScreenTexture* texture)
{
    if (Uses(m_Pending.draws, texture))
        Rasterise();
    if (m_PresentedWaits && Uses(m_PresentedPending.draws, texture))
        PresentedPixelsNow();
}

bool CGraphicsDeviceHeadless::Reset(int32_t backWidth, int32_t backHeight, bool fullScreen)
{
    const bool refused = fullScreen ? m_RefuseFullScreen : m_RefuseWindowed;
    if (refused || backWidth <= 0 || backHeight <= 0) {
        m_LastError = refused ? "the device refused the mode" : "an empty back buffer";
        return false;
    }
    if (m_Created)
        m_Rebuilt += m_Registry->textures.size();
    m_Created = true;
    m_Lost = false;
    m_FullScreen = fullScreen;
    ++m_Resets;
    PresentedPixelsNow();
    m_Raster.Resize(backWidth, backHeight);
    // A new back buffer is black.
    m_Pending.clear = 0xFF000000u;
    m_Pending.draws.clear();
    ScreenCall call;
    call.kind = ScreenCall::Kind::Reset;
    Record(std::move(call));
    return true;
}

void CGraphicsDeviceHeadless::GetDesktopSize(int32_t& width, int32_t& height)
{
    width = m_DesktopWidth;
    height = m_DesktopHeight;
}

std::shared_ptr<CScreenTexture> CGraphicsDeviceHeadless::CreateTexture(std::vector<TextureLevel> levels)
{
    if (!LevelsAreSound(levels)) {
        m_LastError = "texture levels of the wrong sizes";
        return nullptr;
    }
    return std::make_shared<CHeadlessTexture>(std::move(levels), m_Registry);
}

void CGraphicsDeviceHeadless::Record(ScreenCall call)
{
    if (!m_Recording)
        return;
    if (m_Calls.size() >= m_RecordLimit)
        m_Calls.pop_front();
    m_Calls.push_back(std::move(call));
}

std::vector<ScreenCall> CGraphicsDeviceHeadless::TakeCalls()
{
    std::vector<ScreenCall> calls(std::make_move_iterator(m_Calls.begin()), std::make_move_iterator(m_Calls.end()));
    m_Calls.clear();
    return calls;
}

bool CGraphicsDeviceHeadless::DrawTriangles(const ScreenVertex* vertices, size_t count, const CScreenTexture* texture,
                                            TextureAddress address, ScreenBlend blend)
{
    if (!m_Created || count < 3)
        return false;
    ScreenCall call;
    call.kind = ScreenCall::Kind::Triangles;
    call.vertices.assign(vertices, vertices + count);
    call.texture = texture;
    call.address = address;
    call.blend = blend;
    Wait(std::move(call));
    return true;
}

bool CGraphicsDeviceHeadless::DrawLineStrip(const ScreenVertex* vertices, size_t count, ScreenBlend blend)
{
    if (!m_Created || count < 2)
        return false;
    ScreenCall call;
    call.kind = ScreenCall::Kind::LineStrip;
    call.vertices.assign(vertices, vertices + count);
    call.blend = blend;
    Wait(std::move(call));
    return true;
}

void CGraphicsDeviceHeadless::Wait(ScreenCall call)
{
    if (m_Recording)
        Record(call);
    m_Pending.draws.push_back(std::move(call));
    if (m_Pending.draws.size() >= kMostWaitingDraws)
        Rasterise();
}

void CGraphicsDeviceHeadless::Clear(uint32_t argb)
{
    // What waits would be covered: it goes unrasterised.
    m_Pending.clear = argb;
    m_Pending.draws.clear();
    ScreenCall call;
    call.kind = ScreenCall::Kind::Clear;
    call.argb = argb;
    Record(std::move(call));
}

bool CGraphicsDeviceHeadless::Present()
{
    if (!m_Created || m_Lost) {
        m_LastError = "the device was lost";
        return false;
    }
    if (m_Pending.clear) {
        // Made when first read; the back buffer keeps the same waiting draws.
        m_PresentedPending = m_Pending;
        m_PresentedWaits = true;
    } else {
        Rasterise();
        m_Presented = m_Raster.GetPixels();
        m_PresentedWaits = false;
    }
    ScreenCall call;
    call.kind = ScreenCall::Kind::Present;
    Record(std::move(call));
    return true;
}

bool CGraphicsDeviceHeadless::ReadBack(std::vector<uint32_t>& pixels, int32_t& width, int32_t& height)
{
    if (!m_Created)
        return false;
    Rasterise();
    pixels = m_Raster.GetPixels();
    width = m_Raster.GetWidth();
    height = m_Raster.GetHeight();
    return true;
}

} // namespace plat
