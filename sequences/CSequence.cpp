#include "sequences/CSequence.h"

#include "images/CustomEditorHooks.h"

#include "sequences/SequenceScopes.h"

#include "blit/CBlitTypeList.h"
#include "foundation/ArchiveSeam.h"
#include "foundation/CFile.h"
#include "foundation/CStartupTextLog.h"
#include "foundation/CurrentLoadFile.h"
#include "foundation/EnumerateFiles.h"
#include "foundation/FatalError.h"
#include "foundation/FilePaths.h"
#include "foundation/PlatformWrappers.h"
#include "images/CFilterChangeBitDepth.h"
#include "images/CFrame.h"
#include "images/CFrameFilter.h"
#include "images/CFrameImageIO.h"
#include "images/DataPixelBudget.h"
#include "images/FrameCache.h"
#include "objects/CBoolProperty.h"
#include "objects/CFloatProperty.h"
#include "objects/CIntProperty.h"
#include "objects/CListProperty.h"
#include "objects/CObjectFileArray.h"
#include "objects/ObjectFileCallbacks.h"
#include "objects/ObjectListServices.h"
#include "platform/ReplacementGroup.h"
#include "render/SurfaceHelpers.h"
#include "shell/CGameBase.h"
#include "shell/GameWindow.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_set>
#include <utility>

OMBRISALT_IMPLEMENT_CLASS(CSequence, 120)

namespace {

bool g_Reloading = false;

constexpr const char* kUseEveryHelp
    = "This allows frames to be skipped.  A value of 1 means to use every frame.  A vale of 2 means to use every other "
      "frame.  A value of 3 would use every third frame.";
constexpr const char* kAlwaysIncludeLastHelp
    = "Only relevant when frame skipping is used such as \"Use Every 2 frames\".  Checking this box will grantee the "
      "last frame will never be skipped.  This can be important for animation which stop on the last frame such as "
      "death.  This should NOT be used for looping sequences such as walk.\n\nChange does not take effect until data "
      "is reloaded";
constexpr const char* kLossLessHelp
    = "This controls if the image is saved with lossy or loss less   compression.  Lossy compression makes a lower "
      "quality image   and a smaller file size, Loss Less is perfect quality but a   larger file size.";
constexpr const char* kQualityHelp
    = "This controls the quality of the lossy compression.  A higher number makes a higher quality image with a "
      "larger file size.  A lower number will make a lower quality image with a smaller file size.";

std::string Printf(const char* format, const char* a, const char* b)
{
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    const int length = std::snprintf(nullptr, 0, format, a, b);
    std::string out(size_t(std::max(length, 0)) + 1, '\0');
    std::snprintf(out.data(), out.size(), format, a, b);
#pragma GCC diagnostic pop
    out.resize(size_t(std::max(length, 0)));
    return out;
}

// Every image file of the sequence's folder "<folder>/-<name>/", by the
// readers' extensions.
void ListImages(const char* folder, const char* name, CFileNameArray& found)
{
    const std::string imageFolder = Printf("%s/-%s/", folder, name);
    CEnumerateFilesOptions options;
    options.SetFolder(imageFolder.c_str());
    options.SetRecurse(2);
    options.namesOnly = 1;
    for (uint32_t i = 0; i < CFrameImageIO::GetReaderCount(); ++i)
        options.AddExtension(CFrameImageIO::GetReaderInfo(i));
    found.Enumerate(options, 0);
}

// Images there are, each of them a PNG.
bool AllArePng(CFileNameArray& found)
{
    for (int32_t i = 0; i < found.GetCount(); ++i) {
        const CJString& file = found.GetRecord(i).name;
        if (file.GetLength() < 4 || file.Mid(file.GetLength() - 4).CompareNoCase(".png") != 0)
            return false;
    }
    return found.GetCount() > 0;
}

// Names ordered as the C library's case-blind compare orders them: letters
// folded to lower case, so "_" sorts before letters.
bool LessNoCase(const std::string& a, const std::string& b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        int ca = uint8_t(a[i]), cb = uint8_t(b[i]);
        if (ca >= 'A' && ca <= 'Z')
            ca += 32;
        if (cb >= 'A' && cb <= 'Z')
            cb += 32;
        if (ca != cb)
            return ca < cb;
    }
    return a.size() < b.size();
}

bool IsInArchive(const char* path)
{
    CArchiveLayer& archives = GetArchiveLayer();
    return archives.IsMounted() && archives.Contains(path);
}

} // namespace

