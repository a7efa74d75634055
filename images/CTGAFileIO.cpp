#include "images/CTGAFileIO.h"

#include "blit/CBlitTypeList.h"
#include "blit/CPalette.h"
#include "blit/ColorTables.h"
#include "foundation/CFile.h"
#include "foundation/CRect.h"
#include "foundation/FatalError.h"
#include "images/CFrame.h"
#include "images/CPaletteHolder.h"
#include "images/DataPixelBudget.h"
#include "images/PlainFrameCopy.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

OMBRISALT_IMPLEMENT_CLASS(CTGAFileIO, 1.0)

void CTGAFileIO::DeclareProperties(CPropertyDeclarer&) {}

namespace {

uint16_t U16(const uint8_t* p)
{
    return uint16_t(p[0] | (p[1] << 8));
}

void PutU16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

// Converts one row of file pixels into a frame row of the frame's depth.
bool ConvertRow(const uint8_t* in, uint32_t width, uint32_t fileBytes, uint8_t* out, uint32_t frameDepth)
{
    switch (frameDepth) {
    case 8: {
        const uint8_t* palette = GetGamePalette().GetData();
        const uint32_t entries = GetGamePalette().GetCount() / 3;
        for (uint32_t x = 0; x < width; ++x, in += fileBytes) {
            const uint8_t b = in[0], g = in[1], r = in[2];
            if ((b | g | r) == 0)
                out[x] = 0;
            else
                out[x] = entries >= 256 ? FindNearestPaletteEntry(palette, r, g, b, 1, 255) : 1;
        }
        return true;
    }
    case 16:
        for (uint32_t x = 0; x < width; ++x, in += fileBytes) {
            const uint16_t v = PackColor565(in[2], in[1], in[0]);
            std::memcpy(out + x * 2, &v, 2);
        }
        return true;
    case 24:
        if (fileBytes == 3) {
            std::memcpy(out, in, size_t(width) * 3);
            return true;
        }
        for (uint32_t x = 0; x < width; ++x, in += 4, out += 3) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
        }
        return true;
    case 32:
        if (fileBytes == 4) {
            std::memcpy(out, in, size_t(width) * 4);
            return true;
        }
        for (uint32_t x = 0; x < width; ++x, in += 3, out += 4) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
            out[3] = (in[0] | in[1] | in[2]) ? 255 : 0;
        }
        return true;
    default:
        return false;
    }
}

// Reverses the order of the pixels of one row.
void MirrorRow(uint8_t* row, uint32_t width, uint32_t bytes)
{
    if (width < 2)
        return;
    for (uint32_t left = 0, right = width - 1; left < right; ++left, --right)
        std::swap_ranges(row + size_t(left) * bytes, row + size_t(left + 1) * bytes, row + size_t(right) * bytes);
}

enum class RowResult { Done, Truncated, Overrun };

// One row of packets from [p, end) into scratch; p moves past them.
RowResult DecodeRow(const uint8_t*& p, const uint8_t* end, uint32_t width, uint32_t bytes, uint8_t* scratch)
{
    uint32_t x = 0;
    while (x < width) {
        if (p >= end)
            return RowResult::Truncated;
        const uint8_t h = *p++;
        const uint32_t count = (h & 0x7Fu) + 1;
        if (x + count > width)
            return RowResult::Overrun;
        if (h & 0x80) {
            if (uint32_t(end - p) < bytes)
                return RowResult::Truncated;
            for (uint32_t i = 0; i < count; ++i)
                std::memcpy(scratch + (x + i) * bytes, p, bytes);
            p += bytes;
        } else {
            if (uint64_t(end - p) < uint64_t(count) * bytes)
                return RowResult::Truncated;
            std::memcpy(scratch + x * bytes, p, size_t(count) * bytes);
            p += count * bytes;
        }
        x += count;
    }
    return RowResult::Done;
}

} // namespace

bool STgaHeader::Parse(const uint8_t* data, uint32_t size)
{
    if (!data || size < kSize)
        return false;
    idLength = data[0];
    colorMapType = data[1];
    imageType = data[2];
    colorMapFirst = U16(data + 3);
    colorMapLength = U16(data + 5);
    colorMapEntrySize = data[7];
    originX = U16(data + 8);
    originY = U16(data + 10);
    width = U16(data + 12);
    height = U16(data + 14);
    pixelDepth = data[16];
    descriptor = data[17];
    return true;
}

