// The best-palette quantiser and the lightness remap of CPalette.
#include "blit/CPalette.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr uint32_t kSide = 64;

struct SStats {
    uint64_t n = 0;
    std::array<uint64_t, 3> s{};
    uint64_t q = 0;

    SStats& operator+=(const SStats& o)
    {
        n += o.n;
        q += o.q;
        for (uint32_t a = 0; a < 3; ++a)
            s[a] += o.s[a];
        return *this;
    }
    SStats operator-(const SStats& o) const
    {
        SStats r = *this;
        r.n -= o.n;
        r.q -= o.q;
        for (uint32_t a = 0; a < 3; ++a)
            r.s[a] -= o.s[a];
        return r;
    }
    // q - |s|^2 / n, truncated to 32 bits.
    uint32_t Error() const
    {
        if (n == 0)
            return 0;
        const double s2 = double(s[0]) * double(s[0]) + double(s[1]) * double(s[1]) + double(s[2]) * double(s[2]);
        const double e = double(q) - s2 / double(n);
        return e <= 0 ? 0 : uint32_t(uint64_t(e));
    }
};

struct SBox {
    std::array<uint32_t, 3> lo{};
    std::array<uint32_t, 3> hi{}; // inclusive
    SStats stats;
    uint32_t key = 0;

    bool IsSingleCell() const { return lo == hi; }
};

uint32_t Cell(uint32_t c0, uint32_t c1, uint32_t c2)
{
    return c0 * kSide * kSide + c1 * kSide + c2;
}

// Stats of each plane of the box across axis a (index: coordinate - lo).
std::vector<SStats> PlaneStats(const uint32_t* histogram, const SBox& box, uint32_t a)
{
    std::vector<SStats> planes(box.hi[a] - box.lo[a] + 1);
    for (uint32_t c0 = box.lo[0]; c0 <= box.hi[0]; ++c0)
        for (uint32_t c1 = box.lo[1]; c1 <= box.hi[1]; ++c1)
            for (uint32_t c2 = box.lo[2]; c2 <= box.hi[2]; ++c2) {
                const uint64_t count = histogram[Cell(c0, c1, c2)];
                if (count == 0)
                    continue;
                const uint32_t c[3] = {c0, c1, c2};
                SStats& p = planes[c[a] - box.lo[a]];
                p.n += count;
                for (uint32_t k = 0; k < 3; ++k)
                    p.s[k] += count * c[k];
                p.q += count * (c0 * c0 + c1 * c1 + c2 * c2);
            }
    return planes;
}

SStats BoxStats(const uint32_t* histogram, const SBox& box)
{
    SStats total;
    for (const SStats& p : PlaneStats(histogram, box, 0))
        total += p;
    return total;
}

// Moves each bound past the empty planes at its side.
void Shrink(const uint32_t* histogram, SBox& box)
{
    for (uint32_t a = 0; a < 3; ++a) {
        const std::vector<SStats> planes = PlaneStats(histogram, box, a);
        uint32_t first = 0, last = uint32_t(planes.size()) - 1;
        while (first < last && planes[first].n == 0)
            ++first;
        while (last > first && planes[last].n == 0)
            --last;
        box.hi[a] = box.lo[a] + last;
        box.lo[a] += first;
    }
}

// A binary max-heap of box numbers on the boxes' keys, stored from slot 1.
class CBoxHeap {
public:
    explicit CBoxHeap(const std::vector<SBox>& boxes)
        : m_Boxes(boxes)
        , m_Slots(1)
    {
    }
    bool Empty() const { return m_Slots.size() <= 1; }
    uint32_t Top() const { return m_Slots[1]; }
    void Push(uint32_t box)
    {
        m_Slots.push_back(box);
        Rise(m_Slots.size() - 1);
    }
    void ReplaceTop(uint32_t box)
    {
        m_Slots[1] = box;
        Sink(1);
    }
    void SinkTop() { Sink(1); }
    void PopTop()
    {
        m_Slots[1] = m_Slots.back();
        m_Slots.pop_back();
        if (!Empty())
            Sink(1);
    }

private:
    uint32_t Key(size_t slot) const { return m_Boxes[m_Slots[slot]].key; }
    void Sink(size_t slot)
    {
        const size_t count = m_Slots.size() - 1;
        while (2 * slot <= count) {
            size_t child = 2 * slot;
            if (child + 1 <= count && Key(child + 1) > Key(child))
                ++child;
            if (Key(slot) >= Key(child))
                break;
            std::swap(m_Slots[slot], m_Slots[child]);
            slot = child;
        }
    }
    void Rise(size_t slot)
    {
        while (slot > 1 && Key(slot / 2) < Key(slot)) {
            std::swap(m_Slots[slot], m_Slots[slot / 2]);
            slot /= 2;
        }
    }

    const std::vector<SBox>& m_Boxes;
    std::vector<uint32_t> m_Slots;
};

