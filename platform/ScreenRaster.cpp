#include "platform/ScreenRaster.h"

#include <algorithm>
#include <cmath>

namespace plat {

namespace {

struct Texel {
    float b, g, r, a;
};

// Byte i as the fraction i / 255, read from a table rather than computed per
// channel (the same values: each entry is i times 1 / 255).
struct ByteFractions {
    float value[256];
    ByteFractions()
    {
        constexpr float k = 1.0f / 255.0f;
        for (int i = 0; i < 256; ++i)
            value[i] = float(i) * k;
    }
};
const ByteFractions kFractions;

Texel Unpack(uint32_t pixel)
{
    const float* f = kFractions.value;
    return {f[pixel & 0xFF], f[(pixel >> 8) & 0xFF], f[(pixel >> 16) & 0xFF], f[pixel >> 24]};
}

// Nearest byte, halves up: the value is never negative here, so adding a
// half and truncating rounds as the library would.
uint32_t ToByte(float value)
{
    return uint32_t(std::clamp(value, 0.0f, 1.0f) * 255.0f + 0.5f);
}

int32_t Address(int32_t index, int32_t size, TextureAddress address)
{
    if (address == TextureAddress::Wrap) {
        const int32_t wrapped = index % size;
        return wrapped < 0 ? wrapped + size : wrapped;
    }
    return std::clamp(index, 0, size - 1);
}

Texel SampleBilinear(const TextureLevel& level, float u, float v, TextureAddress address)
{
    const int32_t w = int32_t(level.width);
    const int32_t h = int32_t(level.height);
    const float tx = u * float(w) - 0.5f;
    const float ty = v * float(h) - 0.5f;
    const float fx = std::floor(tx);
    const float fy = std::floor(ty);
    const float ax = tx - fx;
    const float ay = ty - fy;
    const int32_t x0 = Address(int32_t(fx), w, address);
    const int32_t x1 = Address(int32_t(fx) + 1, w, address);
    const int32_t y0 = Address(int32_t(fy), h, address);
    const int32_t y1 = Address(int32_t(fy) + 1, h, address);
    const Texel t00 = Unpack(level.pixels[size_t(y0) * size_t(w) + size_t(x0)]);
    const Texel t10 = Unpack(level.pixels[size_t(y0) * size_t(w) + size_t(x1)]);
    const Texel t01 = Unpack(level.pixels[size_t(y1) * size_t(w) + size_t(x0)]);
    const Texel t11 = Unpack(level.pixels[size_t(y1) * size_t(w) + size_t(x1)]);
    auto mix = [&](float Texel::*channel) {
        const float top = t00.*channel + (t10.*channel - t00.*channel) * ax;
        const float bottom = t01.*channel + (t11.*channel - t01.*channel) * ax;
        return top + (bottom - top) * ay;
    };
    return {mix(&Texel::b), mix(&Texel::g), mix(&Texel::r), mix(&Texel::a)};
}

float Edge(float ax, float ay, float bx, float by, float px, float py)
{
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
}

// The whole-texel offset (texel = pixel + offset) when the triangle maps
// back-buffer pixels to texels of the level 1:1 without turning or scaling;
// bilinear filtering at texel centres then reads single texels.
bool OneToOneOffset(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, float area, float w, float h,
                    int32_t& offsetX, int32_t& offsetY)
{
    constexpr float kTolerance = 1.0f / 4096.0f;
    const float dudx = ((b.u - a.u) * (c.y - a.y) - (c.u - a.u) * (b.y - a.y)) / area * w;
    const float dvdx = ((b.v - a.v) * (c.y - a.y) - (c.v - a.v) * (b.y - a.y)) / area * h;
    const float dudy = ((c.u - a.u) * (b.x - a.x) - (b.u - a.u) * (c.x - a.x)) / area * w;
    const float dvdy = ((c.v - a.v) * (b.x - a.x) - (b.v - a.v) * (c.x - a.x)) / area * h;
    if (std::fabs(dudx - 1.0f) > kTolerance || std::fabs(dvdy - 1.0f) > kTolerance || std::fabs(dudy) > kTolerance
        || std::fabs(dvdx) > kTolerance)
        return false;
    const float ox = a.u * w - a.x, oy = a.v * h - a.y;
    const float rx = std::round(ox), ry = std::round(oy);
    if (std::fabs(ox - rx) > kTolerance || std::fabs(oy - ry) > kTolerance)
        return false;
    offsetX = int32_t(rx);
    offsetY = int32_t(ry);
    return true;
}

// Top and left edges own the pixels whose centres lie exactly on them.
bool IsTopLeft(float ax, float ay, float bx, float by, bool clockwise)
{
    const float dx = bx - ax;
    const float dy = by - ay;
    if (!clockwise)
        return (dy == 0.0f && dx < 0.0f) || dy > 0.0f;
    return (dy == 0.0f && dx > 0.0f) || dy < 0.0f;
}

} // namespace

void CScreenRaster::Resize(int32_t width, int32_t height)
{
    m_Width = std::max(width, 0);
    m_Height = std::max(height, 0);
    m_Pixels.assign(size_t(m_Width) * size_t(m_Height), 0xFF000000u);
}

void CScreenRaster::Clear(uint32_t argb)
{
    std::fill(m_Pixels.begin(), m_Pixels.end(), argb | 0xFF000000u);
}

void CScreenRaster::Blend(int32_t x, int32_t y, const Colour& source, ScreenBlend blend)
{
    uint32_t& target = m_Pixels[size_t(y) * size_t(m_Width) + size_t(x)];
    if (blend == ScreenBlend::Normal) {
        // The two ends of the formula, exactly: opaque replaces, clear keeps.
        if (source.a == 1.0f) {
            target = 0xFF000000u | ToByte(source.r) << 16 | ToByte(source.g) << 8 | ToByte(source.b);
            return;
        }
        if (source.a == 0.0f)
            return;
    }
    const Texel dest = Unpack(target);
    const float keep = blend == ScreenBlend::Additive ? 1.0f : 1.0f - source.a;
    const float b = source.b * source.a + dest.b * keep;
    const float g = source.g * source.a + dest.g * keep;
    const float r = source.r * source.a + dest.r * keep;
    target = 0xFF000000u | ToByte(r) << 16 | ToByte(g) << 8 | ToByte(b);
}

void CScreenRaster::DrawTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                                 const std::vector<TextureLevel>* levels, TextureAddress address, ScreenBlend blend)
{
    const float area = Edge(a.x, a.y, b.x, b.y, c.x, c.y);
    if (area == 0.0f || m_Width == 0 || m_Height == 0)
        return;
    const bool clockwise = area > 0.0f;
    const int32_t left = std::max(0, int32_t(std::floor(std::min({a.x, b.x, c.x}))));
    const int32_t right = std::min(m_Width - 1, int32_t(std::ceil(std::max({a.x, b.x, c.x}))));
    const int32_t top = std::max(0, int32_t(std::floor(std::min({a.y, b.y, c.y}))));
    const int32_t bottom = std::min(m_Height - 1, int32_t(std::ceil(std::max({a.y, b.y, c.y}))));

    // The mip level follows the texel-to-pixel scale, constant over an affine triangle.
    const TextureLevel* level = nullptr;
    if (levels && !levels->empty()) {
        const float w = float((*levels)[0].width);
        const float h = float((*levels)[0].height);
        const float dudx = ((b.u - a.u) * (c.y - a.y) - (c.u - a.u) * (b.y - a.y)) / area * w;
        const float dvdx = ((b.v - a.v) * (c.y - a.y) - (c.v - a.v) * (b.y - a.y)) / area * h;
        const float dudy = ((c.u - a.u) * (b.x - a.x) - (b.u - a.u) * (c.x - a.x)) / area * w;
        const float dvdy = ((c.v - a.v) * (b.x - a.x) - (b.v - a.v) * (c.x - a.x)) / area * h;
        const float rho = std::max(std::sqrt(dudx * dudx + dvdx * dvdx), std::sqrt(dudy * dudy + dvdy * dvdy));
        const float lod = rho > 0.0f ? std::log2(rho) : 0.0f;
        size_t index = lod <= 0.5f ? 0 : size_t(std::ceil(lod + 0.5f) - 1.0f);
        index = std::min(index, levels->size() - 1);
        level = &(*levels)[index];
    }

    const bool ownAB = IsTopLeft(a.x, a.y, b.x, b.y, clockwise);
    const bool ownBC = IsTopLeft(b.x, b.y, c.x, c.y, clockwise);
    const bool ownCA = IsTopLeft(c.x, c.y, a.x, a.y, clockwise);
    const float sign = clockwise ? 1.0f : -1.0f;
    const float signedArea = area * sign;
    // Whether the centre of pixel (x, y) is covered, top-left edges owning ties.
    auto covered = [&](int32_t x, float py) {
        const float px = float(x) + 0.5f;
        const float w0 = Edge(b.x, b.y, c.x, c.y, px, py) * sign;
        const float w1 = Edge(c.x, c.y, a.x, a.y, px, py) * sign;
        const float w2 = Edge(a.x, a.y, b.x, b.y, px, py) * sign;
        if (w0 < 0.0f || w1 < 0.0f || w2 < 0.0f)
            return false;
        return !((w0 == 0.0f && !ownBC) || (w1 == 0.0f && !ownCA) || (w2 == 0.0f && !ownAB));
    };
    // Each edge as a function of the centre's x on a row: slope * px + base,
    // nonnegative inside.
    struct Line {
        float ax, ay, bx, by;
    };
    const Line edges[3] = {{b.x, b.y, c.x, c.y}, {c.x, c.y, a.x, a.y}, {a.x, a.y, b.x, b.y}};

    const bool flat = a.argb == b.argb && b.argb == c.argb;
    const Texel flatColour = Unpack(a.argb);
    int32_t offsetX = 0, offsetY = 0;
    const bool copies = level && level == &(*levels)[0]
        && OneToOneOffset(a, b, c, area, float(level->width), float(level->height), offsetX, offsetY);

    for (int32_t y = top; y <= bottom; ++y) {
        const float py = float(y) + 0.5f;
        // The covered run of the row: the edges' crossings estimate it, the
        // exact test settles its two ends (a convex shape covers one run).
        float from = float(left), to = float(right) + 1.0f;
        bool none = false;
        for (const Line& e : edges) {
            const float slope = -(e.by - e.ay) * sign;
            const float base = ((e.bx - e.ax) * (py - e.ay) + (e.by - e.ay) * e.ax) * sign;
            if (slope == 0.0f) {
                none = none || base < 0.0f;
                continue;
            }
            const float cross = -base / slope;
            if (slope > 0.0f)
                from = std::max(from, cross);
            else
                to = std::min(to, cross);
        }
        if (none || from > to + 2.0f)
            continue;
        int32_t first = std::max(left, int32_t(std::ceil(from - 0.5f)) - 1);
        int32_t last = std::min(right, int32_t(std::floor(to - 0.5f)) + 1);
        while (first <= last && !covered(first, py))
            ++first;
        while (last >= first && !covered(last, py))
            --last;
        for (int32_t x = first; x <= last; ++x) {
            Colour colour;
            float l0 = 0.0f, l1 = 0.0f, l2 = 0.0f;
            if (!flat || (level && !copies)) {
                const float px = float(x) + 0.5f;
                l0 = Edge(b.x, b.y, c.x, c.y, px, py) * sign / signedArea;
                l1 = Edge(c.x, c.y, a.x, a.y, px, py) * sign / signedArea;
                l2 = 1.0f - l0 - l1;
            }
            if (flat) {
                colour = {flatColour.b, flatColour.g, flatColour.r, flatColour.a};
            } else {
                auto channel = [&](int shift) {
                    return (float((a.argb >> shift) & 0xFF) * l0 + float((b.argb >> shift) & 0xFF) * l1
                            + float((c.argb >> shift) & 0xFF) * l2)
                        / 255.0f;
                };
                colour = {channel(0), channel(8), channel(16), channel(24)};
            }
            if (level) {
                Texel texel;
                if (copies) {
                    const int32_t tx = Address(x + offsetX, int32_t(level->width), address);
                    const int32_t ty = Address(y + offsetY, int32_t(level->height), address);
                    texel = Unpack(level->pixels[size_t(ty) * level->width + size_t(tx)]);
                } else {
                    const float u = a.u * l0 + b.u * l1 + c.u * l2;
                    const float v = a.v * l0 + b.v * l1 + c.v * l2;
                    texel = SampleBilinear(*level, u, v, address);
                }
                colour = {colour.b * texel.b, colour.g * texel.g, colour.r * texel.r, colour.a * texel.a};
            }
            Blend(x, y, colour, blend);
        }
    }
}

