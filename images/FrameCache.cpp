#include "images/FrameCache.h"

#include "blit/CBlitTypeList.h"
#include "foundation/ArchiveSeam.h"
#include "foundation/CFile.h"
#include "foundation/CMemFileBuf.h"
#include "foundation/CStartupTextLog.h"
#include "foundation/CompressedBlock.h"
#include "foundation/FatalError.h"
#include "foundation/FileHelpers.h"
#include "foundation/FilePaths.h"
#include "images/CFilterChangeBitDepth.h"
#include "images/CFrame.h"
#include "images/CFrameFilter.h"
#include "images/CFrameImageIO.h"
#include "images/CJPEGFileIO.h"
#include "images/CPaletteHolder.h"
#include "images/DataPixelBudget.h"
#include "images/PlainFrameCopy.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace {

bool g_CompressedCache = true;
bool g_NoJpeg = false;
bool g_Lossless = false;
uint32_t g_JpegQuality = 65;

constexpr uint32_t kFrameCacheLevel = 9;
constexpr uint32_t kMaxRecordBlock = 16000000;
constexpr uint32_t kRecordHeaderSize = 36;

void DeltaEncode(uint8_t* plane, size_t n)
{
    for (size_t i = n; i-- > 1;)
        plane[i] = uint8_t(plane[i] - plane[i - 1]);
}

void DeltaDecode(uint8_t* plane, size_t n)
{
    for (size_t i = 1; i < n; ++i)
        plane[i] = uint8_t(plane[i] + plane[i - 1]);
}

uint32_t GetU32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void PutU32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

void PutU16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

// An engine file over a growable memory buffer, for building a variant.
struct SMemoryFile {
    CFile file;
    CMemFileBuf* buffer = new CMemFileBuf;
    SMemoryFile() { file.AttachFileBuf(buffer, FILE_READ | FILE_WRITE); }
    const uint8_t* Data() const { return buffer->GetData(); }
    uint32_t Size() const { return uint32_t(buffer->GetSize()); }
};

bool WriteLosslessBody(const CFrame& frame, CFile& file)
{
    const uint32_t w = frame.GetWidth(), h = frame.GetHeight();
    const size_t n = size_t(w) * h;
    std::vector<uint8_t> planes(n * 4);
    for (uint32_t y = 0; y < h; ++y) {
        const uint8_t* row = frame.Row(y);
        for (uint32_t x = 0; x < w; ++x) {
            const size_t i = size_t(y) * w + x;
            planes[i] = row[x * 4 + 2];
            planes[n + i] = row[x * 4 + 1];
            planes[2 * n + i] = row[x * 4];
            planes[3 * n + i] = row[x * 4 + 3];
        }
    }
    for (int p = 0; p < 4; ++p)
        DeltaEncode(planes.data() + p * n, n);
    file.WriteUint8(1);
    if (!CFileCompressor::WriteCompressed(file, planes.data(), uint32_t(planes.size()), kFrameCacheLevel))
        return false;
    file.WriteUint32(w).WriteUint32(h);
    return !file.HasError();
}

bool WriteJpegBody(CFrame& frame, CFile& file, uint32_t quality)
{
    const uint32_t w = frame.GetWidth(), h = frame.GetHeight();
    file.WriteUint8(0);
    const int64_t start = file.GetPosition();
    file.WriteUint32(0);
    if (!WriteFrameAsJPEG(frame, file, quality))
        return false;
    const int64_t end = file.GetPosition();
    file.Seek(start);
    file.WriteUint32(uint32_t(end - start));
    file.Seek(end);
    std::vector<uint8_t> alpha(size_t(w) * h);
    for (uint32_t y = 0; y < h; ++y) {
        const uint8_t* row = frame.Row(y);
        for (uint32_t x = 0; x < w; ++x)
            alpha[size_t(y) * w + x] = row[x * 4 + 3];
    }
    DeltaEncode(alpha.data(), alpha.size());
    if (!CFileCompressor::WriteCompressed(file, alpha.data(), uint32_t(alpha.size()), kFrameCacheLevel))
        return false;
    return !file.HasError();
}

