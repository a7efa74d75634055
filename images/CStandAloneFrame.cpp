#include "images/CStandAloneFrame.h"

#include "blit/CBlitTypeList.h"
#include "foundation/CFile.h"
#include "foundation/FileHelpers.h"
#include "images/CFilterChangeBitDepth.h"
#include "images/CFilterRLEColor0.h"
#include "images/CFrameFilter.h"
#include "images/CFrameImageIO.h"
#include "images/CPNGFileIO.h"
#include "images/FrameCache.h"
#include "objects/CBoolProperty.h"
#include "objects/CIntProperty.h"
#include "objects/CListProperty.h"
#include "objects/CPropertyDeclarer.h"
#include "objects/ObjectFileCallbacks.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

OMBRISALT_IMPLEMENT_CLASS(CStandAloneFrame, 9.0)

namespace {

bool g_RebuildsEnabled = false;
bool g_Rebuilding = false;

constexpr const char* kRunLengthHelp
    = "This controls if the image is held in memory in a compressed format.  Images with tanslucency must be RLE to "
      "see the tanslucency.           Images that are designed to wrap (like window background textures) or that draw "
      "directly to the screen (like a load spinner) cannont be RLE encoded.";
constexpr const char* kAllCopyHelp
    = "This forces a frame that is RLEed to have no Fills in it.  Fills are   when the same pixel is repeated many "
      "times.  Things like JWindow Skin Alpha channels should set this so that they get the correct texture.   ";
constexpr const char* kLossLessHelp
    = "This controls if the image is saved with lossy or loss less   compression.  Lossy compression makes a lower "
      "quality image   and a smaller file size, Loss Less is perfect quality but a   larger file size.";
constexpr const char* kQualityHelp
    = "This controls the quality of the lossy compression.  A higher number makes a higher quality image with a "
      "larger file size.  A lower number will make a lower quality image with a smaller file size.";

// The source CFrame::Load builds from: "-name" first, then "name".
bool SourceIsPng(const char* folder, const char* name, uint32_t fileFlags)
{
    CJString dashed("-");
    dashed += name;
    std::unique_ptr<CFrameImageIO> source(CFrameImageIO::FindImageFile(folder, dashed.GetString(), fileFlags));
    if (!source)
        source.reset(CFrameImageIO::FindImageFile(folder, name, fileFlags));
    return dynamic_cast<CPNGFileIO*>(source.get()) != nullptr;
}

} // namespace

bool SetStandAloneFrameRebuilds(bool enabled)
{
    return std::exchange(g_RebuildsEnabled, enabled);
}

void CStandAloneFrame::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CStandAloneFrame;
    d.AddBits(&C::m_Options, "Run Length Encode", kFrameOptionRunLength, BitDefault::Set)
        .Description(kRunLengthHelp)
        .Setter<&C::SetRunLengthEncode>();
    d.AddBits(&C::m_Options, "RLE All Copy", kFrameOptionRunLengthAllCopy, BitDefault::Clear)
        .Description(kAllCopyHelp)
        .Setter<&C::SetRunLengthAllCopy>();
    d.AddBits(&C::m_Options, "Crop Color 0", kFrameOptionCropColor0, BitDefault::Set).Setter<&C::SetCropColor0>();
    d.AddBits(&C::m_Options, "Do Dither", kFrameOptionDither, BitDefault::Set).Setter<&C::SetDoDither>();
    d.AddBits(&C::m_Options, "Change Bit Depth", kFrameOptionChangeBitDepth, BitDefault::Set).Level(kLevelHidden);
    d.AddBits(&C::m_Options, "Loss Less 2", kFrameOptionLossLess, BitDefault::Clear)
        .Description(kLossLessHelp)
        .Setter<&C::SetLossLess>();
    d.Add(&C::m_JPEGQuality, "JPEG Quality 2", 80u)
        .Range(0, 100)
        .Description(kQualityHelp)
        .Setter<&C::SetJPEGQuality>();
    d.AddBits(&C::m_Options, "Center Hot Spot", kFrameOptionCenterHotSpot, BitDefault::Clear)
        .Setter<&C::SetCenterHotSpot>();
    d.AddBits(&C::m_Options, "Blended With Black", kFrameOptionBlendedWithBlack, BitDefault::Set)
        .Setter<&C::SetBlendedWithBlack>()
        .Get()
        .SetShown([](const CObject& frame, bool) {
            return static_cast<const CStandAloneFrame&>(frame).BuildsBlendedWithBlack();
        });
    d.AddBits(&C::m_Options, "Load Black Biased", kFrameOptionBlackBiased, BitDefault::Clear)
        .Setter<&C::SetLoadBlackBiased>();
    d.AddListReference(&C::m_BlitType, "Blit Type", &CBlitTypeList::SGetInstance(), "Transparent Mask")
        .Setter<&C::SetBlitType>();
    d.Add(&C::m_bMipmapForNativeVersion, "Mipmap For Native Version", true);
    for (const char* old : {"Loss Less", "JPEG Quality", "Quality", "Image Quality", "Dither", "Remove Dead Alpha",
                            "Remove Black Blending", "Final Bit Depth"})
        d.GetClassInfo().AddIgnoredPropertyName(old);
}