bool STgaHeader::IsAccepted() const
{
    return colorMapType == 0 && (imageType == 2 || imageType == 9 || imageType == 10)
        && (pixelDepth == 24 || pixelDepth == 32);
}

bool STgaHeader::IsTakenInWhole() const
{
    const uint32_t alphaBits = descriptor & 0x0F;
    return IsAccepted() && idLength == 0 && colorMapFirst == 0 && colorMapLength == 0 && colorMapEntrySize == 0
        && originX == 0 && originY == 0 && (descriptor & 0xC0) == 0 && alphaBits == (pixelDepth == 32 ? 8u : 0u);
}

uint32_t EncodeTgaRow(const uint8_t* pixels, uint32_t n, uint32_t p, uint8_t* out)
{
    const auto same = [&](uint32_t a, uint32_t b) { return std::memcmp(pixels + a * p, pixels + b * p, p) == 0; };
    uint8_t* start = out;
    uint32_t i = 0;
    while (i < n) {
        const uint32_t limit = std::min<uint32_t>(n - i - 1, 127);
        uint32_t run = 0;
        while (run < limit && same(i, i + 1 + run))
            ++run;
        if (p == 1) {
            if (run >= 2) {
                *out++ = uint8_t(0x80 | run);
                *out++ = pixels[i];
                i += run + 1;
            } else {
                const uint32_t k = limit ? limit : 1;
                *out++ = uint8_t(k - 1);
                std::memcpy(out, pixels + i, k);
                out += k;
                i += k;
            }
            continue;
        }
        if (run > 0) {
            *out++ = uint8_t(0x80 | run);
            std::memcpy(out, pixels + i * p, p);
            out += p;
            i += run + 1;
            continue;
        }
        uint32_t k = 0;
        while (k < limit && !same(i + k, i + k + 1))
            ++k;
        if (k == 0)
            k = 1;
        *out++ = uint8_t(k - 1);
        std::memcpy(out, pixels + i * p, size_t(k) * p);
        out += size_t(k) * p;
        i += k;
    }
    return uint32_t(out - start);
}

CTGAFileIO::CTGAFileIO()
{
    InitDeclaredProperties();
}

CTGAFileIO::~CTGAFileIO()
{
    DestroyDeclaredProperties();
}

uint32_t CTGAFileIO::GetHeaderBitDepth(const uint8_t* data, uint32_t size)
{
    STgaHeader header;
    return header.Parse(data, size) && header.IsAccepted() ? header.pixelDepth : 0;
}

bool CTGAFileIO::NeedsRecompress(const char* path)
{
    CFile file;
    if (!file.Open(path, FILE_READ))
        return false;
    uint8_t bytes[STgaHeader::kSize] = {};
    const uint32_t got = file.Read(bytes, sizeof bytes);
    STgaHeader header;
    if (!header.Parse(bytes, got) || !header.IsTakenInWhole() || header.imageType != 2)
        return false;
    // Bytes after the pixels (an extension area, a footer) would be dropped
    // by the rewrite.
    const uint64_t pixelBytes = uint64_t(header.width) * header.height * (header.pixelDepth / 8);
    return uint64_t(file.GetSize()) == STgaHeader::kSize + pixelBytes;
}

