// The sequence's cache file and its binary object form (layouts in CSequence.h).

#include "sequences/CSequence.h"

#include "foundation/ArchiveSeam.h"
#include "foundation/CFile.h"
#include "foundation/CMemFileBuf.h"
#include "foundation/CPerformanceMonitor.h"
#include "foundation/CompressedBlock.h"
#include "foundation/CurrentLoadFile.h"
#include "foundation/FilePaths.h"
#include "images/CFrame.h"
#include "images/CFrameFilter.h"
#include "images/CFrameImageIO.h"
#include "images/DataPixelBudget.h"
#include "images/FrameCache.h"
#include "images/PlainFrameCopy.h"
#include "objects/CObjectFileArray.h"
#include "objects/ObjectFileCallbacks.h"
#include "sequences/CSequenceFrameInfoList.h"
#include "sequences/SequenceScopes.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

bool g_LoadingProperties = false;

// A frame that would take its row past the side of the largest image the
// readers take starts a new row: a wider atlas is refused when it is read
// back (a JPEG body always), so the sequence would be built again on every
// start.
constexpr int32_t kMaxAtlasSide = int32_t(kMaxImageSide);

// The text is the settings and at most 153 bytes a frame (nine lines, six
// values of up to six characters). Its block may expand a thousandfold, and a
// text of frames in the fewest bytes holds six times as many, all read
// before they are counted: this bound keeps that under 50 MB. The writer keeps
// to it too, so that every cache written reads back.
constexpr uint32_t kMaxCacheText = 16u << 20;
// What the last build's writer kept to: a sound cache of more text than this
// build reads, which its pictures stand in for.
constexpr uint32_t kOlderCacheText = 64u << 20;
static_assert(uint64_t(kMaxSequenceCacheFrames) * 153 + (1u << 20) <= kMaxCacheText);

// Whether the rectangle lies inside a width x height atlas.
bool FitsAtlas(const CFrameInfo& info, uint32_t width, uint32_t height)
{
    return info.m_Left >= 0 && info.m_Top >= 0 && info.m_Right >= info.m_Left && info.m_Bottom >= info.m_Top
        && int64_t(info.m_Right) <= int64_t(width) && int64_t(info.m_Bottom) <= int64_t(height);
}

// "<cache file> (frame n)", counted from 1, for reports.
std::string FrameName(CFile& file, uint32_t index)
{
    return std::string(file.GetFileName().GetString()) + " (frame " + std::to_string(index + 1) + ")";
}

// The cache's first piece: the settings and the frame list, compressed.
bool WriteCacheText(CFile& file, CSequence& sequence, CSequenceFrameInfoList& list)
{
    auto* buffer = new CMemFileBuf();
    CObjectStream text;
    text.Attach(buffer, FILE_CREATE | FILE_WRITE, IdMode::WithoutIds);
    WriteObjectText(&sequence, text, WriteHeader::With);
    WriteObjectText(&list, text, WriteHeader::With);
    text.Finish();
    const uint64_t wholeSize = uint64_t(buffer->GetSize());
    text.DetachFileBuf();
    uint8_t* data = buffer->DetachMemory();
    delete buffer;
    const bool written = wholeSize <= kMaxCacheText
        && CFileCompressor::WriteCompressed(file, data ? data : reinterpret_cast<const uint8_t*>(""),
                                            uint32_t(wholeSize), kDefaultCompressionLevel);
    std::free(data);
    return written;
}

} // namespace

CLoadingPropertiesScope::CLoadingPropertiesScope()
    : m_Previous(g_LoadingProperties)
{
    g_LoadingProperties = true;
}

CLoadingPropertiesScope::~CLoadingPropertiesScope()
{
    g_LoadingProperties = m_Previous;
}

CLoadFileScope::CLoadFileScope(const char* name)
    : m_Previous(GetCurrentLoadFileName())
{
    GetCurrentLoadFileName().Set(name);
}

