// Whole-frame blits through the named blit types: every registered raw pair
// against a few-line reference, the pairs left unregistered, and clipping.
#include "images/CFrame.h"

#include "blit/BlitReport.h"
#include "blit/CBlitTrans.h"
#include "blit/CBlitTypeList.h"
#include "blit/ColorTables.h"
#include "blit/FrameBlit.h"
#include "blit/GamePalette.h"
#include "blit/KernelLookupTables.h"
#include "foundation/CRect.h"
#include "platform/Cpu.h"
#include "support/KernelSetGuard.h"
#include "support/PixelReference.h"

#include "support/RunLengthBlock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

using ref::Pixel;

constexpr uint32_t kDepths[] = {8, 16, 24, 32};
constexpr uint32_t kWidths[] = {1, 3, 4, 5, 15, 16, 17, 63, 64, 65};
constexpr float kOpacities[] = {1.0f, 0.999f, 0.5f, 0.2f, 0.0f};
constexpr uint8_t kEdgeAlphas[] = {0, 1, 3, 4, 5, 6, 8, 127, 128, 247, 248, 250, 251, 252, 253, 255};

// The tables the palette pairs read, random but fixed for the run.
struct STables {
    std::vector<uint8_t> palette = std::vector<uint8_t>(768);
    std::vector<uint8_t> blend8A = std::vector<uint8_t>(65536);
    std::vector<uint8_t> typeTable = std::vector<uint8_t>(65536);
    std::vector<uint8_t> inverse555 = std::vector<uint8_t>(32768);
};
STables g_Tables;

void Fill(CArrayPOD<uint8_t>& array, const std::vector<uint8_t>& bytes)
{
    array.Free();
    for (uint8_t b : bytes)
        array.Append(b);
}

uint16_t Load16(const Pixel& p)
{
    return uint16_t(p[0] | p[1] << 8);
}
Pixel From16(uint16_t v)
{
    return {uint8_t(v), uint8_t(v >> 8), 0, 0};
}
Pixel Widened(const Pixel& s, uint8_t alpha)
{
    Pixel p{0, 0, 0, alpha};
    Widen565(Load16(s), p.data());
    return p;
}
Pixel FromPalette(uint8_t index, uint8_t alpha)
{
    return {g_Tables.palette[3 * index], g_Tables.palette[3 * index + 1], g_Tables.palette[3 * index + 2], alpha};
}
// The nearest 5-bit level of a byte.
uint32_t Near31(uint32_t v)
{
    return (2 * v * 31 + 255) / 510;
}
uint16_t Pack(uint8_t r, uint8_t g, uint8_t b)
{
    return PackColor565(r, g, b);
}
uint16_t Over565(const Pixel& d, const Pixel& s)
{
    Pixel w = Widened(d, 0);
    const uint32_t a = (s[3] * 255 + 255) >> 8;
    for (int c = 0; c < 3; ++c)
        w[c] = uint8_t(ref::RoundUp(w[c], s[c], int(a)));
    return Pack(w[2], w[1], w[0]);
}

// What one routine does to one pixel: d the destination's bytes, s the
// source's, o the 0-255 opacity, opaque the float test, x the column in the
// row (the group blend depends on it), width the row's width.
struct SPixelContext {
    uint32_t o;
    bool opaque;
    uint32_t x;
    uint32_t width;
};
using Reference = Pixel (*)(const Pixel& d, const Pixel& s, const SPixelContext& c);

struct SRoutineCase {
    const char* name;
    int32_t typeIndex;
    uint32_t sourceDepth;
    uint32_t destinationDepth;
    Reference reference;
};