CFrameFilter& GetDefaultFrameFilters()
{
    static CFrameFilter* head = new CFrameFilter;
    head->ClearChain();
    for (int32_t kind : {3, 6, 7, 11, 8})
        head->AddFilter(kind);
    return *head;
}

std::vector<uint32_t> PickSequenceImages(uint32_t imageCount, uint32_t useEvery, bool alwaysIncludeLast)
{
    std::vector<uint32_t> kept;
    if (imageCount == 0)
        return kept;
    if (useEvery <= 1) {
        for (uint32_t i = 0; i < imageCount; ++i)
            kept.push_back(i);
        return kept;
    }
    const uint32_t k = (imageCount - 1) / useEvery + 1;
    for (uint32_t i = 0; i < k; ++i)
        kept.push_back(i * useEvery);
    if (alwaysIncludeLast && kept.back() != imageCount - 1)
        kept.push_back(imageCount - 1);
    return kept;
}

void CSequence::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CSequence;
    d.Add(&C::m_FramesPerSecond, "Image/Frames Per Second", 15.0f);
    d.AddListReference(&C::m_BlitType, "Blit Type", &CBlitTypeList::SGetInstance(), "Transparent Mask")
        .Setter<&C::SetBlitTypeIndex>();
    d.Add(&C::m_XOffset, "Image/X Offset", 0).Setter<&C::SetXOffset>();
    d.Add(&C::m_YOffset, "Image/Y Offset", 0).Setter<&C::SetYOffset>();
    d.Add(&C::m_UseEvery, "Image/Use Every", 1u)
        .Range(1, 99999)
        .Units("Frames")
        .Description(kUseEveryHelp)
        .Setter<&C::SetUseEvery>();
    d.Add(&C::m_bAlwaysIncludeLastFrame, "Image/Always Include Last Frame", false).Description(kAlwaysIncludeLastHelp);
    d.AddBits(&C::m_Flags, "Image/Center Hot Spot", kSequenceCenterHotSpot, BitDefault::Set)
        .Setter<&C::SetCenterHotSpot>();
    d.AddBits(&C::m_Flags, "Image/Blended With Black", kSequenceBlendedWithBlack, BitDefault::Set)
        .Setter<&C::SetBlendedWithBlack>()
        .Get()
        .SetShown([](const CObject& sequence, bool) {
            return static_cast<const CSequence&>(sequence).BuildsBlendedWithBlack();
        });
    d.AddBits(&C::m_Flags, "Load/Crop Clor 0", kSequenceCropColor0, BitDefault::Set).Setter<&C::SetCropColor0>();
    d.AddBits(&C::m_Flags, "Load/Use 8 Bit Alpha", kSequenceUse8BitAlpha, BitDefault::Clear)
        .Setter<&C::SetUse8BitAlpha>();
    d.AddBits(&C::m_Flags, "Load/Run Length Encode", kSequenceRunLength, BitDefault::Set).Setter<&C::SetRunLength>();
    d.AddBits(&C::m_Flags, "Image/Do Dither", kSequenceDoDither, BitDefault::Set).Setter<&C::SetDoDither>();
    d.AddBits(&C::m_Flags, "Image/Loss Less 2", kSequenceLossLess, BitDefault::Clear)
        .Description(kLossLessHelp)
        .Setter<&C::SetLossLess>();
    d.Add(&C::m_JPEGQuality, "Image/JPEG Quality 2", 80u)
        .Range(0, 100)
        .Description(kQualityHelp)
        .Setter<&C::SetJPEGQuality>();
    d.Add(&C::m_bMipmapForNativeVersion, "Image/Mipmap For Native Version", true);
    // Travels only in the binary form, which carries the frames after it.
    d.Add(&C::m_FrameCount, "", 0u).SavedOnlyInBinary().NoEditorRow();
    for (const char* old : {"Loss Less", "JPEG Quality", "Quality", "Quality2", "Dither", "Fixed Width"})
        d.GetClassInfo().AddIgnoredPropertyName(old);
}

CSequence::CSequence()
{
    InitDeclaredProperties();
}

void CSequence::AddCustomEditors(CObjectEditor* editor)
{
    if (editor)
        GetCustomEditorHooks().AddSequenceEditor(*editor, *this);
}

CSequence::~CSequence()
{
    DeleteFrames();
    DestroyDeclaredProperties();
}