CLoadFileScope::~CLoadFileScope()
{
    GetCurrentLoadFileName() = m_Previous;
}

void CFramesLeftOut::Add(uint32_t frameNumber, const CJString& why)
{
    if (m_Count++ == 0) {
        m_First = frameNumber;
        m_Why = why;
    }
}

void CFramesLeftOut::Report(const char* owner) const
{
    if (m_Count == 0)
        return;
    CJString item;
    if (m_Count == 1)
        item.Format("%s (frame %u)", owner, unsigned(m_First));
    else
        item.Format("%s (%u frames from frame %u)", owner, unsigned(m_Count), unsigned(m_First));
    ReportItemLeftOut(item, m_Why);
}

bool IsLoadingSequenceProperties()
{
    return g_LoadingProperties;
}

bool CSequence::SaveToCache(const char* folder, const char* name, uint32_t jpegQuality, bool lossLess,
                            bool wasRunLength)
{
    if (m_Frames.size() > kMaxSequenceCacheFrames)
        return false;
    // A cache a save cut short may wait for (another account's, whose
    // journal cannot be read) is its save's, not this build's: the frames
    // built are used, and a later start writes it.
    CJString cache;
    GetCachePath(cache, folder, name);
    if (WhyWritesAreRefused(ResolveDiskPath(cache.GetString(), 0)).IsNotEmpty())
        return false;
    CSequenceFrameInfoList list;
    list.m_FPS = m_FramesPerSecond;
    list.m_WasRLE = wasRunLength;
    list.m_Flags = m_Flags;
    list.m_BlitType = m_BlitType;

    // Layout: left to right, a new row before the atlas would pass a frame's
    // largest side; the rows share the frames evenly, so that little of the
    // atlas is left empty (it is held whole while the cache is read).
    int64_t totalWidth = 0;
    for (const CFrame* frame : m_Frames)
        totalWidth += frame ? int64_t(frame->GetWidth()) : 0;
    const int64_t rows = std::max<int64_t>(1, (totalWidth + kMaxAtlasSide - 1) / kMaxAtlasSide);
    const int64_t rowWidth = (totalWidth + rows - 1) / rows;
    std::vector<const CFrame*> pixels(m_Frames.size(), nullptr);
    std::vector<std::unique_ptr<CFrame>> copies;
    int32_t x = 0, rowTop = 0, rowHeight = 0, atlasWidth = 0, atlasHeight = 0;
    for (size_t i = 0; i < m_Frames.size(); ++i) {
        CFrame* frame = m_Frames[i];
        if (!frame) {
            list.Append(nullptr);
            continue;
        }
        const int32_t width = int32_t(frame->GetWidth());
        const int32_t height = int32_t(frame->GetHeight());
        if (width > 0 && height > 0) {
            copies.push_back(std::make_unique<CFrame>());
            pixels[i] = FramePixelsAs32Bit(*frame, *copies.back());
        }
        if (x > 0 && x + width > rowWidth) {
            rowTop += rowHeight;
            x = 0;
            rowHeight = 0;
        }
        auto* info = new CFrameInfo;
        info->m_Left = x;
        info->m_Top = rowTop;
        info->m_Right = x + width;
        info->m_Bottom = rowTop + height;
        info->m_UpperLeftXOffset = frame->GetOffsetX();
        info->m_UpperLeftYOffset = frame->GetOffsetY();
        list.Append(info);
        x = info->m_Right;
        rowHeight = std::max(rowHeight, height);
        atlasWidth = std::max(atlasWidth, info->m_Right);
        atlasHeight = std::max(atlasHeight, info->m_Bottom);
    }

    std::unique_ptr<CFrame> atlas;
    // No cache that could not be read back (the frames are used as built).
    if (atlasWidth > 0 && atlasHeight > 0 && !ImageSizeAllowed(uint32_t(atlasWidth), uint32_t(atlasHeight)))
        return false;
    if (atlasWidth > 0 && atlasHeight > 0) {
        atlas = CFrame::MakeOwned(uint32_t(atlasWidth), uint32_t(atlasHeight), 32);
        if (!atlas)
            return false;
        for (size_t i = 0, entry = 0; i < m_Frames.size(); ++i, ++entry) {
            const CFrameInfo* info = list.GetAt(uint32_t(entry));
            const CFrame* source = pixels[i];
            if (!info || !source)
                continue;
            const size_t rowBytes = size_t(info->m_Right - info->m_Left) * 4;
            for (int32_t row = 0; row < info->m_Bottom - info->m_Top; ++row)
                std::memcpy(atlas->Row(uint32_t(info->m_Top + row)) + size_t(info->m_Left) * 4,
                            source->Row(uint32_t(row)), rowBytes);
        }
    }

    CJString path;
    GetCachePath(path, folder, name);
    CFile file;
    bool written = file.Open(path.GetString(), FILE_CREATE | FILE_WRITE | FILE_MAKE_FOLDERS)
        && WriteCacheText(file, *this, list);
    if (written && atlas)
        written = WriteFrameBody(*atlas, file, jpegQuality, lossLess);
    if (!written) {
        if (file.IsOpen())
            file.GetFileBuf()->Discard();
        return false;
    }
    return file.Close();
}