Pixel Copy(const Pixel&, const Pixel& s, const SPixelContext&)
{
    return s;
}
Pixel Over24(const Pixel& d, const Pixel& s, const SPixelContext& c)
{
    return ref::Over24(d, s, !c.opaque, c.o);
}
Pixel Over24Scaled(const Pixel& d, const Pixel& s, const SPixelContext& c)
{
    return c.opaque ? Pixel{s[0], s[1], s[2], 0} : ref::Over24(d, s, true, c.o);
}
Pixel Widen24(const Pixel&, const Pixel& s, const SPixelContext&)
{
    return Widened(s, 0);
}
Pixel Widen32(const Pixel&, const Pixel& s, const SPixelContext&)
{
    return Widened(s, 255);
}
Pixel Rgb24To32(const Pixel&, const Pixel& s, const SPixelContext&)
{
    return {s[0], s[1], s[2], 255};
}
Pixel Argb32To16(const Pixel& d, const Pixel& s, const SPixelContext&)
{
    return From16(Over565(d, s));
}
Pixel Group16(const Pixel& d, const Pixel& s, const SPixelContext& c)
{
    if (c.opaque)
        return s;
    const bool grouped = c.x < (c.width & ~3u);
    return From16(grouped ? ref::Rounded565(Load16(d), Load16(s), c.o) : ref::Blend565(Load16(d), Load16(s), c.o));
}

const SRoutineCase kRoutines[] = {
    // "Transparent Mask"
    {"Trans8To8", 0, 8, 8, [](const Pixel& d, const Pixel& s, const SPixelContext&) { return s[0] ? s : d; }},
    {"Trans8To16", 0, 8, 16,
     [](const Pixel& d, const Pixel& s, const SPixelContext&) {
         return s[0] ? From16(GetPalette565Table()[s[0]]) : d;
     }},
    {"Trans8To24", 0, 8, 24,
     [](const Pixel& d, const Pixel& s, const SPixelContext&) { return s[0] ? FromPalette(s[0], 0) : d; }},
    {"Trans8To32", 0, 8, 32,
     [](const Pixel& d, const Pixel& s, const SPixelContext&) { return s[0] ? FromPalette(s[0], 255) : d; }},
    {"Trans16To16", 0, 16, 16, [](const Pixel& d, const Pixel& s, const SPixelContext&) { return Load16(s) ? s : d; }},
    {"Trans16To24", 0, 16, 24,
     [](const Pixel& d, const Pixel& s, const SPixelContext&) { return Load16(s) ? Widened(s, 0) : d; }},
    {"Trans16To32", 0, 16, 32, &Widen32},
    {"Trans24To24", 0, 24, 24, &Copy},
    {"Trans24To32", 0, 24, 32, &Rgb24To32},
    {"Trans32To16", 0, 32, 16, &Argb32To16},
    {"Trans32To24", 0, 32, 24, &Over24},
    {"Trans32To32", 0, 32, 32,
     [](const Pixel& d, const Pixel& s, const SPixelContext& c) {
         return ref::Mask(d, s, c.opaque ? s[3] : s[3] * c.o / 256);
     }},
    // "Blend Black Bias" (and "Blend Test Light", the same class)
    {"BlackBias8To8", 1, 8, 8,
     [](const Pixel& d, const Pixel& s, const SPixelContext&) {
         return Pixel{g_Tables.typeTable[s[0] * 256u + d[0]], 0, 0, 0};
     }},
    {"BlackBias16To16", 1, 16, 16, &Group16},
    {"BlackBias32To16", 1, 32, 16, &Argb32To16},
    {"BlackBias24To24", 1, 24, 24, &Copy},
    {"BlackBias32To24", 1, 32, 24, &Over24},
    {"BlackBias32To32", 1, 32, 32, &Copy},
    {"TestLight16To16", 2, 16, 16, &Group16},
    {"TestLight32To32", 2, 32, 32, &Copy},
    // "Normal"
    {"Normal8To8", 4, 8, 8,
     [](const Pixel& d, const Pixel& s, const SPixelContext& c) {
         return c.opaque ? s : Pixel{g_Tables.blend8A[d[0] * 256u + s[0]], 0, 0, 0};
     }},
    {"Normal8To16", 4, 8, 16,
     [](const Pixel&, const Pixel& s, const SPixelContext&) { return From16(GetPalette565Table()[s[0]]); }},
    {"Normal8To24", 4, 8, 24, [](const Pixel&, const Pixel& s, const SPixelContext&) { return FromPalette(s[0], 0); }},
    {"Normal8To32", 4, 8, 32,
     [](const Pixel&, const Pixel& s, const SPixelContext&) { return FromPalette(s[0], 255); }},
    {"Normal16To8", 4, 16, 8,
     [](const Pixel&, const Pixel& s, const SPixelContext&) {
         return Pixel{InversePalette565[Load16(s)], 0, 0, 0};
     }},
    {"Normal16To16", 4, 16, 16,
     [](const Pixel& d, const Pixel& s, const SPixelContext& c) {
         return c.opaque ? s : From16(ref::Blend565(Load16(d), Load16(s), c.o));
     }},
    {"Normal16To24", 4, 16, 24, &Widen24},
    {"Normal16To32", 4, 16, 32, &Widen32},
    {"Normal24To8", 4, 24, 8,
     [](const Pixel&, const Pixel& s, const SPixelContext&) {
         return Pixel{g_Tables.inverse555[Near31(s[2]) << 10 | Near31(s[1]) << 5 | Near31(s[0])], 0, 0, 0};
     }},
    {"Normal24To16", 4, 24, 16,
     [](const Pixel&, const Pixel& s, const SPixelContext&) { return From16(Pack(s[2], s[1], s[0])); }},
    {"Normal24To24", 4, 24, 24, &Copy},
    {"Normal24To32", 4, 24, 32, &Rgb24To32},
    {"Normal32To16", 4, 32, 16,
     [](const Pixel&, const Pixel& s, const SPixelContext&) {
         return From16(uint16_t((s[2] >> 3) << 11 | (s[1] >> 2) << 5 | s[0] >> 3));
     }},
    {"Normal32To24", 4, 32, 24, &Over24Scaled},
    {"Normal32To32", 4, 32, 32, &Copy},
};

class FrameBlitTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        RegisterImagesClasses();
        InitBlitTables();
        std::mt19937 random(7);
        for (std::vector<uint8_t>* table :
             {&g_Tables.palette, &g_Tables.blend8A, &g_Tables.typeTable, &g_Tables.inverse555})
            for (uint8_t& b : *table)
                b = uint8_t(random());
        SetGamePalette(g_Tables.palette.data());
    }
    static void TearDownTestSuite() { ClearGamePalette(); }

    void SetUp() override
    {
        Fill(BlendTable8A, g_Tables.blend8A);
        Fill(InversePalette555, g_Tables.inverse555);
        for (int32_t index : {1, 2})
            Fill(*CBlitTypeList::SGetInstance().GetBlitType(index)->GetLookupTable(), g_Tables.typeTable);
    }
    void TearDown() override
    {
        BlendTable8A.Free();
        InversePalette555.Free();
        for (int32_t index : {0, 1, 2, 4}) {
            CBlitType* type = CBlitTypeList::SGetInstance().GetBlitType(index);
            type->GetLookupTable()->Free();
            type->SetOpacity(1.0f);
        }
    }
};

// Random pixels whose alpha bytes (32-bit) and zero pixels (8 and 16-bit)
// come often, so that every skip and copy threshold is met.
std::vector<uint8_t> RandomBytes(size_t count, uint32_t depth, std::mt19937& random)
{
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = uint8_t(random());
    const uint32_t size = depth / 8;
    for (size_t i = 0; i + size <= count; i += size) {
        if (depth == 32 && random() % 2)
            bytes[i + 3] = kEdgeAlphas[random() % std::size(kEdgeAlphas)];
        if ((depth == 8 || depth == 16) && random() % 4 == 0)
            std::memset(&bytes[i], 0, size);
    }
    return bytes;
}

class RegisteredRoutine : public FrameBlitTest, public testing::WithParamInterface<SRoutineCase> {};