void CSequence::ResetToDefaults()
{
    CLoadingPropertiesScope loading;
    CObject::ResetToDefaults();
}

void CSequence::ReadCustomProperties(const CJString& name, const CJString& value, CObjectStream& stream)
{
    if (name.Compare("Load Black Bias") == 0) {
        if (value.ToInt() != 0)
            m_BlitType = CBlitTypeList::SGetInstance().FindValue(&GetBlackBiasBlitType());
        return;
    }
    CObject::ReadCustomProperties(name, value, stream);
}

uint32_t CSequence::GetMemorySize()
{
    uint32_t size = GetClassInfo()->GetObjectSize();
    for (CFrame* frame : m_Frames) {
        if (frame)
            size += frame->GetMemorySize();
        size += uint32_t(sizeof(CFrame*));
    }
    return size;
}

// --- Frames ---

void CSequence::DeleteFrames()
{
    for (CFrame* frame : m_Frames)
        delete frame;
    m_Frames.clear();
    m_FrameCount = 0;
    m_bBoundsCurrent = false;
}

void CSequence::AppendFrame(CFrame* frame, CropColor0 crop, CentreHotSpot centre)
{
    if (frame) {
        CRect whole{0, 0, int32_t(frame->GetWidth()), int32_t(frame->GetHeight())};
        if (crop == CropColor0::Yes) {
            CFilterCropColor0 filter;
            filter.Apply(*frame, whole);
            whole = CRect{0, 0, int32_t(frame->GetWidth()), int32_t(frame->GetHeight())};
        }
        if (centre == CentreHotSpot::Yes) {
            CFilterCenterHotSpot filter;
            filter.Apply(*frame, whole);
        }
    }
    m_Frames.push_back(frame);
    m_FrameCount = uint32_t(m_Frames.size());
    if (!m_bBoundsCurrent)
        RecomputeBounds();
    else if (frame)
        WidenBounds(*frame);
}

namespace {

// Hot spots are 16 bits: an offset from a properties file of any size moves
// them modulo 2^16, never through a signed overflow.
int16_t Shifted(int32_t at, int32_t by)
{
    return int16_t(uint16_t(uint32_t(at) - uint32_t(by)));
}

int32_t Negated(int32_t value)
{
    return int32_t(0u - uint32_t(value));
}

} // namespace

void CSequence::OffsetFrames(int32_t dx, int32_t dy)
{
    if (dx == 0 && dy == 0)
        return;
    m_bBoundsCurrent = false;
    for (CFrame* frame : m_Frames)
        if (frame)
            frame->SetOffset(Shifted(frame->GetOffsetX(), dx), Shifted(frame->GetOffsetY(), dy));
}

CFrame* CSequence::GetFrame(uint32_t index)
{
    if (index >= m_Frames.size())
        return nullptr;
    return m_Frames[index];
}

uint32_t CSequence::GetCurrentFrameIndex() const
{
    const uint32_t count = GetFrameCount();
    if (count == 0)
        return 0;
    const uint32_t ticks = GetTickCount24();
    const double index = std::nearbyint(double(ticks) * double(GetFramesPerSecond()) / 1000.0);
    if (!(index >= 0.0))
        return 0;
    return uint32_t(std::fmod(index, double(count)));
}

CFrame* CSequence::GetCurrentFrame()
{
    if (m_Frames.empty())
        return nullptr;
    return GetFrame(GetCurrentFrameIndex());
}

void CSequence::DrawCurrentFrame(CFrameInterface& destination, int32_t x, int32_t y)
{
    if (CFrame* frame = GetCurrentFrame())
        BlitAt(destination, *frame, x, y, GetBlitType());
}

void CSequence::DrawFrameAtPosition(CFrameInterface& destination, float position, int32_t x, int32_t y)
{
    if (CFrame* frame = GetFrameAtPosition(position))
        BlitAt(destination, *frame, x, y, GetBlitType());
}

void CSequence::DrawFrame(CFrameInterface& destination, int32_t index, int32_t x, int32_t y)
{
    if (index < 0 || uint32_t(index) >= m_Frames.size() || !m_Frames[uint32_t(index)])
        return;
    BlitAt(destination, *m_Frames[uint32_t(index)], x, y, GetBlitType());
}