// The size stands after the planes: it is read first, so that more pixels
// than any image may have are refused before the planes are decoded.
bool LosslessSizeAllowed(CFile& file)
{
    const int64_t start = file.GetPosition();
    uint8_t header[9];
    uint32_t w = 0, h = 0;
    bool allowed = file.Read(header, sizeof header) == sizeof header;
    if (allowed) {
        const uint32_t compressedSize = GetU32(header + 1);
        file.Seek(start + int64_t(sizeof header) + compressedSize);
        allowed = file.TryReadUint32(w) && file.TryReadUint32(h) && GetU32(header + 5) == uint64_t(w) * h * 4;
        // Sequence atlases are wide: the side may be what the format holds.
        if (allowed && (w > 0xFFFF || h > 0xFFFF || uint64_t(w) * h * 4 > kMaxImagePixelBytes)) {
            ReportImageRefused(file.GetFileName().GetString(), "its size is more than any image may have");
            allowed = false;
        }
        allowed = allowed && DataPixelsFitBeforeDecode(w, h);
    }
    file.Seek(start);
    return allowed;
}

bool ReadLosslessBody(CFrame& frame, CFile& file)
{
    if (!LosslessSizeAllowed(file))
        return false;
    uint32_t size = 0;
    uint8_t* planes = CFileCompressor::ReadCompressed(file, size, uint32_t(kMaxImagePixelBytes));
    if (!planes)
        return false;
    std::unique_ptr<uint8_t, decltype(&std::free)> owned(planes, &std::free);
    uint32_t w = 0, h = 0;
    if (!file.TryReadUint32(w) || !file.TryReadUint32(h) || w > 0xFFFF || h > 0xFFFF || uint64_t(w) * h * 4 != size
        || size == 0)
        return false;
    const size_t n = size_t(w) * h;
    for (int p = 0; p < 4; ++p)
        DeltaDecode(planes + p * n, n);
    if (!frame.Create(w, h, 32))
        return false;
    for (uint32_t y = 0; y < h; ++y) {
        uint8_t* row = frame.Row(y);
        for (uint32_t x = 0; x < w; ++x) {
            const size_t i = size_t(y) * w + x;
            row[x * 4] = planes[2 * n + i];
            row[x * 4 + 1] = planes[n + i];
            row[x * 4 + 2] = planes[i];
            row[x * 4 + 3] = planes[3 * n + i];
        }
    }
    return true;
}

bool ReadJpegBody(CFrame& frame, CFile& file)
{
    const int64_t start = file.GetPosition();
    uint32_t length = 0;
    if (!file.TryReadUint32(length) || length < 4 || start + int64_t(length) > file.GetSize())
        return false;
    std::vector<uint8_t> jpeg(length - 4);
    if (!jpeg.empty() && file.Read(jpeg.data(), length - 4) != length - 4)
        return false;
    CFrame colour;
    if (!DecodeJPEGIntoFrame(colour, jpeg.data(), uint32_t(jpeg.size()), file.GetFileName().GetString()))
        return false;
    file.Seek(start + length);
    // An alpha block larger than the picture is refused before it is inflated.
    const uint32_t w = colour.GetWidth(), h = colour.GetHeight();
    const uint64_t pixels = uint64_t(w) * h;
    uint32_t size = 0;
    uint8_t* alpha = CFileCompressor::ReadCompressed(file, size, uint32_t(std::min<uint64_t>(pixels, UINT32_MAX)));
    if (!alpha)
        return false;
    std::unique_ptr<uint8_t, decltype(&std::free)> owned(alpha, &std::free);
    if (pixels != size || !CopyPlainFrameToDepth(colour, frame, 32))
        return false;
    DeltaDecode(alpha, size);
    for (uint32_t y = 0; y < h; ++y) {
        uint8_t* row = frame.Row(y);
        for (uint32_t x = 0; x < w; ++x)
            row[x * 4 + 3] = alpha[size_t(y) * w + x];
    }
    frame.SetOffset(0, 0);
    return true;
}