// Source and destination rows start at every byte misalignment and lie
// pitch apart inside larger buffers; nothing outside the rectangle changes.
TEST_P(RegisteredRoutine, DrawsItsFormulaAtEveryWidthAlignmentAndOpacity)
{
    const SRoutineCase c = GetParam();
    CBlitType& type = *CBlitTypeList::SGetInstance().GetBlitType(c.typeIndex);
    const uint32_t ss = c.sourceDepth / 8, ds = c.destinationDepth / 8;
    std::mt19937 random(11);
    for (KernelForce force : {KernelForce::Plain, KernelForce::Sse2}) {
        if (force == KernelForce::Sse2 && !plat::HasSse2())
            continue;
        CKernelSetGuard guard(force);
        for (uint32_t width : kWidths)
            for (uint32_t shift = 0; shift < 4; ++shift)
                for (float opacity : kOpacities) {
                    type.SetOpacity(opacity);
                    // Source: width + 2 columns, pitch width + 3; drawn from (2, 1).
                    const uint32_t sourcePitch = width + 3, destinationPitch = width + 5;
                    std::vector<uint8_t> sourceBytes
                        = RandomBytes(shift + size_t(sourcePitch) * 3 * ss, c.sourceDepth, random);
                    std::vector<uint8_t> before
                        = RandomBytes(shift + size_t(destinationPitch) * 4 * ds, c.destinationDepth, random);
                    std::vector<uint8_t> destinationBytes = before;
                    auto source
                        = CFrame::MakeBorrowed(sourceBytes.data() + shift, width + 2, 3, c.sourceDepth, sourcePitch);
                    auto destination = CFrame::MakeBorrowed(destinationBytes.data() + shift, width + 1, 4,
                                                            c.destinationDepth, destinationPitch);
                    ASSERT_TRUE(source && destination);
                    const CRect s{2, 1, int32_t(width) + 2, 3}, d{1, 2, int32_t(width) + 1, 4};
                    destination->BlitToFrame(*source, s, d, type);

                    std::vector<uint8_t> expected = before;
                    const SPixelContext context{type.GetOpacity255(), IsOpaque(type), 0, width};
                    for (uint32_t y = 0; y < 2; ++y)
                        for (uint32_t x = 0; x < width; ++x) {
                            Pixel sp{}, dp{};
                            const size_t si = shift + (size_t(y + 1) * sourcePitch + x + 2) * ss;
                            const size_t di = shift + (size_t(y + 2) * destinationPitch + x + 1) * ds;
                            std::memcpy(sp.data(), &sourceBytes[si], ss);
                            std::memcpy(dp.data(), &before[di], ds);
                            SPixelContext at = context;
                            at.x = x;
                            const Pixel result = c.reference(dp, sp, at);
                            std::memcpy(&expected[di], result.data(), ds);
                        }
                    ASSERT_EQ(destinationBytes, expected)
                        << "width " << width << " shift " << shift << " opacity " << opacity
                        << (force == KernelForce::Plain ? " plain" : " SSE2");
                }
    }
}

INSTANTIATE_TEST_SUITE_P(All, RegisteredRoutine, testing::ValuesIn(kRoutines),
                         [](const testing::TestParamInfo<SRoutineCase>& param) {
                             return std::string(param.param.name);
                         });

// Random packets covering width pixels of P-byte values: skips, literals
// and repeats of every length (empty repeats included); alpha, when given,
// gets one byte per value.
void RandomRunLengthRow(std::mt19937& random, uint32_t width, uint32_t p, std::vector<uint8_t>& row,
                        std::vector<uint8_t>* alpha)
{
    const auto value = [&] {
        for (uint32_t i = 0; i < p; ++i)
            row.push_back(uint8_t(random()));
        if (alpha)
            alpha->push_back(random() % 2 ? kEdgeAlphas[random() % std::size(kEdgeAlphas)] : uint8_t(random()));
    };
    for (uint32_t x = 0; x < width;) {
        const uint32_t room = width - x;
        const uint32_t kind = random() % 4;
        if (kind == 0) {
            const uint32_t n = 1 + random() % std::min(room, 127u);
            row.push_back(uint8_t(0x80 | n));
            x += n;
        } else if (kind == 1) {
            const uint32_t n = random() % (std::min(room, 63u) + 1);
            row.push_back(uint8_t(n));
            value();
            x += n;
        } else {
            const uint32_t n = 1 + random() % std::min(room, 63u);
            row.push_back(uint8_t(0x40 | n));
            for (uint32_t i = 0; i < n; ++i)
                value();
            x += n;
        }
    }
}