CFrame* CSequence::GetFrameAtPosition(float position)
{
    const uint32_t count = GetFrameCount();
    if (count == 0)
        return nullptr;
    const double scaled = double(count) * double(position);
    uint32_t index = count - 1;
    if (scaled >= 0.0 && scaled < double(count))
        index = std::min(uint32_t(scaled), count - 1);
    return GetFrame(index);
}

float CSequence::GetFramesPerSecond() const
{
    return m_UseEvery == 0 ? m_FramesPerSecond : m_FramesPerSecond / float(m_UseEvery);
}

uint32_t CSequence::IndexOfFrame(const CFrame* frame) const
{
    for (size_t i = 0; i < m_Frames.size(); ++i)
        if (m_Frames[i] == frame)
            return uint32_t(i);
    return 0;
}

void CSequence::RecomputeBounds()
{
    m_Bounds = CRect{99999, 999999, -999999, -999999};
    for (CFrame* frame : m_Frames)
        if (frame)
            WidenBounds(*frame);
    m_bBoundsCurrent = true;
}

void CSequence::WidenBounds(CFrame& frame)
{
    CRect bounds;
    frame.GetBounds(bounds);
    m_Bounds.left = std::min(m_Bounds.left, bounds.left);
    m_Bounds.top = std::min(m_Bounds.top, bounds.top);
    m_Bounds.right = std::max(m_Bounds.right, bounds.right);
    m_Bounds.bottom = std::max(m_Bounds.bottom, bounds.bottom);
}

void CSequence::ApplyOffsets()
{
    OffsetFrames(m_XOffset, m_YOffset);
    RecomputeBounds();
}

CBlitType& CSequence::GetBlitType() const
{
    CBlitType* type = CBlitTypeList::SGetInstance().GetBlitType(m_BlitType);
    return type ? *type : GetTransparentMaskBlitType();
}

// --- Settings ---

template <typename T>
void CSequence::StoreAndReload(T& field, T value)
{
    if (field == value)
        return;
    field = value;
    Reload();
}

void CSequence::StoreFlag(uint32_t bit, bool set)
{
    StoreAndReload(m_Flags, set ? (m_Flags | bit) : (m_Flags & ~bit));
}

void CSequence::SetBlendedWithBlack(const uint32_t& bits)
{
    if (!m_BuiltFromPng || IsLoadingSequenceProperties())
        StoreFlag(kSequenceBlendedWithBlack, bits != 0);
}

void CSequence::SetBlitTypeIndex(int32_t index)
{
    StoreAndReload(m_BlitType, index);
}

void CSequence::SetUseEvery(uint32_t every)
{
    StoreAndReload(m_UseEvery, every);
}

void CSequence::SetJPEGQuality(uint32_t quality)
{
    StoreAndReload(m_JPEGQuality, quality);
}

void CSequence::SetXOffset(int32_t offset)
{
    const int32_t old = m_XOffset;
    OffsetFrames(Negated(old), Negated(m_YOffset));
    m_XOffset = offset;
    OffsetFrames(offset, m_YOffset);
    RecomputeBounds();
}

void CSequence::SetYOffset(int32_t offset)
{
    const int32_t old = m_YOffset;
    OffsetFrames(Negated(m_XOffset), Negated(old));
    m_YOffset = offset;
    OffsetFrames(m_XOffset, offset);
    RecomputeBounds();
}

bool CSequence::FindOwnFolder(std::string& listFolder, std::string& name, CJString* file)
{
    CJString path;
    if (!FindObjectFileName(this, &path))
        return false;
    // ".../<list folder>/-<name>/Properties.txt", either separator.
    std::string folder(path.GetString());
    std::replace(folder.begin(), folder.end(), '\\', '/');
    size_t cut = folder.rfind('/');
    if (cut == std::string::npos)
        return false;
    folder.resize(cut);
    cut = folder.rfind('/');
    listFolder = cut == std::string::npos ? std::string() : folder.substr(0, cut);
    name = cut == std::string::npos ? folder : folder.substr(cut + 1);
    if (!name.empty() && name[0] == '-')
        name.erase(0, 1);
    if (file)
        *file = path;
    return true;
}

bool CSequence::IsCacheArchived()
{
    std::string listFolder, name;
    if (!FindOwnFolder(listFolder, name))
        return false;
    CJString cache;
    GetCachePath(cache, listFolder.c_str(), name.c_str());
    return IsInArchive(cache.GetString());
}