bool Dithers(const CFrameFilter* chain)
{
    const auto* depth
        = chain ? dynamic_cast<const CFilterChangeBitDepth*>(chain->FindFilter(kFilterKindBitDepth)) : nullptr;
    return depth && depth->GetDither() == Dither::On;
}

// Converts to the chain's target depth (the head's own depth when set, else
// the frame build depth) and run-length encodes when asked.
void FinishLoad(CFrame& frame, const CFrameFilter* chain, bool dither, bool runLength)
{
    const uint32_t depth = chain ? chain->GetBitDepth() : CFrame::SGetBitDepth();
    CFrameFilter finish;
    finish.InsertFilter(std::make_unique<CFilterChangeBitDepth>(dither ? Dither::On : Dither::Off, depth));
    if (runLength)
        finish.AddFilter(kFilterKindRunLength);
    finish.ApplyAll(frame);
}

} // namespace

bool SetFrameOptionFlag(bool compressedCache)
{
    return std::exchange(g_CompressedCache, compressedCache);
}

bool GetFrameOptionFlag()
{
    return g_CompressedCache;
}

bool SetFrameNoJPEG(bool noJpeg)
{
    return std::exchange(g_NoJpeg, noJpeg);
}

bool GetFrameNoJPEG()
{
    return g_NoJpeg;
}

bool SetFrameLossless(bool lossless)
{
    return std::exchange(g_Lossless, lossless);
}

bool GetFrameLossless()
{
    return g_Lossless;
}

uint32_t SetFrameJPEGQuality(uint32_t quality)
{
    return std::exchange(g_JpegQuality, quality);
}

uint32_t GetFrameJPEGQuality()
{
    return g_JpegQuality;
}

void GetFrameCachePath(char* out, uint32_t size, const char* folder, const char* name)
{
    if (folder && *folder)
        std::snprintf(out, size, "%s/%s/%s.Frame", "Cache", folder, name);
    else
        std::snprintf(out, size, "%s/%s.Frame", "Cache", name);
}

bool PrefersJpegBody(double jpegSize, double losslessSize)
{
    return (jpegSize + 200) * 100 / 95 < losslessSize;
}

bool WriteFrameBody(CFrame& frame32, CFile& file, uint32_t quality, bool lossless)
{
    if (frame32.GetBitDepth() != 32 || frame32.IsCompressed() || !frame32.GetPixels())
        return false;
    SMemoryFile a;
    const bool losslessBuilt = WriteLosslessBody(frame32, a.file);
    SMemoryFile b;
    bool jpegBuilt = false;
    if (!g_NoJpeg && !lossless)
        jpegBuilt = WriteJpegBody(frame32, b.file, quality);
    const double sizeA = a.Size();
    const double sizeB = jpegBuilt ? double(b.Size()) : double(0x7FFFFFFF);
    const bool chooseJpeg = jpegBuilt && PrefersJpegBody(sizeB, sizeA);
    const SMemoryFile& chosen = chooseJpeg ? b : a;
    if (!chooseJpeg && !losslessBuilt)
        return false;
    return file.Write(chosen.Data(), chosen.Size()) == chosen.Size();
}

bool ReadFrameBody(CFrame& frame, CFile& file)
{
    RemovePaletteHolder(frame);
    frame.Free();
    uint8_t kind = 0xFF;
    if (file.Read(&kind, 1) != 1)
        return false;
    bool read = false;
    if (kind == 1)
        read = ReadLosslessBody(frame, file);
    else if (kind == 0)
        read = ReadJpegBody(frame, file);
    if (!read)
        frame.Free();
    return read;
}

bool WriteFrameCacheFile(CFrame& frame, const char* folder, const char* name, uint32_t quality, bool lossless)
{
    char path[1024];
    GetFrameCachePath(path, sizeof path, folder, name);
    CFrame storage;
    const CFrame* frame32 = FramePixelsAs32Bit(frame, storage);
    if (!frame32)
        return false;
    CFile file;
    if (!file.Open(path, FILE_CREATE | FILE_WRITE | FILE_MAKE_FOLDERS))
        return false;
    file.WriteUint32(uint32_t(int32_t(frame.GetOffsetX()))).WriteUint32(uint32_t(int32_t(frame.GetOffsetY())));
    if (!WriteFrameBody(const_cast<CFrame&>(*frame32), file, quality, lossless)) {
        file.GetFileBuf()->Discard();
        return false;
    }
    return file.Close();
}