CStandAloneFrame::CStandAloneFrame()
{
    InitDeclaredProperties();
}

CStandAloneFrame::~CStandAloneFrame()
{
    DestroyDeclaredProperties();
}

CBlitType* CStandAloneFrame::GetBlitType() const
{
    return CBlitTypeList::SGetInstance().GetBlitType(m_BlitType);
}

void CStandAloneFrame::OnLoaded(CUntypedCObjectPointer* pointer)
{
    CFrame::OnLoaded(pointer);
    if (HasOption(kFrameOptionBlackBiased))
        m_BlitType = CBlitTypeList::SGetInstance().FindValue(&GetBlackBiasBlitType());
}

void CStandAloneFrame::CopyFrom(CObject* other)
{
    CFrame::CopyFrom(other);
    if (auto* frame = dynamic_cast<CStandAloneFrame*>(other); frame && frame != this)
        m_BuiltFromPng = frame->m_BuiltFromPng;
}

void CStandAloneFrame::BuildLoadChain(CFrameFilter& chain, const CFrameFilter* given) const
{
    chain.CopyFiltersFrom(given ? *given : GetDefaultBuildFilters());
    chain.RemoveFilter(kFilterKindRunLength);
    chain.RemoveFilter(kFilterKindBitDepth);
    if (HasOption(kFrameOptionBlendedWithBlack))
        chain.AddFilter(kFilterKindRemoveBlackBlending);
    else
        chain.RemoveFilter(kFilterKindRemoveBlackBlending);
    if (HasOption(kFrameOptionBlackBiased)) {
        chain.RemoveFilter(kFilterKindRemoveBlackBlending);
        chain.AddFilter(kFilterKindBlackBias);
    }
    if (HasOption(kFrameOptionChangeBitDepth))
        chain.AddFilter(HasOption(kFrameOptionDither) ? kFilterKindBitDepthDither : kFilterKindBitDepth);
    if (HasOption(kFrameOptionRunLength))
        chain.AddFilter(kFilterKindRunLength);
    if (HasOption(kFrameOptionCenterHotSpot))
        chain.AddFilter(kFilterKindCenterHotSpot);
    else
        chain.RemoveFilter(kFilterKindCenterHotSpot);
    if (HasOption(kFrameOptionCropColor0))
        chain.AddFilter(kFilterKindCropColor0);
    else
        chain.RemoveFilter(kFilterKindCropColor0);
}

bool CStandAloneFrame::Load(const char* folder, const char* name, CFrameFilter* chain, uint32_t ignored,
                            uint32_t fileFlags)
{
    CFrameFilter local;
    BuildLoadChain(local, chain);
    SetFrameLossless(HasOption(kFrameOptionLossLess));
    SetFrameJPEGQuality(m_JPEGQuality);
    const uint32_t minimumFill = GetRunLengthMinFill();
    if (HasOption(kFrameOptionRunLength) && HasOption(kFrameOptionRunLengthAllCopy))
        SetRunLengthMinFill(0x40);
    const bool loaded = CFrame::Load(folder, name, &local, ignored, fileFlags);
    // A PNG is never built blended with black (its reader drops the filter),
    // whether built now or read from the cache.
    m_BuiltFromPng = loaded && SourceIsPng(folder, name, fileFlags);
    SetRunLengthMinFill(minimumFill);
    SetFrameLossless(false);
    SetFrameJPEGQuality(65);
    return loaded;
}

