#include "images/CFrameAsMipMapTexture.h"

#include "blit/CBlitTypeList.h"
#include "foundation/CPerformanceMonitor.h"
#include "images/CFrame.h"
#include "objects/CDynamicPropertyRegistry.h"
#include "objects/CPObjectProperty.h"
#include "objects/CSlotProperty.h"

#include <algorithm>
#include <cmath>
#include <cstring>

OMBRISALT_IMPLEMENT_CLASS(CFrameAsMipMapTexture, 1.0)

void CFrameAsMipMapTexture::DeclareProperties(CPropertyDeclarer&) {}

namespace {

using CTextureProperty = CSlotProperty<CTypedPObjectProperty<CFrameAsMipMapTexture>>;

CTextureProperty& TextureProperty()
{
    static CTextureProperty* property = [] {
        auto* made = new CTextureProperty("Mip Map Texture", nullptr);
        made->SetSavedIn(SavedIn::Nowhere);
        made->AddAsDynamicProperty(CFrame::SGetClassInfo(), DynamicKind::Optional);
        return made;
    }();
    return *property;
}

plat::ScreenVertex ToBackBuffer(const SScreenView& view, float x, float y, uint32_t argb, float u, float v)
{
    return {x * view.scale + view.offsetX, y * view.scale + view.offsetY, argb, u, v};
}

plat::ScreenVertex Between(const plat::ScreenVertex& a, const plat::ScreenVertex& b, float t)
{
    auto mix = [t](float p, float q) { return p + (q - p) * t; };
    uint32_t argb = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const float channel = mix(float((a.argb >> shift) & 0xFF), float((b.argb >> shift) & 0xFF));
        argb |= uint32_t(std::lround(std::clamp(channel, 0.0f, 255.0f))) << shift;
    }
    return {mix(a.x, b.x), mix(a.y, b.y), argb, mix(a.u, b.u), mix(a.v, b.v)};
}

// Keeps the part of the polygon where side(vertex) >= 0; side is linear.
template <class Side>
void CutPolygon(std::vector<plat::ScreenVertex>& polygon, std::vector<plat::ScreenVertex>& scratch, Side side)
{
    scratch.clear();
    for (size_t i = 0; i < polygon.size(); ++i) {
        const plat::ScreenVertex& a = polygon[i];
        const plat::ScreenVertex& b = polygon[(i + 1) % polygon.size()];
        const float sa = side(a), sb = side(b);
        if (sa >= 0.0f)
            scratch.push_back(a);
        if ((sa >= 0.0f) != (sb >= 0.0f))
            scratch.push_back(Between(a, b, sa / (sa - sb)));
    }
    polygon.swap(scratch);
}

} // namespace

void ClipPolygonToTriangles(const plat::ScreenVertex* polygon, size_t count, const SScreenView& view,
                            const SFloatRect* clip, std::vector<plat::ScreenVertex>& triangles)
{
    triangles.clear();
    std::vector<plat::ScreenVertex> cut(polygon, polygon + count), scratch;
    if (clip) {
        const float left = clip->left * view.scale + view.offsetX, right = clip->right * view.scale + view.offsetX;
        const float top = clip->top * view.scale + view.offsetY, bottom = clip->bottom * view.scale + view.offsetY;
        CutPolygon(cut, scratch, [left](const plat::ScreenVertex& v) { return v.x - left; });
        CutPolygon(cut, scratch, [right](const plat::ScreenVertex& v) { return right - v.x; });
        CutPolygon(cut, scratch, [top](const plat::ScreenVertex& v) { return v.y - top; });
        CutPolygon(cut, scratch, [bottom](const plat::ScreenVertex& v) { return bottom - v.y; });
    }
    for (size_t i = 1; i + 1 < cut.size(); ++i) {
        triangles.push_back(cut[0]);
        triangles.push_back(cut[i]);
        triangles.push_back(cut[i + 1]);
    }
}

CFrameAsMipMapTexture::CFrameAsMipMapTexture()
{
    InitDeclaredProperties();
}

CFrameAsMipMapTexture::~CFrameAsMipMapTexture()
{
    DestroyDeclaredProperties();
}

CFrameAsMipMapTexture* CFrameAsMipMapTexture::SFindOrCreate(CFrame& frame, plat::CGraphicsDevice& device)
{
    CTextureProperty& property = TextureProperty();
    if (auto* texture = dynamic_cast<CFrameAsMipMapTexture*>(property.GetDynamicValue(&frame))) {
        // A texture is the device's own: another device makes its own.
        if (texture->m_Device == &device)
            return texture;
        property.SetDynamicValue(&frame, nullptr);
    }
    auto made = std::make_unique<CFrameAsMipMapTexture>();
    if (!made->CreateData(frame, device))
        return nullptr;
    made->m_Width = frame.GetWidth();
    made->m_Height = frame.GetHeight();
    made->m_Frame = &frame;
    CFrameAsMipMapTexture* kept = made.release();
    property.SetDynamicValue(&frame, kept);
    return kept;
}