// A run-length frame of random planes: five bands (rle 2) or two (rle 4).
std::unique_ptr<CFrame> RandomRunLengthFrame(uint32_t depth, uint32_t rle, uint32_t width, uint32_t height,
                                             std::mt19937& random)
{
    auto frame = CFrame::MakeOwned(width, height, depth);
    const auto plane = [&](std::vector<std::vector<uint8_t>>* alpha) {
        std::vector<std::vector<uint8_t>> rows(height);
        if (alpha)
            alpha->assign(height, {});
        for (uint32_t y = 0; y < height; ++y)
            RandomRunLengthRow(random, width, depth / 8, rows[y], alpha ? &(*alpha)[y] : nullptr);
        return Block(rows);
    };
    SRunLengthBlock main = plane(nullptr);
    std::array<SRunLengthBlock, 4> extra;
    if (rle == kFrameFiveBands) {
        for (SRunLengthBlock& band : extra)
            band = plane(nullptr);
    } else {
        std::vector<std::vector<uint8_t>> alpha;
        extra[3] = plane(&alpha);
        extra[2] = Block(alpha);
    }
    EXPECT_TRUE(frame->TakeRunLengthForm(rle, std::move(main), std::move(extra)));
    return frame;
}

// Every routine of every named type, run-length ones included, taken from
// the registry so that none is left out: the plain and SSE2 kernel sets
// draw the same bytes at every width, misalignment, opacity and clip, and
// each routine draws something.
TEST_F(FrameBlitTest, EveryRegisteredRoutineDrawsTheSameBytesWithEitherKernelSet)
{
    if (!plat::HasSse2())
        GTEST_SKIP() << "no SSE2";
    CBlitTypeList& list = CBlitTypeList::SGetInstance();
    Fill(BlendTable8B, g_Tables.blend8A);
    for (int32_t index = 0; index < list.GetCount(); ++index)
        if (list.GetBlitType(index)->GetLookupTable()->GetCount() == 0)
            Fill(*list.GetBlitType(index)->GetLookupTable(), g_Tables.typeTable);
    std::mt19937 random(17);
    uint32_t routines = 0;
    for (int32_t index = 0; index < list.GetCount(); ++index) {
        CBlitType& type = *list.GetBlitType(index);
        for (const CBlitFuncInfo& info : type.GetBlitFunctions()) {
            if (info.destinationRle != 0)
                continue;
            ++routines;
            const std::string name = std::string(list.GetItemName(index)) + " " + std::to_string(info.sourceDepth)
                + (info.sourceRle ? " run-length" : "") + " into " + std::to_string(info.destinationDepth);
            const uint32_t ss = info.sourceDepth / 8, ds = info.destinationDepth / 8;
            bool drew = false;
            for (uint32_t width : kWidths)
                for (uint32_t shift = 0; shift < 4; ++shift)
                    for (float opacity : kOpacities) {
                        // The source is width + 2 wide; odd shifts draw all of
                        // it (whole rows), even ones cut a column off each side.
                        const uint32_t sw = width + 2, dw = sw + 4, pitch = sw + 1;
                        std::vector<uint8_t> sourceBytes = RandomBytes(shift + size_t(pitch) * 3 * ss, info.sourceDepth, random);
                        std::unique_ptr<CFrame> source
                            = info.sourceRle
                            ? RandomRunLengthFrame(info.sourceDepth, info.sourceRle, sw, 3, random)
                            : CFrame::MakeBorrowed(sourceBytes.data() + shift, sw, 3, info.sourceDepth, pitch);
                        ASSERT_TRUE(source);
                        const CRect s = shift % 2 ? CRect{0, 0, int32_t(sw), 3} : CRect{1, 0, int32_t(width) + 1, 3};
                        const CRect d{2, 1, 2 + s.right - s.left, 4};
                        const std::vector<uint8_t> before
                            = RandomBytes(shift + size_t(dw) * 5 * ds, info.destinationDepth, random);
                        std::vector<uint8_t> drawn[2] = {before, before};
                        for (int set = 0; set < 2; ++set) {
                            const CKernelSetGuard guard(set == 0 ? KernelForce::Plain : KernelForce::Sse2);
                            auto destination
                                = CFrame::MakeBorrowed(drawn[set].data() + shift, dw, 5, info.destinationDepth, dw);
                            ASSERT_TRUE(destination);
                            type.SetOpacity(opacity);
                            info.function(*source, s, *destination, d, type);
                        }
                        ASSERT_EQ(drawn[1], drawn[0]) << name << ": width " << width << " shift " << shift
                                                      << " opacity " << opacity;
                        drew = drew || drawn[0] != before;
                    }
            EXPECT_TRUE(drew) << name << " never drew";
        }
        type.SetOpacity(1.0f);
    }
    EXPECT_GT(routines, 0u);
    BlendTable8B.Free();
    for (int32_t index = 0; index < list.GetCount(); ++index)
        list.GetBlitType(index)->GetLookupTable()->Free();
}