void CScreenRaster::DrawLine(const ScreenVertex& a, const ScreenVertex& b, ScreenBlend blend)
{
    const float dx = b.x - a.x;
    const float dy = b.y - a.y;
    if (dx == 0.0f && dy == 0.0f)
        return;
    const bool xMajor = std::fabs(dx) >= std::fabs(dy);
    const float start = xMajor ? a.x : a.y;
    const float end = xMajor ? b.x : b.y;
    const float step = end > start ? 1.0f : -1.0f;
    // Centres from the first one at or after the start, up to but not including the end.
    float centre = step > 0.0f ? std::ceil(start - 0.5f) + 0.5f : std::floor(start + 0.5f) - 0.5f;
    for (; step > 0.0f ? centre < end : centre > end; centre += step) {
        const float t = (centre - start) / (end - start);
        const float minor = xMajor ? a.y + dy * t : a.x + dx * t;
        const int32_t x = xMajor ? int32_t(std::floor(centre)) : int32_t(std::floor(minor));
        const int32_t y = xMajor ? int32_t(std::floor(minor)) : int32_t(std::floor(centre));
        if (x < 0 || y < 0 || x >= m_Width || y >= m_Height)
            continue;
        auto channel = [&](int shift) {
            return (float((a.argb >> shift) & 0xFF) * (1.0f - t) + float((b.argb >> shift) & 0xFF) * t) / 255.0f;
        };
        Blend(x, y, Colour{channel(0), channel(8), channel(16), channel(24)}, blend);
    }
}

} // namespace plat
