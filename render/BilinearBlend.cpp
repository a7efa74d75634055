#include "render/BilinearBlend.h"

#include "render/BilinearBlend_SSE2.h"
#include "render/PixelBlenders.h"

#include <agg_image_filters.h>
#include <agg_renderer_scanline.h>
#include <agg_span_interpolator_linear.h>

namespace {

using Interpolator = agg::span_interpolator_linear<agg::trans_affine>;

constexpr int kShift = agg::image_subpixel_shift;
constexpr int kOne = agg::image_subpixel_scale;
constexpr int kMask = agg::image_subpixel_mask;
constexpr double kStepScale = double(int(Interpolator::subpixel_scale));

// Taps partly outside the image: those inside weigh as usual, the others
// add nothing (transparent background). Returns the sample's alpha.
uint32_t SampleEdge(const SPixelView& source, int xl, int yl, uint32_t fx, uint32_t fy, uint8_t out[4])
{
    const int maxX = int(source.width) - 1, maxY = int(source.height) - 1;
    if (xl < -1 || yl < -1 || xl > maxX || yl > maxY)
        return 0;
    const uint32_t weights[4] = {(kOne - fx) * (kOne - fy), fx * (kOne - fy), (kOne - fx) * fy, fx * fy};
    uint32_t sum[4] = {0, 0, 0, 0};
    for (int tap = 0; tap < 4; ++tap) {
        const int x = xl + (tap & 1), y = yl + (tap >> 1);
        if (x < 0 || y < 0 || x > maxX || y > maxY)
            continue;
        const uint8_t* p = source.Row(uint32_t(y)) + ptrdiff_t(x) * 4;
        for (int c = 0; c < 4; ++c)
            sum[c] += weights[tap] * p[c];
    }
    for (int c = 0; c < 4; ++c)
        out[c] = uint8_t(sum[c] >> (2 * kShift));
    return out[3];
}

// All four taps inside: p is the upper left tap. Returns the alpha.
inline uint32_t SampleInside(const uint8_t* p, ptrdiff_t stride, uint32_t fx, uint32_t fy, uint8_t out[4])
{
    const uint8_t* q = p + stride;
    if ((p[3] | p[7] | q[3] | q[7]) == 0)
        return 0;
    const uint32_t w00 = (kOne - fx) * (kOne - fy), w01 = fx * (kOne - fy), w10 = (kOne - fx) * fy, w11 = fx * fy;
    for (int c = 0; c < 4; ++c)
        out[c] = uint8_t((w00 * p[c] + w01 * p[c + 4] + w10 * q[c] + w11 * q[c + 4]) >> (2 * kShift));
    return out[3];
}

// The renderer concept of agg::render_scanlines: one call per scanline.
template <class Rule, EBilinearKernel Kernel>
class CDirectBilinear {
public:
    explicit CDirectBilinear(const SBilinearBlit& blit)
        : m_Blit(blit)
        , m_Inverse(blit.inverse)
        , m_MaxX(int(blit.source.width) - 1)
        , m_MaxY(int(blit.source.height) - 1)
    {
        for (int i = 0; i < 4; ++i)
            m_Tint[i] = uint8_t(blit.tint >> (8 * i));
    }

    void prepare() {}