bool CSequence::UpdateCacheSettings(const char* folder, const char* name)
{
    CJString path;
    GetCachePath(path, folder, name);
    std::unique_ptr<CObject> list;
    std::vector<uint8_t> pixels;
    {
        // A cache that cannot be read is built again, under the settings saved.
        CFile file;
        if (!file.Open(path.GetString(), FILE_READ))
            return true;
        uint32_t size = 0;
        uint8_t* block = CFileCompressor::ReadCompressed(file, size, kMaxCacheText);
        if (!block)
            return true;
        CObjectStream text;
        text.Attach(CMemFileBuf::Adopt(block, size), FILE_READ, IdMode::WithoutIds);
        text.SetQuiet(true);
        text.SetUntrusted(true);
        CLoadingPropertiesScope loading;
        CSequence old;
        CJString className;
        if (!text.ReadNonBlankLine(className))
            return true;
        className.TrimLeft();
        className.TrimRight();
        if (className.Compare("CSequence") != 0 || !old.ReadFromStream(text) || text.HasReadError())
            return true;
        list.reset(ReadObjectFromStream(text));
        const int64_t rest = file.GetSize() - file.GetPosition();
        if (text.HasReadError() || rest < 0 || rest > int64_t(UINT32_MAX))
            return true;
        pixels.resize(size_t(rest));
        if (file.Read(pixels.data(), uint32_t(rest)) != uint32_t(rest))
            return true;
    }
    // Only a cache of these very frames can take their offsets; any other
    // would go on serving its own settings.
    auto* frames = dynamic_cast<CSequenceFrameInfoList*>(list.get());
    if (!frames || frames->GetCount() != m_Frames.size())
        return false;
    for (uint32_t i = 0; i < frames->GetCount(); ++i) {
        CFrameInfo* info = frames->GetAt(i);
        const CFrame* frame = m_Frames[i];
        if (!info != !frame)
            return false;
        if (!info)
            continue;
        if (info->m_Right - info->m_Left != int32_t(frame->GetWidth())
            || info->m_Bottom - info->m_Top != int32_t(frame->GetHeight()))
            return false;
        info->m_UpperLeftXOffset = frame->GetOffsetX();
        info->m_UpperLeftYOffset = frame->GetOffsetY();
    }
    frames->m_FPS = m_FramesPerSecond;
    frames->m_Flags = m_Flags;
    frames->m_BlitType = m_BlitType;
    CFile file;
    bool written = file.Open(path.GetString(), FILE_CREATE | FILE_WRITE) && WriteCacheText(file, *this, *frames)
        && file.Write(pixels.data(), uint32_t(pixels.size())) == pixels.size();
    if (!written) {
        if (file.IsOpen())
            file.GetFileBuf()->Discard();
        return false;
    }
    return file.Close();
}