// Splits box at the cut of smallest summed error: lower part in place,
// upper part returned.
SBox Split(const uint32_t* histogram, SBox& box)
{
    uint64_t bestCost = UINT64_MAX;
    uint32_t bestAxis = 0, bestCut = box.lo[0];
    SStats bestLower;
    for (uint32_t a = 0; a < 3; ++a) {
        const std::vector<SStats> planes = PlaneStats(histogram, box, a);
        SStats lower;
        uint64_t axisCost = UINT64_MAX;
        uint32_t axisCut = 0;
        SStats axisLower;
        for (uint32_t t = box.lo[a]; t < box.hi[a]; ++t) {
            lower += planes[t - box.lo[a]];
            const uint64_t cost = uint64_t(lower.Error()) + (box.stats - lower).Error();
            if (cost < axisCost) {
                axisCost = cost;
                axisCut = t;
                axisLower = lower;
            }
        }
        if (axisCost < bestCost) {
            bestCost = axisCost;
            bestAxis = a;
            bestCut = axisCut;
            bestLower = axisLower;
        }
    }
    SBox upper = box;
    upper.lo[bestAxis] = bestCut + 1;
    box.hi[bestAxis] = bestCut;
    Shrink(histogram, box);
    Shrink(histogram, upper);
    const SStats total = box.stats;
    box.stats = BoxStats(histogram, box);
    upper.stats = total - box.stats;
    box.key = box.stats.Error();
    upper.key = upper.stats.Error();
    return upper;
}

// The HLS model of the lightness remap, channels 0..1, hue in degrees.
void ToHls(double r, double g, double b, double& h, double& l, double& s)
{
    const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
    l = (mx + mn) / 2;
    if (mx == mn) {
        h = s = 0;
        return;
    }
    const double d = mx - mn;
    s = l <= 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
    if (r == mx)
        h = (g - b) / d;
    else if (g == mx)
        h = 2 + (b - r) / d;
    else
        h = 4 + (r - g) / d;
    h *= 60;
    if (h < 0)
        h += 360;
}

double HlsValue(double m1, double m2, double h)
{
    while (h < 0)
        h += 360;
    while (h > 360)
        h -= 360;
    if (h < 60)
        return m1 + (m2 - m1) * h / 60;
    if (h < 180)
        return m2;
    if (h < 240)
        return m1 + (m2 - m1) * (240 - h) / 60;
    return m1;
}

void FromHls(double h, double l, double s, double& r, double& g, double& b)
{
    if (s == 0) {
        r = g = b = l;
        return;
    }
    const double m2 = l <= 0.5 ? l * (1 + s) : l + s - l * s;
    const double m1 = 2 * l - m2;
    r = HlsValue(m1, m2, h + 120);
    g = HlsValue(m1, m2, h);
    b = HlsValue(m1, m2, h - 120);
}

uint8_t ChannelByte(double v)
{
    return uint8_t(std::trunc(std::clamp(v, 0.0, 1.0) * 255 + 0.5));
}

} // namespace

uint32_t CPalette::BuildBestPalette(const uint32_t* histogram, uint32_t first, uint32_t count)
{
    SetType(1);
    std::memset(m_Data.get(), 0, 768);
    std::memset(m_Data.get() + 255 * 3, 255, 3);
    if (first >= 256)
        return 0;
    count = std::min(count, 256 - first);
    SBox whole;
    whole.hi = {kSide - 1, kSide - 1, kSide - 1};
    whole.stats = BoxStats(histogram, whole);
    if (whole.stats.n == 0 || count == 0)
        return 0;
    Shrink(histogram, whole);
    whole.key = 1;

    std::vector<SBox> boxes;
    boxes.reserve(count);
    boxes.push_back(whole);
    CBoxHeap heap(boxes);
    if (!whole.IsSingleCell())
        heap.Push(0);
    while (boxes.size() < count && !heap.Empty()) {
        const uint32_t top = heap.Top();
        SBox upper = Split(histogram, boxes[top]);
        const bool lowerSingle = boxes[top].IsSingleCell(), upperSingle = upper.IsSingleCell();
        boxes.push_back(upper);
        const uint32_t upperIndex = uint32_t(boxes.size() - 1);
        if (lowerSingle && upperSingle) {
            heap.PopTop();
        } else if (lowerSingle) {
            heap.ReplaceTop(upperIndex);
        } else {
            heap.SinkTop();
            if (!upperSingle)
                heap.Push(upperIndex);
        }
    }
    for (uint32_t i = 0; i < boxes.size(); ++i) {
        const SStats& st = boxes[i].stats;
        for (uint32_t a = 0; a < 3; ++a)
            m_Data[(first + i) * 3 + a] = uint8_t((st.n / 2 + st.s[a] * 4) / st.n);
    }
    return 0;
}

void CPalette::BuildLightnessRemap(const CPalette& source, uint32_t factor, uint32_t first, uint32_t last,
                                   uint32_t searchFirst, uint32_t searchLast, const CPalette* target)
{
    SetType(2);
    for (uint32_t i = 0; i < 256; ++i)
        m_Data[i] = uint8_t(i);
    const CPalette& search = target ? *target : source;
    for (uint32_t i = first; i < last && i < 256; ++i) {
        if (factor == 128)
            continue;
        uint8_t r8, g8, b8;
        source.GetColor(i, r8, g8, b8);
        double h, l, s, r, g, b;
        ToHls(r8 / 255.0, g8 / 255.0, b8 / 255.0, h, l, s);
        FromHls(h, l * factor / 128.0, s, r, g, b);
        m_Data[i] = search.FindNearest(ChannelByte(r), ChannelByte(g), ChannelByte(b), searchFirst, searchLast);
    }
}