bool ReadFrameCacheFile(CFrame& frame, const char* folder, const char* name)
{
    char path[1024];
    GetFrameCachePath(path, sizeof path, folder, name);
    CFile file;
    if (!file.Open(path, FILE_READ))
        return false;
    uint32_t x = 0, y = 0;
    if (!file.TryReadUint32(x) || !file.TryReadUint32(y))
        return false;
    if (!ReadFrameBody(frame, file))
        return false;
    frame.SetOffset(int16_t(uint16_t(x)), int16_t(uint16_t(y)));
    return true;
}

const char* GetFrameRecordExtension()
{
    if (g_CompressedCache)
        return "FRAME";
    switch (CFrame::SGetBitDepth()) {
    case 8:
        return "frm";
    case 16:
        return "frm16";
    case 24:
        return "frm24";
    case 32:
        return "frm32";
    default:
        return nullptr;
    }
}

bool WriteFrameRecord(CFrame& frame, CFile& file)
{
    uint8_t header[kRecordHeaderSize] = {};
    const uint32_t height = frame.GetHeight();
    uint32_t sizes[5] = {};
    const uint8_t* blocks[5]
        = {frame.GetPixels(), frame.GetRLEBlock(1), frame.GetRLEBlock(2), frame.GetRLEBlock(3), frame.GetRLEBlock(4)};
    const uint32_t* rows[5] = {frame.GetRowTable(), frame.GetRLERowTable(1), frame.GetRLERowTable(2),
                               frame.GetRLERowTable(3), frame.GetRLERowTable(4)};
    if (frame.IsCompressed()) {
        for (int i = 0; i < 5; ++i)
            sizes[i] = blocks[i] ? GetU32(blocks[i]) : 0;
    } else if (blocks[0]) {
        sizes[0] = frame.GetPitch() * height * frame.GetBytesPerPixel();
    }
    header[0] = FRAME_FILE_VERSION;
    header[1] = uint8_t(frame.GetBitDepth());
    PutU16(header + 2, uint16_t(-frame.GetOffsetX()));
    PutU16(header + 4, uint16_t(-frame.GetOffsetY()));
    PutU16(header + 6, uint16_t(frame.GetWidth()));
    PutU16(header + 8, uint16_t(height));
    // A borrowed buffer belongs to this process only; the record's reader
    // owns what it reads.
    PutU32(header + 12, frame.GetFlags() & ~kFrameBorrowed);
    for (int i = 0; i < 5; ++i)
        PutU32(header + 16 + 4 * i, sizes[i]);
    file.Write(header, sizeof header);
    std::vector<uint8_t> table(size_t(height) * 4);
    for (int i = 0; i < 5; ++i) {
        if (sizes[i] == 0)
            continue;
        file.Write(blocks[i], sizes[i]);
        for (uint32_t y = 0; y < height; ++y)
            PutU32(table.data() + y * 4, rows[i] ? rows[i][y] : 0);
        file.Write(table.data(), uint32_t(table.size()));
    }
    return !file.HasError();
}