void CFrameAsMipMapTexture::SRelease(CFrame& frame)
{
    CTextureProperty& property = TextureProperty();
    if (property.GetDynamicValue(&frame))
        property.SetDynamicValue(&frame, nullptr);
}

std::vector<plat::TextureLevel> CFrameAsMipMapTexture::BuildLevels(CFrame& frame)
{
    const uint32_t width = frame.GetWidth();
    const uint32_t height = frame.GetHeight();
    std::vector<plat::TextureLevel> levels;
    if (width == 0 || height == 0)
        return levels;
    // Plain 24-bit pixels are widened here (opaque); every other frame is
    // drawn into a plain 32-bit copy by the "Normal" blit, so a 16-bit frame
    // shows the colours it shows when blitted into 32 bits.
    std::unique_ptr<CFrame> converted;
    CFrame* source = &frame;
    const uint32_t depth = frame.GetBitDepth();
    const bool plain = !frame.IsCompressed() && frame.Row(0);
    if (depth != 32 || !plain) {
        converted = CFrame::MakeOwned(width, height, 32);
        if (!converted)
            return levels;
        if (plain && depth == 24) {
            for (uint32_t y = 0; y < height; ++y) {
                const uint8_t* in = frame.Row(y);
                auto* out = reinterpret_cast<uint32_t*>(converted->Row(y));
                for (uint32_t x = 0; x < width; ++x)
                    out[x] = 0xFF000000u | uint32_t(in[x * 3 + 2]) << 16 | uint32_t(in[x * 3 + 1]) << 8 | in[x * 3];
            }
        } else {
            const CRect whole{0, 0, int32_t(width), int32_t(height)};
            converted->BlitToFrame(frame, whole, whole, GetNormalBlitType());
        }
        source = converted.get();
    }
    plat::TextureLevel top;
    top.width = plat::CGraphicsDevice::TextureSizeFor(width);
    top.height = plat::CGraphicsDevice::TextureSizeFor(height);
    top.pixels.resize(size_t(top.width) * size_t(top.height));
    for (uint32_t y = 0; y < top.height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(source->Row(std::min(y, height - 1)));
        uint32_t* out = &top.pixels[size_t(y) * top.width];
        std::memcpy(out, row, size_t(width) * 4);
        std::fill(out + width, out + top.width, row[width - 1]);
    }
    levels.push_back(std::move(top));
    while (levels.back().width > 1 || levels.back().height > 1) {
        const plat::TextureLevel& up = levels.back();
        plat::TextureLevel down;
        down.width = std::max(up.width / 2, 1u);
        down.height = std::max(up.height / 2, 1u);
        down.pixels.resize(size_t(down.width) * size_t(down.height));
        const uint32_t stepX = up.width > 1 ? 2 : 1;
        const uint32_t stepY = up.height > 1 ? 2 : 1;
        for (uint32_t y = 0; y < down.height; ++y)
            for (uint32_t x = 0; x < down.width; ++x) {
                const uint32_t* a = &up.pixels[size_t(y * stepY) * up.width + x * stepX];
                const uint32_t* b = a + (stepY - 1) * up.width;
                uint32_t out = 0;
                for (int shift = 0; shift < 32; shift += 8) {
                    const uint32_t sum = ((a[0] >> shift) & 0xFF) + ((a[stepX - 1] >> shift) & 0xFF)
                        + ((b[0] >> shift) & 0xFF) + ((b[stepX - 1] >> shift) & 0xFF);
                    out |= ((sum + 2) >> 2) << shift;
                }
                down.pixels[size_t(y) * down.width + x] = out;
            }
        levels.push_back(std::move(down));
    }
    return levels;
}

bool CFrameAsMipMapTexture::CreateData(CFrame& frame, plat::CGraphicsDevice& device)
{
    static CPerformanceMonitor monitor("FrameAsMipMap_CreateData");
    CPerformanceMonitorScope zone(monitor);
    std::vector<plat::TextureLevel> levels = BuildLevels(frame);
    if (levels.empty())
        return false;
    const uint32_t textureWidth = levels[0].width;
    const uint32_t textureHeight = levels[0].height;
    m_Texture = device.CreateTexture(std::move(levels));
    if (!m_Texture)
        return false;
    m_Device = &device;
    return BuildVertexBuffer(frame, textureWidth, textureHeight);
}

bool CFrameAsMipMapTexture::BuildVertexBuffer(CFrame& frame, uint32_t textureWidth, uint32_t textureHeight)
{
    if (textureWidth == 0 || textureHeight == 0)
        return false;
    CRect bounds;
    frame.GetBounds(bounds);
    m_Left = float(bounds.left);
    m_Top = float(bounds.top);
    m_Right = float(bounds.right);
    m_Bottom = float(bounds.bottom);
    m_U0 = 0.0f;
    m_V0 = 0.0f;
    m_U1 = float(frame.GetWidth()) / float(textureWidth);
    m_V1 = float(frame.GetHeight()) / float(textureHeight);
    return true;
}

