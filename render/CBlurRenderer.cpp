#include "render/CBlurRenderer.h"

#include "render/FrameViews.h"

#include <agg_pixfmt_rgba.h>
#include <agg_renderer_base.h>

// agg_blur.h uses renderer_base without including it.
#include <agg_blur.h>

#include <algorithm>
#include <cstring>
#include <vector>

OMBRISALT_IMPLEMENT_CLASS(CBlurRenderer, 1.0)
void CBlurRenderer::DeclareProperties(CPropertyDeclarer&) {}

namespace {

// Colour channels enter premultiplied by alpha and leave divided by the
// filtered alpha, so the recursive filter runs on alpha-weighted colour.
struct SAlphaWeightedCalc {
    using value_type = double;
    double r, g, b, a;

    void from_pix(const agg::rgba8& c)
    {
        r = double(c.r) * c.a;
        g = double(c.g) * c.a;
        b = double(c.b) * c.a;
        a = c.a;
    }
    void calc(double b1, double b2, double b3, double b4, const SAlphaWeightedCalc& c1, const SAlphaWeightedCalc& c2,
              const SAlphaWeightedCalc& c3, const SAlphaWeightedCalc& c4)
    {
        r = b1 * c1.r + b2 * c2.r + b3 * c3.r + b4 * c4.r;
        g = b1 * c1.g + b2 * c2.g + b3 * c3.g + b4 * c4.g;
        b = b1 * c1.b + b2 * c2.b + b3 * c3.b + b4 * c4.b;
        a = b1 * c1.a + b2 * c2.a + b3 * c3.a + b4 * c4.a;
    }
    // The filter can overshoot: values are clamped to a byte.
    static uint8_t Byte(double v) { return uint8_t(std::clamp(v + 0.5, 0.0, 255.0)); }
    void to_pix(agg::rgba8& c) const
    {
        if (a > 0) {
            c.r = Byte(r / a);
            c.g = Byte(g / a);
            c.b = Byte(b / a);
        } else
            c.r = c.g = c.b = 0;
        c.a = Byte(a);
    }
};

struct SBlurState {
    std::vector<uint32_t> stack; // packed pixels
    agg::recursive_blur<agg::rgba8, SAlphaWeightedCalc> recursive;
};

SBlurState& BlurState()
{
    static SBlurState* state = new SBlurState;
    return *state;
}

struct SSums {
    uint32_t b = 0, g = 0, r = 0, a = 0;
    void Add(const uint8_t* p, uint32_t weight)
    {
        const uint32_t wa = p[3] * weight;
        b += p[0] * wa, g += p[1] * wa, r += p[2] * wa, a += wa;
    }
    void Add(const SSums& o) { b += o.b, g += o.g, r += o.r, a += o.a; }
    void Sub(const SSums& o) { b -= o.b, g -= o.g, r -= o.r, a -= o.a; }
};

inline const uint8_t* Bytes(const uint32_t& packed)
{
    return reinterpret_cast<const uint8_t*>(&packed);
}

} // namespace

void StackBlurPass(uint8_t* first, uint32_t count, uint32_t lines, ptrdiff_t pixelStep, ptrdiff_t lineStep,
                   uint32_t radius)
{
    if (radius == 0 || count == 0)
        return;
    const uint32_t r = std::min(radius, 254u);
    const uint32_t div = 2 * r + 1;
    const uint32_t area = (r + 1) * (r + 1);
    std::vector<uint32_t>& stack = BlurState().stack;
    if (stack.size() < div)
        stack.resize(div);
    for (uint32_t line = 0; line < lines; ++line) {
        uint8_t* base = first + ptrdiff_t(line) * lineStep;
        const auto at = [base, pixelStep](uint32_t i) { return base + ptrdiff_t(i) * pixelStep; };
        const auto load = [](const uint8_t* p) {
            uint32_t v;
            std::memcpy(&v, p, 4);
            return v;
        };
        SSums sum, in, out;
        for (uint32_t i = 0; i <= r; ++i) {
            stack[i] = load(at(0));
            sum.Add(Bytes(stack[i]), i + 1);
            out.Add(Bytes(stack[i]), 1);
        }
        uint32_t read = 0;
        for (uint32_t i = 1; i <= r; ++i) {
            if (i <= count - 1)
                ++read;
            stack[i + r] = load(at(read));
            sum.Add(Bytes(stack[i + r]), r + 1 - i);
            in.Add(Bytes(stack[i + r]), 1);
        }
        read = std::min(r, count - 1);
        uint32_t sp = r;
        for (uint32_t x = 0; x < count; ++x) {
            uint8_t* p = at(x);
            if (sum.a != 0) {
                p[0] = uint8_t(sum.b / sum.a);
                p[1] = uint8_t(sum.g / sum.a);
                p[2] = uint8_t(sum.r / sum.a);
            } else
                p[0] = p[1] = p[2] = 0;
            p[3] = uint8_t(sum.a / area);

            sum.Sub(out);
            const uint32_t start = (sp + div - r) % div;
            SSums leaving;
            leaving.Add(Bytes(stack[start]), 1);
            out.Sub(leaving);
            if (read < count - 1)
                ++read;
            stack[start] = load(at(read));
            in.Add(Bytes(stack[start]), 1);
            sum.Add(in);
            sp = (sp + 1) % div;
            SSums moving;
            moving.Add(Bytes(stack[sp]), 1);
            out.Add(moving);
            in.Sub(moving);
        }
    }
}

CBlurRenderer::CBlurRenderer(float radius, uint32_t flags)
    : m_Radius(radius)
{
    m_Flags = flags;
}

bool CBlurRenderer::Render(CFrameInterface& target)
{
    if (!(m_Radius > 0.0f))
        return true;
    SPixelView view;
    if (target.GetBitDepth() != 32 || !MakePixelView(target, view))
        return true;
    if (m_Flags & kRecursive) {
        agg::rendering_buffer buffer;
        view.Attach(buffer);
        agg::pixfmt_bgra32 format(buffer);
        SBlurState& state = BlurState();
        state.recursive.blur_x(format, double(m_Radius));
        state.recursive.blur_y(format, double(m_Radius));
        return true;
    }
    const uint32_t r = m_Radius + 0.5f >= 255.0f ? 254u : uint32_t(m_Radius + 0.5f);
    StackBlurPass(view.bits, view.width, view.height, 4, view.stride, r);
    StackBlurPass(view.bits, view.height, view.width, view.stride, 4, r);
    return true;
}