// The raw pairs each named type draws; every other raw pair draws nothing
// and is reported once.
TEST_F(FrameBlitTest, UnregisteredPairsDrawNothingAndAreReportedOnce)
{
    std::set<std::tuple<int32_t, uint32_t, uint32_t>> registered;
    for (const SRoutineCase& c : kRoutines)
        registered.insert({c.typeIndex, c.sourceDepth, c.destinationDepth});
    for (auto [from, to] : {std::pair{1, 2}})
        for (const SRoutineCase& c : kRoutines)
            if (c.typeIndex == from)
                registered.insert({to, c.sourceDepth, c.destinationDepth});
    std::mt19937 random(5);
    for (int32_t index : {0, 1, 2, 4})
        for (uint32_t sd : kDepths)
            for (uint32_t dd : kDepths) {
                CBlitType& type = *CBlitTypeList::SGetInstance().GetBlitType(index);
                auto source = CFrame::MakeOwned(3, 2, sd);
                auto destination = CFrame::MakeOwned(3, 2, dd);
                const bool expected = registered.contains({index, sd, dd});
                EXPECT_EQ(type.GetBlitFunction(*source, *destination) != nullptr, expected)
                    << "type " << index << ", " << sd << " into " << dd;
                if (expected)
                    continue;
                for (uint32_t y = 0; y < 2; ++y)
                    for (uint32_t x = 0; x < 3 * sd / 8; ++x)
                        source->Row(y)[x] = uint8_t(random() | 1);
                const uint32_t reports = MissingRoutineReports();
                EXPECT_TRUE(destination->Blit(*source, {0, 0, 3, 2}, {0, 0, 3, 2}, type));
                destination->Blit(*source, {0, 0, 3, 2}, {0, 0, 3, 2}, type);
                EXPECT_EQ(MissingRoutineReports(), reports + 1) << "type " << index << ", " << sd << " into " << dd;
                EXPECT_FALSE(destination->HasVisiblePixels());
                EXPECT_EQ(destination->GetRawPixel(1, 1), 0u);
            }
}

TEST_F(FrameBlitTest, TintedTypesTintAtOpacityOneAndBlendPlainlyOtherwise)
{
    CBlitTransBlendMultColor multiply;
    CBlitTransBlendAddColor add;
    for (CBlitTransTinted* type : {static_cast<CBlitTransTinted*>(&multiply), static_cast<CBlitTransTinted*>(&add)})
        type->SetTintColor(0xC080FF40);
    const Pixel under{10, 200, 90, 77}, over{200, 100, 250, 180};
    const auto draw = [&](CBlitType& type, float opacity) {
        auto source = CFrame::MakeOwned(1, 1, 32);
        auto destination = CFrame::MakeOwned(1, 1, 32);
        std::memcpy(source->Row(0), over.data(), 4);
        std::memcpy(destination->Row(0), under.data(), 4);
        type.SetOpacity(opacity);
        destination->Blit(*source, {0, 0, 1, 1}, {0, 0, 1, 1}, type);
        Pixel result;
        std::memcpy(result.data(), destination->Row(0), 4);
        return result;
    };
    EXPECT_EQ(draw(multiply, 1.0f), ref::Tinted(under, over, 0xC080FF40, false));
    EXPECT_EQ(draw(add, 1.0f), ref::Tinted(under, over, 0xC080FF40, true));
    EXPECT_EQ(draw(multiply, 0.5f), ref::Over32Scaled(under, over, 128));
    EXPECT_EQ(draw(add, 0.5f), draw(multiply, 0.5f));
}