bool CSequence::IsCacheWritable()
{
    std::string listFolder, name;
    if (!FindOwnFolder(listFolder, name))
        return true;
    CJString cache;
    GetCachePath(cache, listFolder.c_str(), name.c_str());
    return !IsInArchive(cache.GetString())
        && (!FileExists(cache.GetString(), 0) || IsFileWritable(cache.GetString(), 0));
}

void CSequence::Reload()
{
    if (IsLoadingSequenceProperties() || g_Reloading)
        return;
    std::string listFolder, name;
    // The cache and "Properties.txt" still hold the settings before the
    // change, so neither is read: the images are built under the settings
    // held. An archived cache cannot be built again; without images the
    // frames stay as they are.
    if (!FindOwnFolder(listFolder, name) || IsCacheArchived())
        return;
    g_Reloading = true;
    (void)Build(listFolder.c_str(), name.c_str(), nullptr, BuildFor::Edit);
    g_Reloading = false;
}

bool CSequence::SaveSettings(CJString* failedFile)
{
    std::string listFolder, name;
    CJString file, cache;
    if (!FindOwnFolder(listFolder, name, &file))
        return false;
    GetCachePath(cache, listFolder.c_str(), name.c_str());
    // The cache is what the next start reads while it is no older than
    // "Properties.txt": both are replaced together, or neither.
    plat::CReplacementGroup group;
    const auto failed = [&](const CJString& which) {
        if (failedFile)
            *failedFile = which;
        if (const std::string why = group.WhyRefused(); !why.empty() && GetFailedSaveReason().IsEmpty())
            NoteFailedSaveReason(CJString(why.c_str()));
        return false;
    };
    if (!IsCacheWritable())
        return failed(cache);
    if (!SaveToFile(file.GetString(), 0))
        return failed(file);
    g_Reloading = true;
    const bool fromImages = Build(listFolder.c_str(), name.c_str(), nullptr, BuildFor::Save);
    g_Reloading = false;
    // Without images the cache is the only copy of the frames: it takes the
    // settings over its pixels. A build that kept no cache (over the budget,
    // past the longest) leaves the old one older than the settings saved, so
    // the next start builds again.
    if (!fromImages && !UpdateCacheSettings(listFolder.c_str(), name.c_str()))
        return failed(cache);
    std::string failedPath;
    if (group.Commit(&failedPath))
        return true;
    if (failedPath == ResolveDiskPath(file.GetString(), 0))
        return failed(file);
    if (failedPath == ResolveDiskPath(cache.GetString(), 0))
        return failed(cache);
    return failed(CJString(failedPath.c_str()));
}

CFrameFilter& CSequence::BuildFilterChain(CFrameFilter* given)
{
    CFrameFilter& chain = given ? *given : GetDefaultFrameFilters();
    if (HasFlag(kSequenceDoDither)) {
        chain.RemoveFilter(kFilterKindBitDepth);
        chain.AddFilter(kFilterKindBitDepthDither);
    }
    if (HasFlag(kSequenceUse8BitAlpha)) {
        chain.RemoveFilter(kFilterKindRunLength);
        chain.AddFilter(9);
        if (chain.HasFilter(kFilterKindRemoveDeadAlpha)) {
            chain.RemoveFilter(kFilterKindRemoveDeadAlpha);
            chain.InsertFilter(std::make_unique<CFilterRemoveDeadAlpha>(3));
        }
    }
    if (!HasFlag(kSequenceRunLength))
        chain.RemoveFilter(kFilterKindRunLength);
    if (HasFlag(kSequenceCenterHotSpot))
        chain.AddFilter(kFilterKindCenterHotSpot);
    if (!HasFlag(kSequenceBlendedWithBlack))
        chain.RemoveFilter(kFilterKindRemoveBlackBlending);
    CBlitTypeList& types = CBlitTypeList::SGetInstance();
    CBlitType* type = types.GetBlitType(m_BlitType);
    if (type && type == &GetBlackBiasBlitType()) {
        chain.RemoveFilter(kFilterKindRemoveBlackBlending);
        chain.AddFilter(kFilterKindBlackBias);
    }
    if (type && m_BlitType == types.Find("Blend Amplify Light")) {
        chain.RemoveFilter(kFilterKindRemoveBlackBlending);
        chain.AddFilter(5);
    }
    if (!HasFlag(kSequenceCropColor0))
        chain.RemoveFilter(kFilterKindCropColor0);
    return chain;
}

// --- Files ---