bool CTGAFileIO::DecodeFromMemory(CFrame& frame, const uint8_t* data, uint32_t size, const char* path, uint32_t depth)
{
    STgaHeader header;
    if (!header.Parse(data, size) || !header.IsAccepted())
        return false;
    const uint32_t width = header.width, height = header.height;
    if (width && height && !ImageSizeAllowed(width, height)) {
        ReportImageRefused(path, "its size is more than any image may have");
        return false;
    }
    if (!DataPixelsFitBeforeDecode(width, height))
        return false;
    const uint32_t fileBytes = header.pixelDepth / 8;
    const uint32_t rowBytes = width * fileBytes;
    const uint8_t* p = data + STgaHeader::kSize + header.idLength;
    const uint8_t* end = data + size;
    if (p > end)
        return false;
    const bool packets = header.imageType == 10;
    // Refuse before allocating: raw rows need all their bytes, and a row of
    // packets at least one packet per 128 pixels.
    const uint64_t available = uint64_t(end - p);
    if (!packets && uint64_t(rowBytes) * height > available)
        return false;
    if (packets && uint64_t((width + 127) / 128) * (1 + fileBytes) * height > available)
        return false;
    const bool reuse = frame.GetPixels() && !frame.IsCompressed() && frame.GetWidth() == width
        && frame.GetHeight() == height && frame.GetBitDepth() != 0;
    if (!reuse && !frame.Create(width, height, depth))
        return false;
    if (!frame.GetPixels())
        return false;
    std::vector<uint8_t> scratch(packets ? size_t(rowBytes) * 2 : 0);
    const uint32_t frameDepth = frame.GetBitDepth();
    for (uint32_t r = 0; r < height; ++r) {
        const uint32_t y = header.IsTopFirst() ? r : height - 1 - r;
        const uint8_t* source = p;
        if (packets) {
            const RowResult result = DecodeRow(p, end, width, fileBytes, scratch.data());
            if (result == RowResult::Overrun) {
                CJString text;
                text.Format("The TGA you loaded '%s' is corrupt (line %u).", path ? path : "", y);
                FatalDataError("FATAL ERROR", text.GetString());
            }
            if (result == RowResult::Truncated)
                return false;
            source = scratch.data();
        } else {
            p += rowBytes;
        }
        if (!ConvertRow(source, width, fileBytes, frame.Row(y), frameDepth))
            return false;
        if (header.IsRightFirst())
            MirrorRow(frame.Row(y), width, frameDepth / 8);
    }
    frame.SetOffset(0, 0);
    return true;
}

bool CTGAFileIO::WriteImageFile(CFrame& frame, const char* path, uint32_t openFlags)
{
    if (frame.IsCompressed() || frame.GetBitDepth() == 16) {
        // Run-length frames are written from a plain copy; RGB565 as 24 bits.
        CFrame copy;
        const uint32_t depth = frame.GetBitDepth() == 32 ? 32 : 24;
        if (frame.IsCompressed()) {
            if (frame.GetBitDepth() == 0)
                return false;
            copy.Create(frame.GetWidth(), frame.GetHeight(), frame.GetBitDepth() == 16 ? 24 : frame.GetBitDepth());
            const CRect rect = SizeToRect(int32_t(frame.GetWidth()), int32_t(frame.GetHeight()));
            copy.BlitToFrame(frame, rect, rect, GetNormalBlitType());
        } else if (!CopyPlainFrameToDepth(frame, copy, depth)) {
            return false;
        }
        return WriteImageFile(copy, path, openFlags);
    }
    const uint32_t depth = frame.GetBitDepth();
    const uint32_t width = frame.GetWidth(), height = frame.GetHeight();
    if (!frame.GetPixels() || width == 0 || height == 0 || (depth != 8 && depth != 24 && depth != 32))
        return false;
    CFile file;
    if (!file.Open(path, openFlags | FILE_CREATE | FILE_WRITE))
        return false;
    uint8_t header[STgaHeader::kSize] = {};
    const bool mapped = depth == 8;
    header[1] = mapped ? 1 : 0;
    header[2] = mapped ? 9 : 10;
    PutU16(header + 5, mapped ? 256 : 0);
    header[7] = mapped ? 24 : 0;
    PutU16(header + 12, uint16_t(width));
    PutU16(header + 14, uint16_t(height));
    header[16] = uint8_t(depth);
    header[17] = depth == 32 ? 8 : 0;
    file.Write(header, sizeof header);
    if (mapped) {
        uint8_t map[256 * 3];
        const CPalette* palette = GetFramePalette(frame);
        if (palette && palette->GetType() == 1 && palette->GetData())
            std::memcpy(map, palette->GetData(), sizeof map);
        else
            for (uint32_t i = 0; i < 256; ++i)
                map[i * 3] = map[i * 3 + 1] = map[i * 3 + 2] = uint8_t(i);
        file.Write(map, sizeof map);
    }
    const uint32_t bytes = depth / 8;
    std::vector<uint8_t> scratch(size_t(width) * (bytes + 1) + 16);
    for (uint32_t r = height; r-- > 0;) {
        const uint32_t n = EncodeTgaRow(frame.Row(r), width, bytes, scratch.data());
        file.Write(scratch.data(), n);
    }
    return file.Close();
}