bool CSequence::LoadFromCache(const char* folder, const char* name)
{
    CJString path;
    GetCachePath(path, folder, name);
    CArchiveLayer& archives = GetArchiveLayer();
    const bool inArchive = archives.IsMounted() && archives.Contains(path.GetString());
    return ReadCache(folder, name, !inArchive);
}

bool CSequence::ReadCache(const char* folder, const char* name, bool atlasRequired)
{
    CJString path;
    GetCachePath(path, folder, name);
    CFile file;
    if (!file.Open(path.GetString(), FILE_READ))
        return false;
    CLoadFileScope loadFile(path.GetString());
    return ReadCacheFrom(file, atlasRequired);
}

bool CSequence::ReadCacheFrom(CFile& file, bool atlasRequired)
{
    CLoadingPropertiesScope loading;
    DeleteFrames();

    const uint32_t declared = CFileCompressor::PeekUncompressedSize(file);
    m_CachePastBound = declared > kMaxCacheText && declared <= kOlderCacheText;
    uint32_t size = 0;
    uint8_t* block = CFileCompressor::ReadCompressed(file, size, kMaxCacheText);
    if (!block)
        return false;
    CObjectStream text;
    text.Attach(CMemFileBuf::Adopt(block, size), FILE_READ, IdMode::WithoutIds);
    // A cache is derived data: damage refuses it (the caller rebuilds from
    // the images) instead of ending the program, and leaves none of its
    // settings behind for the rebuild.
    text.SetQuiet(true);
    text.SetUntrusted(true);
    CSequence settings;
    settings.CopyFrom(this);
    auto refuse = [&] {
        CopyFrom(&settings);
        return false;
    };
    CJString className;
    if (!text.ReadNonBlankLine(className))
        return false;
    className.TrimLeft();
    className.TrimRight();
    if (className.Compare("CSequence") != 0 || !ReadFromStream(text) || text.HasReadError())
        return refuse();
    std::unique_ptr<CObject> object(ReadObjectFromStream(text));
    auto* list = dynamic_cast<CSequenceFrameInfoList*>(object.get());
    if (!list || text.HasReadError())
        return refuse();
    text.Finish();

    const uint32_t count = list->GetCount();
    // One an older build wrote, unless it proves damaged below.
    const bool pastBound = count > kMaxSequenceCacheFrames;
    if (count == 0)
        return true;
    // Only frames with pixels need the atlas: a cache of empty frames has none.
    bool anyPixels = false;
    for (uint32_t i = 0; i < count && !anyPixels; ++i) {
        const CFrameInfo* info = list->GetAt(i);
        anyPixels = info && info->m_Right > info->m_Left && info->m_Bottom > info->m_Top;
    }
    CFrame atlas;
    const bool atlasRead = anyPixels && ReadFrameBody(atlas, file) && atlas.GetBitDepth() == 32;
    if (anyPixels && !atlasRead) {
        // A loose cache without its pixels is rebuilt; an archived one is
        // all there is.
        if (atlasRequired || pastBound)
            return false;
        for (uint32_t i = 0; i < count; ++i)
            AppendFrame(nullptr, CropColor0::No, CentreHotSpot::No);
        return true;
    }

    // The writer puts every frame inside the atlas and never lets two share
    // a pixel: a rectangle outside it, or a list asking for more pixels than
    // it holds (a short text may list a great many copies of one cell), is
    // damaged, and costs nothing.
    const uint32_t atlasWidth = atlasRead ? atlas.GetWidth() : UINT32_MAX;
    const uint32_t atlasHeight = atlasRead ? atlas.GetHeight() : UINT32_MAX;
    uint64_t listed = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const CFrameInfo* info = list->GetAt(i);
        if (!info)
            continue;
        if (!FitsAtlas(*info, atlasWidth, atlasHeight))
            return refuse();
        listed += uint64_t(info->m_Right - info->m_Left) * uint64_t(info->m_Bottom - info->m_Top);
    }
    if (atlasRead && listed > uint64_t(atlasWidth) * atlasHeight)
        return refuse();
    if (pastBound) {
        m_CachePastBound = true;
        return refuse();
    }

    CFrameFilter chain;
    chain.AddFilter(HasFlag(kSequenceDoDither) ? kFilterKindBitDepthDither : kFilterKindBitDepth);
    if (list->m_WasRLE)
        chain.AddFilter(kFilterKindRunLength);
    CFramesLeftOut leftOut;
    for (uint32_t i = 0; i < count; ++i) {
        const CFrameInfo* info = list->GetAt(i);
        if (!info) {
            AppendFrame(nullptr, CropColor0::No, CentreHotSpot::No);
            continue;
        }
        auto frame = std::make_unique<CFrame>();
        const uint32_t width = uint32_t(info->m_Right - info->m_Left);
        const uint32_t height = uint32_t(info->m_Bottom - info->m_Top);
        const std::string frameName = FrameName(file, i);
        if (!DataPixelsFit(uint64_t(width) * height, frameName.c_str())) {
            leftOut.Add(i + 1, GetLastImageRefusal());
            AppendFrame(nullptr, CropColor0::No, CentreHotSpot::No);
            continue;
        }
        if (width > 0 && height > 0 && frame->Create(width, height, 32)) {
            for (uint32_t row = 0; row < height; ++row)
                std::memcpy(frame->Row(row), atlas.Row(uint32_t(info->m_Top) + row) + size_t(info->m_Left) * 4,
                            size_t(width) * 4);
            chain.ApplyAll(*frame);
        }
        frame->SetOffset(int16_t(info->m_UpperLeftXOffset), int16_t(info->m_UpperLeftYOffset));
        ChargeDataPixels(*frame, ""); // fits: asked above
        AppendFrame(frame.release(), CropColor0::No, CentreHotSpot::No);
    }
    leftOut.Report(file.GetFileName().GetString());
    return true;
}