bool ReadFrameRecord(CFrame& frame, CFile& file)
{
    uint8_t header[kRecordHeaderSize];
    if (file.Read(header, sizeof header) != sizeof header || header[0] != FRAME_FILE_VERSION)
        return false;
    uint32_t sizes[5];
    for (int i = 0; i < 5; ++i) {
        sizes[i] = GetU32(header + 16 + 4 * i);
        if (sizes[i] > kMaxRecordBlock)
            FatalDataError("Fatal Error loading a frame",
                           "The *.frm file is corrupt, change the FRAME_FILE_VERSION number.");
    }
    const uint32_t depth = header[1];
    const int16_t offsetX = int16_t(-int16_t(header[2] | header[3] << 8));
    const int16_t offsetY = int16_t(-int16_t(header[4] | header[5] << 8));
    const uint32_t width = uint32_t(header[6] | header[7] << 8), height = uint32_t(header[8] | header[9] << 8);
    const uint32_t flags = GetU32(header + 12);
    const uint32_t kind = flags & kFrameRunLengthMask;
    // Everything the header announces must be in the file.
    uint64_t needed = 0;
    for (uint32_t size : sizes)
        if (size)
            needed += size + uint64_t(height) * 4;
    if (uint64_t(file.GetSize() - file.GetPosition()) < needed
        || (depth != 8 && depth != 16 && depth != 24 && depth != 32))
        return false;
    RemovePaletteHolder(frame);
    frame.Free();
    const auto readTable = [&](std::unique_ptr<uint32_t[]>& rows) {
        rows = std::make_unique<uint32_t[]>(height < 2 ? 2 : height);
        std::vector<uint8_t> bytes(size_t(height) * 4);
        if (file.Read(bytes.data(), uint32_t(bytes.size())) != bytes.size())
            return false;
        for (uint32_t y = 0; y < height; ++y)
            rows[y] = GetU32(bytes.data() + y * 4);
        return true;
    };
    if (kind == 0) {
        const uint64_t plain = uint64_t(width) * height * (depth / 8);
        if (sizes[0] != plain || sizes[1] || sizes[2] || sizes[3] || sizes[4] || plain == 0)
            return false;
        if (!frame.Create(width, height, depth) || file.Read(frame.GetPixels(), sizes[0]) != sizes[0]) {
            frame.Free();
            return false;
        }
        std::unique_ptr<uint32_t[]> rows;
        if (!readTable(rows)) {
            frame.Free();
            return false;
        }
        frame.SetOffset(offsetX, offsetY);
        return true;
    }
    if ((kind != kFrameFiveBands && kind != kFrameTwoBands) || sizes[0] == 0 || !frame.Create(width, height, depth)) {
        frame.Free();
        return false;
    }
    SRunLengthBlock blocks[5];
    for (int i = 0; i < 5; ++i) {
        if (sizes[i] == 0)
            continue;
        blocks[i].data = std::make_unique<uint8_t[]>(sizes[i]);
        blocks[i].size = sizes[i];
        if (file.Read(blocks[i].data.get(), sizes[i]) != sizes[i] || !readTable(blocks[i].rows)) {
            frame.Free();
            return false;
        }
    }
    std::array<SRunLengthBlock, 4> extra
        = {std::move(blocks[1]), std::move(blocks[2]), std::move(blocks[3]), std::move(blocks[4])};
    if (!frame.TakeRunLengthForm(kind, std::move(blocks[0]), std::move(extra))) {
        frame.Free();
        return false;
    }
    frame.SetOffset(offsetX, offsetY);
    return true;
}

namespace {

// The later write time of the source and of the properties file: the cache is
// dated by what it was built from, as read before the build, so a source
// saved while its cache is being built still counts as newer afterwards.
bool ReadBuildInputsTime(const char* sourcePath, const char* propertiesPath, uint32_t fileFlags, SFileIdentity& source,
                         uint64_t& time)
{
    if (!GetFileIdentity(sourcePath, fileFlags, source))
        return false;
    time = source.writeTime;
    SFileIdentity properties;
    if (GetFileIdentity(propertiesPath, fileFlags, properties))
        time = std::max(time, properties.writeTime);
    return true;
}

} // namespace