void CStandAloneFrame::StoreOption(uint32_t bit, bool set)
{
    if (HasOption(bit) == set)
        return;
    m_Options = set ? (m_Options | bit) : (m_Options & ~bit);
    RequestRebuild();
}

void CStandAloneFrame::SetRunLengthEncode(const uint32_t& bits)
{
    StoreOption(kFrameOptionRunLength, bits != 0);
}

void CStandAloneFrame::SetRunLengthAllCopy(const uint32_t& bits)
{
    StoreOption(kFrameOptionRunLengthAllCopy, bits != 0);
}

void CStandAloneFrame::SetCropColor0(const uint32_t& bits)
{
    StoreOption(kFrameOptionCropColor0, bits != 0);
}

void CStandAloneFrame::SetDoDither(const uint32_t& bits)
{
    StoreOption(kFrameOptionDither, bits != 0);
}

void CStandAloneFrame::SetLossLess(const uint32_t& bits)
{
    StoreOption(kFrameOptionLossLess, bits != 0);
}

void CStandAloneFrame::SetCenterHotSpot(const uint32_t& bits)
{
    StoreOption(kFrameOptionCenterHotSpot, bits != 0);
}

void CStandAloneFrame::SetBlendedWithBlack(const uint32_t& bits)
{
    if (!m_BuiltFromPng)
        StoreOption(kFrameOptionBlendedWithBlack, bits != 0);
}

void CStandAloneFrame::SetLoadBlackBiased(const uint32_t& bits)
{
    const bool set = bits != 0;
    if (HasOption(kFrameOptionBlackBiased) == set)
        return;
    m_Options = set ? (m_Options | kFrameOptionBlackBiased) : (m_Options & ~kFrameOptionBlackBiased);
    CBlitTypeList& list = CBlitTypeList::SGetInstance();
    m_BlitType = list.FindValue(set ? &GetBlackBiasBlitType() : &GetTransparentMaskBlitType());
    RequestRebuild();
}

void CStandAloneFrame::SetJPEGQuality(uint32_t quality)
{
    if (quality == m_JPEGQuality)
        return;
    m_JPEGQuality = quality;
    RequestRebuild();
}

void CStandAloneFrame::SetBlitType(int32_t index)
{
    if (index == m_BlitType)
        return;
    m_BlitType = index;
    CBlitTypeList& list = CBlitTypeList::SGetInstance();
    const bool blackBias = list.GetBlitType(index) == &GetBlackBiasBlitType();
    m_Options = blackBias ? (m_Options | kFrameOptionBlackBiased) : (m_Options & ~kFrameOptionBlackBiased);
    RequestRebuild();
}

void CStandAloneFrame::RequestRebuild()
{
    if (!g_RebuildsEnabled || g_Rebuilding)
        return;
    DeleteDynamicPropertyValues();
    CJString path;
    if (!FindObjectFileName(this, &path))
        return;
    g_Rebuilding = true;
    SaveObjectToOwnFile(this);
    char folder[1024];
    std::snprintf(folder, sizeof folder, "%s", path.GetString());
    const char* file = GetFileNameFromPath(path.GetString());
    char name[1024];
    std::snprintf(name, sizeof name, "%s", file);
    folder[file - path.GetString()] = 0;
    if (size_t length = std::strlen(folder); length > 0 && (folder[length - 1] == '/' || folder[length - 1] == '\\'))
        folder[length - 1] = 0;
    if (char* dot = std::strrchr(name, '.'))
        *dot = 0;
    char record[2200];
    std::snprintf(record, sizeof record, "Cache/%s/-%s.frm16", folder, name);
    DeleteFileByName(record, 0);
    Load(folder, name, nullptr, 1, 0);
    g_Rebuilding = false;
}