bool CFrameAsMipMapTexture::DrawQuad(const SScreenTarget& target, const plat::ScreenVertex (&corners)[4],
                                     plat::TextureAddress address, plat::ScreenBlend blend, const SFloatRect* clip)
{
    if (!m_Texture)
        return false;
    if (clip) {
        std::vector<plat::ScreenVertex> triangles;
        ClipPolygonToTriangles(corners, 4, target.view, clip, triangles);
        return !triangles.empty()
            && target.device.DrawTriangles(triangles.data(), triangles.size(), m_Texture.get(), address, blend);
    }
    const plat::ScreenVertex triangles[6] = {corners[0], corners[1], corners[2], corners[0], corners[2], corners[3]};
    return target.device.DrawTriangles(triangles, 6, m_Texture.get(), address, blend);
}

bool CFrameAsMipMapTexture::Draw(const SScreenTarget& target, float x, float y, uint32_t alpha, const SFloatRect* clip)
{
    const uint32_t argb = std::min(alpha, 255u) << 24 | 0xFFFFFFu;
    float left = m_Left, top = m_Top, right = m_Right, bottom = m_Bottom;
    float u0 = m_U0, v0 = m_V0, u1 = m_U1, v1 = m_V1;
    if (clip) {
        // The clip is in screen coordinates; the quad's are relative to (x, y).
        const float cl = std::max(left, clip->left - x);
        const float ct = std::max(top, clip->top - y);
        const float cr = std::min(right, clip->right - x);
        const float cb = std::min(bottom, clip->bottom - y);
        if (cl >= cr || ct >= cb)
            return false;
        auto lerp = [](float a, float b, float t) { return a + (b - a) * t; };
        const float w = right - left;
        const float h = bottom - top;
        const float nu0 = lerp(m_U0, m_U1, (cl - left) / w), nu1 = lerp(m_U0, m_U1, (cr - left) / w);
        const float nv0 = lerp(m_V0, m_V1, (ct - top) / h), nv1 = lerp(m_V0, m_V1, (cb - top) / h);
        left = cl, top = ct, right = cr, bottom = cb;
        u0 = nu0, u1 = nu1, v0 = nv0, v1 = nv1;
    }
    const plat::ScreenVertex corners[4] = {ToBackBuffer(target.view, x + left, y + top, argb, u0, v0),
                                           ToBackBuffer(target.view, x + right, y + top, argb, u1, v0),
                                           ToBackBuffer(target.view, x + right, y + bottom, argb, u1, v1),
                                           ToBackBuffer(target.view, x + left, y + bottom, argb, u0, v1)};
    return DrawQuad(target, corners, plat::TextureAddress::Clamp, plat::ScreenBlend::Normal);
}

bool CFrameAsMipMapTexture::DrawTiled(const SScreenTarget& target, const SFloatRect& rect)
{
    if (!m_Texture || rect.left >= rect.right || rect.top >= rect.bottom)
        return false;
    const float tw = float(m_Texture->GetWidth());
    const float th = float(m_Texture->GetHeight());
    const plat::ScreenVertex corners[4]
        = {ToBackBuffer(target.view, rect.left, rect.top, 0xFFFFFFFFu, rect.left / tw, rect.top / th),
           ToBackBuffer(target.view, rect.right, rect.top, 0xFFFFFFFFu, rect.right / tw, rect.top / th),
           ToBackBuffer(target.view, rect.right, rect.bottom, 0xFFFFFFFFu, rect.right / tw, rect.bottom / th),
           ToBackBuffer(target.view, rect.left, rect.bottom, 0xFFFFFFFFu, rect.left / tw, rect.bottom / th)};
    return DrawQuad(target, corners, plat::TextureAddress::Wrap, plat::ScreenBlend::Normal);
}

bool CFrameAsMipMapTexture::DrawTransformed(const SScreenTarget& target, const STextureDrawTransform& transform,
                                            const SFloatRect* clip)
{
    const float sx = (transform.flags & 4) ? -transform.scaleX : transform.scaleX;
    const float sy = (transform.flags & 8) ? -transform.scaleY : transform.scaleY;
    const double radians = double(transform.angleDegrees) * 0.01745329238474369;
    const float c = float(std::cos(radians));
    const float s = float(std::sin(radians));
    auto place = [&](float px, float py, float u, float v) {
        const float ax = (px - transform.hotSpotX) * sx;
        const float ay = (py - transform.hotSpotY) * sy;
        return ToBackBuffer(target.view, ax * c - ay * s + transform.x, ax * s + ay * c + transform.y, transform.argb,
                            u, v);
    };
    const plat::ScreenVertex corners[4] = {place(m_Left, m_Top, m_U0, m_V0), place(m_Right, m_Top, m_U1, m_V0),
                                           place(m_Right, m_Bottom, m_U1, m_V1), place(m_Left, m_Bottom, m_U0, m_V1)};
    return DrawQuad(target, corners, plat::TextureAddress::Clamp,
                    (transform.flags & 1) ? plat::ScreenBlend::Additive : plat::ScreenBlend::Normal, clip);
}