TEST_F(FrameBlitTest, TestLightKeepsItsOwnOpacity)
{
    CBlitType& blackBias = *CBlitTypeList::SGetInstance().GetBlitType(1);
    CBlitType& testLight = *CBlitTypeList::SGetInstance().GetBlitType(2);
    blackBias.SetOpacity(0.6f);
    auto source = CFrame::MakeOwned(4, 1, 16);
    auto destination = CFrame::MakeOwned(4, 1, 16);
    for (uint32_t x = 0; x < 8; ++x)
        source->Row(0)[x] = uint8_t(0x35 + x);
    destination->Blit(*source, {0, 0, 4, 1}, {0, 0, 4, 1}, testLight);
    EXPECT_EQ(std::memcmp(destination->Row(0), source->Row(0), 8), 0);
}

// Pairs whose table was never built draw nothing (the black-bias 8-bit blend
// never falls back to reading a 768-byte palette as its 65536-byte table).
struct SMissingCase {
    const char* name;
    int32_t typeIndex;
    uint32_t sourceDepth;
    uint32_t destinationDepth;
    float opacity;
    MissingTable table;
};

class MissingTableBlit : public FrameBlitTest, public testing::WithParamInterface<SMissingCase> {};

TEST_P(MissingTableBlit, DrawsNothingAndSaysSo)
{
    const SMissingCase c = GetParam();
    TearDown();
    ClearGamePalette();
    ResetMissingTableReportsForTesting();
    CBlitType& type = *CBlitTypeList::SGetInstance().GetBlitType(c.typeIndex);
    type.SetOpacity(c.opacity);
    auto source = CFrame::MakeOwned(5, 2, c.sourceDepth);
    auto destination = CFrame::MakeOwned(5, 2, c.destinationDepth);
    source->FillBytes(0x5A);
    destination->Blit(*source, {0, 0, 5, 2}, {0, 0, 5, 2}, type);
    type.SetOpacity(1.0f);
    SetGamePalette(g_Tables.palette.data());
    EXPECT_EQ(destination->GetRawPixel(2, 1), 0u);
    EXPECT_EQ(MissingTableReports(c.table), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, MissingTableBlit,
    testing::Values(SMissingCase{"BlackBias8To8", 1, 8, 8, 1.0f, MissingTable::TypeLookupTable},
                    SMissingCase{"Normal8To8Translucent", 4, 8, 8, 0.5f, MissingTable::BlendTable8A},
                    SMissingCase{"Normal8To16", 4, 8, 16, 1.0f, MissingTable::Palette565},
                    SMissingCase{"Trans8To32", 0, 8, 32, 1.0f, MissingTable::Palette},
                    SMissingCase{"Normal16To8", 4, 16, 8, 1.0f, MissingTable::InversePalette565},
                    SMissingCase{"Normal24To8", 4, 24, 8, 1.0f, MissingTable::InversePalette555}),
    [](const testing::TestParamInfo<SMissingCase>& param) { return std::string(param.param.name); });

// Rectangles reaching past either frame: only the overlap is drawn, and the
// frames are exactly their pixels, so a stray read or write would trip the
// address checker.
struct SClipCase {
    const char* name;
    CRect s;
    CRect d;
    CRect drawnSource; // in source pixels; empty when nothing is drawn
    int32_t dx;        // destination pixel = source pixel + (dx, dy)
    int32_t dy;
};

class BlitClip : public FrameBlitTest, public testing::WithParamInterface<SClipCase> {};

TEST_P(BlitClip, DrawsOnlyTheOverlapOfBothFrames)
{
    const SClipCase c = GetParam();
    auto source = CFrame::MakeOwned(6, 5, 32);
    auto destination = CFrame::MakeOwned(8, 7, 32);
    std::mt19937 random(3);
    for (uint32_t y = 0; y < 5; ++y)
        for (uint32_t x = 0; x < 24; ++x)
            source->Row(y)[x] = uint8_t(random() | 0x80);
    destination->Blit(*source, c.s, c.d, GetNormalBlitType());
    for (int32_t y = 0; y < 7; ++y)
        for (int32_t x = 0; x < 8; ++x) {
            const int32_t sx = x - c.dx, sy = y - c.dy;
            const bool drawn = sx >= c.drawnSource.left && sx < c.drawnSource.right && sy >= c.drawnSource.top
                && sy < c.drawnSource.bottom;
            EXPECT_EQ(destination->GetRawPixel(x, y), drawn ? source->GetRawPixel(sx, sy) : 0u) << x << ", " << y;
        }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BlitClip,
    testing::Values(SClipCase{"Inside", {1, 1, 4, 3}, {2, 2, 5, 4}, {1, 1, 4, 3}, 1, 1},
                    SClipCase{"SourcePastItsRightAndBottom", {3, 2, 9, 9}, {0, 0, 6, 7}, {3, 2, 6, 5}, -3, -2},
                    SClipCase{"SourceBeforeItsLeftAndTop", {-2, -3, 3, 2}, {0, 0, 5, 5}, {0, 0, 3, 2}, 2, 3},
                    SClipCase{"DestinationPastBothEdges", {0, 0, 6, 5}, {5, 4, 11, 9}, {0, 0, 3, 3}, 5, 4},
                    SClipCase{"DestinationBeforeBothEdges", {0, 0, 6, 5}, {-4, -2, 2, 3}, {4, 2, 6, 5}, -4, -2},
                    SClipCase{"PastBothFramesAtOnce", {-1, 2, 7, 8}, {3, -1, 11, 5}, {0, 3, 5, 5}, 4, -3},
                    SClipCase{"ZeroSize", {1, 1, 1, 1}, {2, 2, 2, 2}, {}, 0, 0},
                    SClipCase{"Inverted", {4, 3, 1, 1}, {5, 4, 2, 2}, {}, 0, 0},
                    SClipCase{"SourceWhollyOutside", {7, 0, 10, 3}, {0, 0, 3, 3}, {}, 0, 0},
                    SClipCase{"DestinationWhollyOutside", {0, 0, 3, 3}, {8, 0, 11, 3}, {}, 0, 0}),
    [](const testing::TestParamInfo<SClipCase>& param) { return std::string(param.param.name); });

// Routines called directly (as a wrapping blit does, past the frame's own
// clipping) refuse rectangles that do not fit instead of reading outside.
TEST_F(FrameBlitTest, RoutinesRefuseRectanglesOutsideTheirFrames)
{
    auto source = CFrame::MakeOwned(4, 4, 32);
    auto destination = CFrame::MakeOwned(4, 4, 32);
    source->FillBytes(0xFF);
    CBlitType& normal = GetNormalBlitType();
    BlitFunction routine = normal.GetBlitFunction(*source, *destination);
    ASSERT_NE(routine, nullptr);
    struct SOutside {
        const char* name;
        CRect s, d;
    };
    // Each reaches one pixel past one edge of one frame.
    const SOutside cases[] = {
        {"SourceRight", {2, 0, 6, 4}, {0, 0, 4, 4}},       {"SourceLeft", {-1, 0, 3, 4}, {0, 0, 4, 4}},
        {"SourceBottom", {0, 1, 4, 5}, {0, 0, 4, 4}},      {"SourceTop", {0, -1, 4, 3}, {0, 0, 4, 4}},
        {"DestinationRight", {0, 0, 4, 4}, {1, 0, 5, 4}},  {"DestinationLeft", {0, 0, 4, 4}, {-1, 0, 3, 4}},
        {"DestinationBottom", {0, 0, 4, 4}, {0, 1, 4, 5}}, {"DestinationTop", {0, 0, 4, 4}, {0, -1, 4, 3}},
        {"SizesDiffer", {0, 0, 4, 4}, {0, 0, 3, 4}},       {"Empty", {0, 0, 0, 4}, {0, 0, 0, 4}},
    };
    for (const SOutside& c : cases) {
        destination->FillBytes(0);
        routine(*source, c.s, *destination, c.d, normal);
        EXPECT_FALSE(destination->HasVisiblePixels()) << c.name;
    }
}

} // namespace