void CSequence::GetCachePath(CJString& out, const char* folder, const char* name)
{
    CJString cacheFolder;
    cacheFolder.SetPath(GetCacheFolderName(), folder ? folder : "");
    out.Set(Printf("%s/%s.Sequence", cacheFolder.GetString(), name ? name : "").c_str());
}

const char* CSequence::GetCacheExtension()
{
    SetSequenceCacheOptions(CFrame::SGetBitDepth(), GetFrameOptionFlag());
    return GetSequenceCacheExtension();
}

bool CSequence::IsCacheStale(const char* folder, const char* name)
{
    CJString cache;
    GetCachePath(cache, folder, name);
    for (uint32_t i = 0; i < CFrameImageIO::GetReaderCount(); ++i) {
        const std::string pattern = Printf("%s/-%s/*", folder, name) + CFrameImageIO::GetReaderInfo(i);
        if (IsNewer(pattern.c_str(), 0, cache.GetString(), 0))
            return true;
    }
    if (IsNewer(Printf("%s/-%s/Properties.txt", folder, name).c_str(), 0, cache.GetString(), 0))
        return true;
    return CFrame::SGetBitDepth() == 8 && IsNewer("Cache/Palettes/GamePalette.pal", 0, cache.GetString(), 0);
}

namespace {

// The 1-based line that ends at or holds the byte before position.
int32_t LineEndingAt(const char* path, int64_t position)
{
    CFile file;
    int32_t line = 1;
    if (!file.Open(path, FILE_READ))
        return line;
    char bytes[4096];
    int64_t left = position;
    while (left > 0) {
        const uint32_t want = uint32_t(std::min<int64_t>(left, int64_t(sizeof bytes)));
        const uint32_t got = file.Read(bytes, want);
        if (got == 0)
            break;
        // The stray line's own end is the last byte read: it is not counted.
        for (uint32_t i = 0; i < got; ++i)
            if (bytes[i] == '\n' && left - int64_t(i) > 1)
                ++line;
        left -= got;
    }
    return line;
}

// The file as its author finds it: below the data folder.
CJString ShownPath(const char* path)
{
    if (path[0] == '/' || path[0] == '\\' || path[0] == '.')
        return CJString(path);
    CJString shown = GetBaseFolder(0);
    shown.Append(path);
    return shown;
}

void ReportDamagedProperties(const char* path, const CObjectStream& stream)
{
    if (stream.GetStrayBlockPlace() < 0)
        return;
    CJString text;
    text.Format(
        "The file \"%s\" can not be read: line %d is a \"{\" where a property was expected.\n\nBetween the "
        "\"{\" under \"CSequence\" and the last \"}\" each line is one property, written \"Name=Value\". Only a "
        "property that holds an object, written \"Name=Class Name\", is followed by a block of its own between "
        "\"{\" and \"}\".\nMend or remove that line, or delete the file and let the game write a new one.",
        ShownPath(path).GetString(), int(LineEndingAt(path, stream.GetStrayBlockPlace())));
    FatalDataError("Damaged Sequence Properties", text.GetString());
}

} // namespace

CObject* CSequence::LoadPropertiesFile(const char* path, CJString* error)
{
    CObjectStream stream;
    if (!stream.Open(path, FILE_IN_MEMORY | FILE_READ, IdMode::WithoutIds))
        return nullptr;
    stream.SetKeepStrayBlockPlace(true);
    CObject* object = nullptr;
    {
        CLoadFileScope file(path);
        object = LoadObjectFromStream(stream, ReportUnknownClass::Quiet, error);
        stream.Finish();
    }
    stream.Close();
    ReportDamagedProperties(path, stream);
    return object;
}

void CSequence::ReadOrCreateProperties(const char* folder, const char* name)
{
    const std::string path = Printf("%s/-%s/Properties.txt", folder, name);
    {
        CObjectStream stream;
        // As any object text is read: the class line and every other only
        // as far as a name can run, so no long line is held.
        if (stream.Open(path.c_str(), FILE_IN_MEMORY | FILE_READ, IdMode::WithoutIds)) {
            stream.SetKeepStrayBlockPlace(true);
            {
                CLoadingPropertiesScope loading;
                CLoadFileScope file(path.c_str());
                ReadFromStream(stream);
            }
            stream.Close();
            ReportDamagedProperties(path.c_str(), stream);
            return;
        }
    }
    ResetToDefaults();
    if (SaveToFile(path.c_str(), 0))
        return;
    const std::string text
        = Printf("The sequence \"%s/%s\" has no Properties.txt or it is unreadable and one cannot be created!\nIt has "
                 "most likely been zipped without first being tested in the game.\nUnzip it and test it, then zip it "
                 "back up.  Or delete the properties.txt and let the game build a new one.",
                 folder, name);
    FatalDataError("Can't Read Or Save Properties", text.c_str());
}