    void render(const agg::scanline_u8& scanline)
    {
        const int y = scanline.y();
        const agg::rect_i& clip = m_Blit.clip;
        if (y < clip.y1 || y > clip.y2)
            return;
        uint8_t* row = m_Blit.target.Row(uint32_t(y));
        unsigned spans = scanline.num_spans();
        for (agg::scanline_u8::const_iterator span = scanline.begin();; ++span) {
            Span(row, span->x, y, span->len, span->covers);
            if (--spans == 0)
                break;
        }
    }

private:
    void Span(uint8_t* row, int x, int y, int len, const uint8_t* covers)
    {
        // Interpolator::begin, kept in locals: the row stores below go
        // through bytes and would otherwise reload the stepping state.
        double tx = x + 0.5, ty = y + 0.5;
        m_Inverse.transform(&tx, &ty);
        const int x1 = agg::iround(tx * kStepScale), y1 = agg::iround(ty * kStepScale);
        tx = x + 0.5 + len;
        ty = y + 0.5;
        m_Inverse.transform(&tx, &ty);
        agg::dda2_line_interpolator stepX(x1, agg::iround(tx * kStepScale), len);
        agg::dda2_line_interpolator stepY(y1, agg::iround(ty * kStepScale), len);

        const agg::rect_i& clip = m_Blit.clip;
        if (x < clip.x1) {
            int skip = clip.x1 - x;
            len -= skip;
            if (len <= 0)
                return;
            covers += skip;
            x = clip.x1;
            for (; skip; --skip) {
                ++stepX;
                ++stepY;
            }
        }
        if (x + len > clip.x2) {
            len = clip.x2 - x + 1;
            if (len <= 0)
                return;
        }
        const SPixelView source = m_Blit.source;
        const unsigned maxX = unsigned(m_MaxX), maxY = unsigned(m_MaxY);
        uint8_t* d = row + ptrdiff_t(x) * 4;
        uint8_t s[4];
        for (; len; --len, d += 4, ++covers, ++stepX, ++stepY) {
            const int xh = stepX.y() - kOne / 2, yh = stepY.y() - kOne / 2;
            const int xl = xh >> kShift, yl = yh >> kShift;
            const uint32_t fx = uint32_t(xh & kMask), fy = uint32_t(yh & kMask);
            uint32_t alpha;
            if (unsigned(xl) < maxX && unsigned(yl) < maxY) {
                const uint8_t* p = source.bits + ptrdiff_t(yl) * source.stride + ptrdiff_t(xl) * 4;
                if constexpr (Kernel == EBilinearKernel::Sse2)
                    alpha = SampleInsideSse2(p, source.stride, fx, fy, s);
                else
                    alpha = SampleInside(p, source.stride, fx, fy, s);
            } else
                alpha = SampleEdge(source, xl, yl, fx, fy, s);
            if (alpha != 0)
                Rule::Pixel(d, s, m_Tint, *covers);
        }
    }

    const SBilinearBlit& m_Blit;
    agg::trans_affine m_Inverse;
    int m_MaxX, m_MaxY;
    uint8_t m_Tint[4];
};

template <class Rule>
void Run(EBilinearKernel kernel, const SBilinearBlit& blit, BlitRasteriser& rasteriser, agg::scanline_u8& scanline)
{
    if (kernel == EBilinearKernel::Sse2) {
        CDirectBilinear<Rule, EBilinearKernel::Sse2> renderer(blit);
        agg::render_scanlines(rasteriser, scanline, renderer);
    } else {
        CDirectBilinear<Rule, EBilinearKernel::Plain> renderer(blit);
        agg::render_scanlines(rasteriser, scanline, renderer);
    }
}

} // namespace

void RenderBilinear(EBilinearRule rule, EBilinearKernel kernel, const SBilinearBlit& blit, BlitRasteriser& rasteriser,
                    agg::scanline_u8& scanline)
{
    switch (rule) {
    case EBilinearRule::Plain:
        return Run<blend::Plain>(kernel, blit, rasteriser, scanline);
    case EBilinearRule::Tinted:
        return Run<blend::Tinted>(kernel, blit, rasteriser, scanline);
    case EBilinearRule::Additive:
        return Run<blend::Additive>(kernel, blit, rasteriser, scanline);
    case EBilinearRule::TintedOverAlpha:
        return Run<blend::TintedOverAlpha>(kernel, blit, rasteriser, scanline);
    case EBilinearRule::AdditiveOverAlpha:
        return Run<blend::AdditiveOverAlpha>(kernel, blit, rasteriser, scanline);
    }
}