void CSequence::WriteExtraBinary(CObjectStream& stream)
{
    stream.WriteUint32(uint32_t(m_Bounds.left))
        .WriteUint32(uint32_t(m_Bounds.top))
        .WriteUint32(uint32_t(m_Bounds.right))
        .WriteUint32(uint32_t(m_Bounds.bottom));
    for (CFrame* frame : m_Frames) {
        const bool present = frame && frame->GetWidth() > 0 && frame->GetHeight() > 0;
        stream.WriteUint8(present ? 1 : 0);
        if (present)
            WriteFrameRecord(*frame, stream);
    }
}

bool CSequence::ReadExtraBinary(CObjectStream& stream)
{
    static CPerformanceMonitor zone("CSequence_ReadCustomPropBin");
    CPerformanceMonitorScope scope(zone);
    const uint32_t count = m_FrameCount;
    DeleteFrames();
    uint32_t bounds[4] = {};
    for (uint32_t& value : bounds)
        if (!stream.TryReadUint32(value))
            return false;
    m_Bounds = CRect{int32_t(bounds[0]), int32_t(bounds[1]), int32_t(bounds[2]), int32_t(bounds[3])};
    // As stored, which an added frame does not widen from.
    m_bBoundsCurrent = false;
    // Every slot takes at least its flag byte: a count the data cannot hold is damaged.
    const int64_t left = stream.GetSize() - stream.GetPosition();
    if (int64_t(count) > left)
        return false;
    m_Frames.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t flag = 0;
        if (stream.Read(&flag, 1) != 1) {
            DeleteFrames();
            return false;
        }
        if (flag == 0) {
            m_Frames.push_back(nullptr);
            continue;
        }
        auto frame = std::make_unique<CFrame>();
        if (!ReadFrameRecord(*frame, stream)) {
            DeleteFrames();
            return false;
        }
        m_Frames.push_back(frame.release());
    }
    m_FrameCount = count;
    return true;
}