bool CSequence::Load(const char* folder, const char* name, CFrameFilter* chain)
{
    CJString path;
    GetCachePath(path, folder, name);
    const bool inArchive = IsInArchive(path.GetString());
    if (inArchive || !IsCacheStale(folder, name)) {
        if (ReadCache(folder, name, !inArchive)) {
            CFileNameArray found;
            ListImages(folder, name, found);
            m_BuiltFromPng = AllArePng(found);
            return true;
        }
    }
    CStartupTextLog::Instance().Print(Printf("Building sequence \"%s/%s\" from Images", folder, name).c_str(),
                                      LogLineEnd::EndLine, 0);
    if (BuildFromImages(folder, name, chain))
        return true;
    // No images: the cache (when there is one) is the only copy of the frames.
    return ReadCache(folder, name, false);
}

bool CSequence::BuildFromImages(const char* folder, const char* name, CFrameFilter* given)
{
    return Build(folder, name, given, g_Reloading ? BuildFor::Edit : BuildFor::Load);
}

bool CSequence::Build(const char* folder, const char* name, CFrameFilter* given, BuildFor purpose)
{
    CJString cachePath;
    GetCachePath(cachePath, folder, name);
    const bool archived = IsInArchive(cachePath.GetString());
    const bool cachePastBound = std::exchange(m_CachePastBound, false);
    const auto cannotRebuild = [&] {
        const std::string text = Printf("Sequence \"%s\" could not be re-built because it is storred in an achive",
                                        cachePath.GetString(), "");
        FatalDataError("Fatal Error loading a sequence", text.c_str());
    };
    if (archived && !cachePastBound)
        cannotRebuild();

    // The images: every file of a reader's extension, by name without it.
    CFileNameArray found;
    ListImages(folder, name, found);
    m_BuiltFromPng = AllArePng(found);
    struct SImage {
        std::string name; // without its extension
        std::string file;
    };
    std::vector<SImage> names;
    std::unordered_set<std::string> notFiles; // named pipes, devices: no reader opens them
    for (int32_t i = 0; i < found.GetCount(); ++i) {
        const CFileNameArray::Record& record = found.GetRecord(i);
        SImage image{record.name.GetString(), record.name.GetString()};
        const size_t dot = image.name.rfind('.');
        if (dot != std::string::npos)
            image.name.resize(dot);
        if (record.notRegular && !record.nameLost)
            notFiles.insert(image.name);
        names.push_back(std::move(image));
    }
    if (archived && names.empty())
        cannotRebuild();

    // An edit or a save builds under the settings the sequence holds.
    if (purpose == BuildFor::Load)
        ReadOrCreateProperties(folder, name);
    CFrameFilter& chain = BuildFilterChain(given);
    if (names.empty())
        return false;
    std::stable_sort(names.begin(), names.end(),
                     [](const SImage& a, const SImage& b) { return LessNoCase(a.name, b.name); });
    const auto sameName = [&](size_t a, size_t b) {
        return b < names.size() && !LessNoCase(names[a].name, names[b].name)
            && !LessNoCase(names[b].name, names[a].name);
    };
    const std::vector<uint32_t> kept
        = PickSequenceImages(uint32_t(names.size()), m_UseEvery, m_bAlwaysIncludeLastFrame);

    // The frames are cached at 32 bits as the filters leave them; the depth
    // and the run-length form are made on every load from the cache.
    const bool wasRunLength = chain.HasFilter(kFilterKindRunLength);
    CFrameFilter buildChain;
    buildChain.CopyFiltersFrom(chain);
    buildChain.RemoveFilter(kFilterKindBitDepth);
    buildChain.RemoveFilter(kFilterKindRunLength);

    CStartupTextLog& log = CStartupTextLog::Instance();
    log.Print(" : Seq Frm(?]: ", LogLineEnd::Continue, 0);
    const std::string readerFolder = Printf("%s/-%s", folder, name);
    // Reads the images into the frames; true when the data's budget refused one.
    // A second read finds what the first did and says it once.
    const auto readImages = [&](bool report) {
        DeleteFrames();
        bool overBudget = false;
        CFramesLeftOut leftOut;
        for (size_t i = 0; i < kept.size(); ++i) {
            char number[16];
            std::snprintf(number, sizeof number, "%04u", unsigned(i + 1));
            log.Print(number, LogLineEnd::Continue, 0);
            auto frame = std::make_unique<CFrame>();
            const size_t at = kept[i];
            const char* image = names[at].name.c_str();
            // A picture alone under its name is opened as listed: looking for
            // it under each reader's extension would read its folder for every
            // spelling not there, and the folder changes as pictures are
            // rewritten. Two of one name go the long way, which refuses them.
            std::unique_ptr<CFrameImageIO> reader;
            const size_t dot = names[at].file.rfind('.');
            if ((at > 0 && sameName(at - 1, at)) || sameName(at, at + 1) || dot == std::string::npos) {
                reader.reset(CFrameImageIO::FindImageFile(readerFolder.c_str(), image, 0));
            } else {
                reader.reset(CFrameImageIO::CreateForExtension(names[at].file.c_str() + dot));
                const std::string path = readerFolder + "/" + names[at].file;
                if (reader && FileExists(path.c_str(), 0))
                    reader->SetPath(path.c_str());
                else
                    reader.reset();
            }
            CJString why;
            bool refusedForBudget = false;
            if (!reader && notFiles.count(image)) {
                why.Format("\"%s/%s\" is not a regular file (a named pipe or a device, or a link to one)",
                           readerFolder.c_str(), image);
            } else if (!reader) {
                // Listed, yet not there by its name: the name lost characters.
                why.Format("the file name of \"%s/%s\" has characters that the data's file names cannot hold (read "
                           "as \"?\"); rename the file",
                           readerFolder.c_str(), image);
            } else {
                const char* path = reader->GetPath().GetString();
                ClearLastImageRefusal();
                bool loaded = false;
                {
                    const CChargedImageScope charged(path);
                    loaded = reader->LoadFrame(*frame, &buildChain, 0);
                    refusedForBudget = charged.Refused();
                }
                if (loaded && !ChargeDataPixels(*frame, path)) {
                    refusedForBudget = true;
                    loaded = false;
                }
                overBudget = overBudget || refusedForBudget;
                if (!loaded && GetLastImageRefusal().IsNotEmpty())
                    why = GetLastImageRefusal();
                else if (!loaded)
                    why.Format("Error loading frame \"%s\"", path);
            }
            if (why.IsNotEmpty()) {
                frame.reset();
                if (refusedForBudget) {
                    leftOut.Add(uint32_t(i + 1), why);
                } else if (report) {
                    CJString item;
                    item.Format("%s/%s (frame %u)", folder, name, unsigned(i + 1));
                    ReportItemLeftOut(item, why);
                }
            }
            m_Frames.push_back(frame.release());
        }
        if (report)
            leftOut.Report((std::string(folder) + "/" + name).c_str());
        m_FrameCount = uint32_t(m_Frames.size());
        ApplyOffsets();
        return overBudget;
    };
    // A cache that cannot be written leaves the frames just built in use; a
    // frame refused for the data's budget is not the images' doing, so its
    // hole is never kept in the cache.
    const bool overBudget = readImages(true);
    const bool written = purpose != BuildFor::Edit && !overBudget && !m_Frames.empty()
        && SaveToCache(folder, name, m_JPEGQuality, HasFlag(kSequenceLossLess), wasRunLength);
    // The frames in use are the cache's, as every later start reads them. The
    // read drops the built ones first, so the pixels are never held twice; a
    // cache that does not read back is built again and left unused.
    bool readBack = written && purpose == BuildFor::Load;
    if (readBack && !ReadCache(folder, name, true)) {
        readImages(false);
        readBack = false;
    }
    if (!readBack) {
        // The same depth and run-length form a cache load gives.
        for (CFrame* frame : m_Frames) {
            if (!frame)
                continue;
            CFrameFilter finish;
            finish.AddFilter(HasFlag(kSequenceDoDither) ? kFilterKindBitDepthDither : kFilterKindBitDepth);
            if (wasRunLength)
                finish.AddFilter(kFilterKindRunLength);
            finish.ApplyAll(*frame);
        }
    }
    m_FrameCount = uint32_t(m_Frames.size());
    RecomputeBounds();
    if (CGameBase::SGetInstance())
        RunMessageLoop();
    return true;
}