bool CFrame::BuildFromSource(CFrameImageIO& source, const char* folder, const char* name, const char* properties,
                             CFrameFilter* chain, uint32_t fileFlags)
{
    char cachePath[1024];
    GetFrameCachePath(cachePath, sizeof cachePath, folder, name);
    CJString line;
    line.Format("Building Frame \"%s\" from Source File", name);
    CStartupTextLog::Instance().Print(line.GetString(), LogLineEnd::EndLine, 0);
    SFileIdentity before;
    uint64_t builtFrom = 0;
    const bool onDisk = ReadBuildInputsTime(source.GetPath().GetString(), properties, fileFlags, before, builtFrom);
    CFrameFilter local;
    CFrameFilter* used = chain;
    bool dither = false, runLength = false;
    if (g_CompressedCache) {
        local.CopyFiltersFrom(chain ? *chain : GetDefaultBuildFilters());
        dither = Dithers(&local);
        runLength = local.HasFilter(kFilterKindRunLength);
        local.RemoveFilter(kFilterKindBitDepth);
        local.RemoveFilter(kFilterKindRunLength);
        used = &local;
    }
    if (!source.LoadFrame(*this, used, fileFlags))
        return false;
    // A source that changed during the build (even within one tick of its
    // clock) gets no cache, so the next load builds again. A cache that
    // cannot be written (a read-only data folder) is skipped: the frame just
    // built is used as it is.
    SFileIdentity after;
    const bool unchanged
        = !onDisk || (GetFileIdentity(source.GetPath().GetString(), fileFlags, after) && after == before);
    if (unchanged && WriteFrameCacheFile(*this, folder, name, g_JpegQuality, g_Lossless)) {
        if (onDisk)
            (void)SetFileWriteTime(cachePath, 0, builtFrom);
        ReadFrameCacheFile(*this, folder, name);
    }
    FinishLoad(*this, chain, dither, runLength);
    return true;
}

bool CFrame::Load(const char* folder, const char* name, CFrameFilter* chain, uint32_t, uint32_t fileFlags)
{
    RemovePaletteHolder(*this);
    Free();
    char cachePath[1024];
    GetFrameCachePath(cachePath, sizeof cachePath, folder, name);
    CArchiveLayer& archives = GetArchiveLayer();
    std::unique_ptr<CFrameImageIO> source;
    CJString properties(folder ? folder : "");
    properties.AppendPath(name);
    properties += ".txt";
    if (!(archives.IsMounted() && archives.Contains(cachePath))) {
        CJString dashed("-");
        dashed += name;
        source.reset(CFrameImageIO::FindImageFile(folder, dashed.GetString(), fileFlags));
        if (!source)
            source.reset(CFrameImageIO::FindImageFile(folder, name, fileFlags));
        const bool rebuild = source
            && (IsNewer(source->GetPath().GetString(), fileFlags, cachePath, 0)
                || IsNewer(properties.GetString(), fileFlags, cachePath, 0));
        if (rebuild)
            return BuildFromSource(*source, folder, name, properties.GetString(), chain, fileFlags);
    }
    if (ReadFrameCacheFile(*this, folder, name)) {
        FinishLoad(*this, chain, Dithers(chain), chain && chain->HasFilter(kFilterKindRunLength));
        return true;
    }
    // A damaged cache that looks up to date is built again from its source.
    return source && BuildFromSource(*source, folder, name, properties.GetString(), chain, fileFlags);
}

CFrame* CFrame::SLoadFrame(const char* folder, const char* name, uint32_t fileFlags, CClassInfo* frameClass)
{
    CJString objectFile(folder ? folder : "");
    objectFile.AppendPath(name);
    objectFile += ".txt";
    CFrame* frame = nullptr;
    bool fromFile = false;
    if (FileExists(objectFile.GetString(), fileFlags)) {
        CObject* object
            = LoadObjectFromFile(objectFile.GetString(), fileFlags, IdMode::WithoutIds, ReportUnknownClass::Quiet);
        frame = dynamic_cast<CFrame*>(object);
        if (!frame)
            delete object;
        fromFile = frame != nullptr;
    }
    if (!frame) {
        CClassInfo* info = frameClass ? frameClass : CFrame::SGetClassInfo();
        frame = dynamic_cast<CFrame*>(info->CreateObject(0, 0));
        if (!frame)
            return nullptr;
        frame->ResetToDefaults();
    }
    const bool loaded = frame->Load(folder, name, nullptr, 0, fileFlags);
    if (!fromFile && frame->GetClassInfo() != CFrame::SGetClassInfo())
        frame->SaveToFile(objectFile.GetString(), fileFlags);
    if (!loaded) {
        delete frame;
        return nullptr;
    }
    return frame;
}
