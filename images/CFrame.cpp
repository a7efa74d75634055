#include "images/CFrame.h"

#include "images/DataPixelBudget.h"

#include "images/CustomEditorHooks.h"

#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "blit/CPalette.h"
#include "blit/RunLengthRows.h"
#include "foundation/CPerformanceMonitor.h"
#include "images/CPaletteHolder.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

OMBRISALT_IMPLEMENT_CLASS(CFrame, 2.0)

void CFrame::DeclareProperties(CPropertyDeclarer&) {}

namespace {

uint32_t g_FrameBitDepth = 0;

uint8_t Log2(uint32_t v)
{
    uint8_t n = 0;
    while (v > 1) {
        v >>= 1;
        ++n;
    }
    return n;
}

uint32_t FormatBitsForDepth(uint32_t depth)
{
    switch (depth) {
    case 8:
        return kFrameFormat8;
    case 16:
        return kFrameFormat16;
    case 24:
        return kFrameFormat24;
    case 32:
        return kFrameFormat32;
    default:
        return 0;
    }
}

uint32_t ReadU32(const uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

bool ValidBlock(const SRunLengthBlock& block, uint32_t width, uint32_t height, uint32_t pixelSize,
                std::vector<uint32_t>* values = nullptr)
{
    return ValidateRunLengthBlock(block.data.get(), block.size, block.rows.get(), height, width, pixelSize, values);
}

} // namespace

bool ValidRunLengthForm(uint32_t depth, uint32_t width, uint32_t height, uint32_t kind, const SRunLengthBlock& main,
                        const std::array<SRunLengthBlock, 4>& extra)
{
    // Kind 2 holds palette indices, kind 4 RGB565 or 24-bit colour; both may
    // hold 4-byte pixels while a frame is being built.
    const bool known = (kind == kFrameFiveBands && (depth == 8 || depth == 32))
        || (kind == kFrameTwoBands && (depth == 16 || depth == 24 || depth == 32));
    if (!known || !main.data)
        return false;
    const uint32_t size = depth / 8;
    if (!ValidBlock(main, width, height, size))
        return false;
    if (kind == kFrameFiveBands) {
        for (const SRunLengthBlock& block : extra)
            if ((block.data || block.rows) && !ValidBlock(block, width, height, size))
                return false;
        return true;
    }
    if (extra[0].data || extra[0].rows || extra[1].data || extra[1].rows)
        return false;
    const SRunLengthBlock& alphaColour = extra[3];
    const SRunLengthBlock& alpha = extra[2];
    if (!alphaColour.data)
        return !alphaColour.rows && !alpha.data && !alpha.rows;
    std::vector<uint32_t> values;
    if (!ValidBlock(alphaColour, width, height, size, &values) || !alpha.data)
        return false;
    if (depth == 32)
        return ValidBlock(alpha, width, height, size);
    return ValidateRunLengthAlphaBlock(alpha.data.get(), alpha.size, alpha.rows.get(), values);
}

CFrame::CFrame()
{
    static CPerformanceMonitor zone("CFrame_CFrame");
    CPerformanceMonitorScope scope(zone);
    InitDeclaredProperties();
    SetUpDimensions(0);
}

void CFrame::AddCustomEditors(CObjectEditor* editor)
{
    if (editor)
        GetCustomEditorHooks().AddFrameEditor(*editor, *this);
}

CFrame::~CFrame()
{
    ReleaseDataPixels(*this);
    RemovePaletteHolder(*this);
    Free();
    DestroyDeclaredProperties();
}

std::unique_ptr<CFrame> CFrame::MakeOwned(uint32_t width, uint32_t height, uint32_t depth)
{
    auto frame = std::make_unique<CFrame>();
    if (!frame->Create(width, height, depth))
        return nullptr;
    return frame;
}

std::unique_ptr<CFrame> CFrame::MakeBorrowed(uint8_t* pixels, uint32_t width, uint32_t height, uint32_t depth,
                                             uint32_t pitch)
{
    const uint32_t format = FormatBitsForDepth(depth);
    if (format == 0 || width > 0xFFFF || height > 0xFFFF || pitch < width || (!pixels && width && height))
        return nullptr;
    if (uint64_t(pitch) * height * (depth / 8) > UINT32_MAX)
        return nullptr;
    auto frame = std::make_unique<CFrame>();
    frame->m_Width = uint16_t(width);
    frame->m_Height = uint16_t(height);
    frame->m_Flags = (frame->m_Flags & ~0x1E6u) | format | kFrameBorrowed;
    frame->m_Pixels = width && height ? pixels : nullptr;
    frame->SetUpDimensions(pitch);
    return frame;
}

bool CFrame::Create(uint32_t width, uint32_t height, uint32_t depth)
{
    if (width == m_Width && height == m_Height && depth == GetBitDepth() && m_Pixels && !IsCompressed()) {
        // The buffer, its pitch and its rows stay; the frame starts afresh
        // at its hot spot like any new one.
        m_OffsetX = m_OffsetY = 0;
        return true;
    }
    Free();
    const uint32_t format = FormatBitsForDepth(depth);
    const uint64_t bytes = uint64_t(width) * height * (depth / 8);
    if (format == 0 || width > 0xFFFF || height > 0xFFFF || bytes > UINT32_MAX) {
        SetUpDimensions(0);
        return false;
    }
    m_Width = uint16_t(width);
    m_Height = uint16_t(height);
    m_Flags |= format;
    if (bytes != 0) {
        m_OwnedBlocks[0] = std::make_unique<uint8_t[]>(size_t(bytes));
        m_Pixels = m_OwnedBlocks[0].get();
    }
    SetUpDimensions(width);
    return true;
}

void CFrame::SetUpDimensions(uint32_t pitch)
{
    m_OffsetX = m_OffsetY = 0;
    m_WidthLog2 = Log2(m_Width);
    m_HeightLog2 = Log2(m_Height);
    if (m_Height == 0)
        return;
    const uint32_t rows = m_Height < 2 ? 2 : m_Height;
    m_OwnedRows[0] = std::make_unique<uint32_t[]>(rows);
    for (uint32_t i = 0; i < rows; ++i)
        m_OwnedRows[0][i] = i * pitch;
    m_RowTable = m_OwnedRows[0].get();
}

void CFrame::Free()
{
    m_Flags &= ~kFrameBorrowed;
    m_Width = m_Height = 0;
    m_Pixels = nullptr;
    m_RowTable = nullptr;
    m_ExtraBlocks.fill(nullptr);
    m_ExtraRows.fill(nullptr);
    for (auto& block : m_OwnedBlocks)
        block.reset();
    for (auto& rows : m_OwnedRows)
        rows.reset();
    m_Flags &= ~(kFrameFormatMask | kFrameRunLengthMask);
}

bool CFrame::TakeRunLengthForm(uint32_t kind, SRunLengthBlock main, std::array<SRunLengthBlock, 4> extra)
{
    if (!ValidRunLengthForm(GetBitDepth(), m_Width, m_Height, kind, main, extra))
        return false;
    const uint32_t format = m_Flags & kFrameFormatMask;
    const uint16_t width = m_Width, height = m_Height;
    const int16_t offsetX = m_OffsetX, offsetY = m_OffsetY;
    Free();
    m_Width = width;
    m_Height = height;
    m_Flags |= format | kind;
    SetUpDimensions(0);
    m_OffsetX = offsetX;
    m_OffsetY = offsetY;
    m_OwnedBlocks[0] = std::move(main.data);
    m_OwnedRows[0] = std::move(main.rows);
    m_Pixels = m_OwnedBlocks[0].get();
    m_RowTable = m_OwnedRows[0].get();
    for (uint32_t i = 0; i < 4; ++i) {
        m_OwnedBlocks[i + 1] = std::move(extra[i].data);
        m_OwnedRows[i + 1] = std::move(extra[i].rows);
        m_ExtraBlocks[i] = m_OwnedBlocks[i + 1].get();
        m_ExtraRows[i] = m_OwnedRows[i + 1].get();
    }
    return true;
}

uint8_t* CFrame::Row(uint32_t y)
{
    return const_cast<uint8_t*>(std::as_const(*this).Row(y));
}

const uint8_t* CFrame::Row(uint32_t y) const
{
    if (!m_Pixels || IsCompressed() || y >= m_Height || GetBytesPerPixel() == 0)
        return nullptr;
    return m_Pixels + size_t(m_RowTable[y]) * GetBytesPerPixel();
}

void CFrame::SetBitDepth(uint32_t depth)
{
    m_Flags = (m_Flags & ~kFrameFormatMask) | FormatBitsForDepth(depth);
}

void CFrame::SetOffset(int16_t x, int16_t y)
{
    m_OffsetX = x;
    m_OffsetY = y;
}

void CFrame::MoveOffset(int16_t dx, int16_t dy)
{
    m_OffsetX = int16_t(m_OffsetX + dx);
    m_OffsetY = int16_t(m_OffsetY + dy);
    DeleteDynamicPropertyValues();
}

uint32_t CFrame::GetBitDepth() const
{
    return BitDepthFromFlags(m_Flags);
}

uint32_t CFrame::GetBytesPerPixel() const
{
    return GetBitDepth() / 8;
}

uint8_t* CFrame::GetRLEBlock(uint32_t n) const
{
    return n >= 1 && n <= 4 ? m_ExtraBlocks[n - 1] : nullptr;
}

const uint32_t* CFrame::GetRLERowTable(uint32_t n) const
{
    return n >= 1 && n <= 4 ? m_ExtraRows[n - 1] : nullptr;
}

void CFrame::GetBounds(CRect& out) const
{
    out = {m_OffsetX, m_OffsetY, m_OffsetX + int32_t(m_Width), m_OffsetY + int32_t(m_Height)};
}

CPalette* CFrame::GetPalette() const
{
    return GetFramePalette(*this);
}

uint32_t CFrame::GetMemorySize()
{
    uint32_t size = CFrameInterface::GetMemorySize();
    if (!IsCompressed())
        return size + GetBytesPerPixel() * m_Height * m_Width;
    if (m_Pixels)
        size += ReadU32(m_Pixels);
    for (const uint8_t* block : m_ExtraBlocks)
        if (block)
            size += ReadU32(block);
    return size + 4 * m_Height;
}

bool CFrame::HasVisiblePixels() const
{
    const uint32_t depth = GetBitDepth();
    if (depth == 16 || depth == 0 || IsCompressed())
        return false;
    for (uint32_t y = 0; y < m_Height; ++y) {
        const uint8_t* row = Row(y);
        for (uint32_t x = 0; row && x < m_Width; ++x) {
            if (depth == 8 && row[x] != 0)
                return true;
            if (depth == 24 && (row[3 * x] | row[3 * x + 1] | row[3 * x + 2]) != 0)
                return true;
            if (depth == 32 && row[4 * x + 3] != 0)
                return true;
        }
    }
    return false;
}

void CFrame::GetOpaqueBounds(CRect& out) const
{
    CRect found = {INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    const bool alpha = GetBitDepth() == 32 && !IsCompressed();
    for (int32_t y = 0; y < int32_t(m_Height); ++y)
        for (int32_t x = 0; x < int32_t(m_Width); ++x) {
            const uint32_t raw = GetRawPixel(x + m_OffsetX, y + m_OffsetY);
            if (alpha ? (raw >> 24) >= 8 : raw != 0) {
                found = {std::min(found.left, x), std::min(found.top, y), std::max(found.right, x + 1),
                         std::max(found.bottom, y + 1)};
            }
        }
    out = found.left == INT32_MAX ? SizeToRect(m_Width, m_Height) : found;
}

void CFrame::CopyFrom(CObject* other)
{
    auto* source = dynamic_cast<CFrameInterface*>(other);
    if (!source) {
        CFrameInterface::CopyFrom(other);
        return;
    }
    if (source == this)
        return;
    const uint32_t width = source->GetWidth(), height = source->GetHeight();
    if (!Create(width, height, source->GetBitDepth()))
        return;
    Clear();
    const auto* plain = dynamic_cast<const CFrame*>(source);
    if (plain && !plain->IsCompressed()) {
        const uint32_t bytes = width * GetBytesPerPixel();
        for (uint32_t y = 0; y < height; ++y)
            if (bytes)
                std::memcpy(Row(y), plain->Row(y), bytes);
    } else {
        const CRect all = SizeToRect(int32_t(width), int32_t(height));
        BlitToFrame(*source, all, all, GetNormalBlitType());
    }
    if (const CPalette* palette = source->GetPalette())
        EnsurePaletteHolder(*this).GetPalette().CopyFrom(*palette);
    SetOffset(int16_t(source->GetOffsetX()), int16_t(source->GetOffsetY()));
}

uint32_t CFrame::SGetBitDepth()
{
    return g_FrameBitDepth == 0 ? 8 : g_FrameBitDepth;
}

uint32_t CFrame::SetGlobalBitDepth(uint32_t depth)
{
    return std::exchange(g_FrameBitDepth, depth);
}

bool HalveFrame(CFrame& destination, const CFrame& source)
{
    const uint32_t w = source.GetWidth(), h = source.GetHeight();
    if ((w == 1 && h == 1) || (w & 1) || (h & 1))
        return false;
    const uint32_t depth = source.GetBitDepth();
    if ((depth != 24 && depth != 32) || source.IsCompressed())
        destination.Free();
    else if (destination.Create(w / 2, h / 2, depth)) {
        const uint32_t size = depth / 8;
        for (uint32_t y = 0; y < h / 2; ++y) {
            const uint8_t* upper = source.Row(2 * y);
            const uint8_t* lower = source.Row(2 * y + 1);
            uint8_t* out = destination.Row(y);
            for (uint32_t x = 0; x < w / 2; ++x)
                for (uint32_t c = 0; c < size; ++c) {
                    const uint32_t a = 2 * x * size + c, b = a + size;
                    out[x * size + c] = uint8_t((upper[a] + upper[b] + lower[a] + lower[b]) >> 2);
                }
        }
    }
    destination.SetOffset(int16_t(source.GetOffsetX() / 2), int16_t(source.GetOffsetY() / 2));
    return true;
}
