#include "sequences/HueRemap.h"

#include "images/CFrame.h"
#include "images/PlainFrameCopy.h"
#include "objects/CBoolProperty.h"
#include "objects/CDynamicPropertyRegistry.h"
#include "objects/CFloatProperty.h"
#include "objects/CPObjectProperty.h"
#include "objects/CSlotProperty.h"

#include <algorithm>
#include <cstring>

OMBRISALT_IMPLEMENT_CLASS(CHueRemapData, 1)
OMBRISALT_IMPLEMENT_CLASS(CHueRemapperStyleSheet, 1)
OMBRISALT_IMPLEMENT_CLASS(CHueRemapFrameProperty, 1)

namespace {

using CCacheProperty = CSlotProperty<CTypedPObjectProperty<CHueRemapFrameProperty>>;

CCacheProperty& CacheProperty()
{
    static CCacheProperty* property = [] {
        auto* made = new CCacheProperty("HueRemap Frame Texture", nullptr);
        made->SetSavedIn(SavedIn::Nowhere);
        made->AddAsDynamicProperty(CFrame::SGetClassInfo(), DynamicKind::Optional);
        return made;
    }();
    return *property;
}

int32_t Clamp255(int32_t value)
{
    return std::clamp(value, 0, 255);
}

void BuildEntry(CHueRemapFrameProperty::Entry& entry, CFrame& source, const CHueRemapperStyleSheet& sheet)
{
    entry.frame = std::make_unique<CFrame>();
    entry.rules.clear();
    for (uint32_t i = 0; i < sheet.m_HueRemapperDataArray.GetCount(); ++i)
        if (const CHueRemapData* data = sheet.m_HueRemapperDataArray[i])
            entry.rules.push_back(HueRuleOf(*data));
    const uint32_t depth = source.GetBitDepth();
    const bool hasPixels = source.GetWidth() > 0 && source.GetHeight() > 0;
    if (depth == 32 && hasPixels) {
        CFrame storage;
        if (const CFrame* pixels = FramePixelsAs32Bit(source, storage)) {
            entry.frame = CFrame::MakeOwned(source.GetWidth(), source.GetHeight(), 32);
            for (uint32_t y = 0; entry.frame && y < source.GetHeight(); ++y)
                std::memcpy(entry.frame->Row(y), pixels->Row(y), size_t(source.GetWidth()) * 4);
            if (!entry.frame)
                entry.frame = std::make_unique<CFrame>();
            for (const SHueRule& rule : entry.rules)
                for (uint32_t y = 0; y < entry.frame->GetHeight(); ++y) {
                    uint8_t* pixel = entry.frame->Row(y);
                    for (uint32_t x = 0; x < entry.frame->GetWidth(); ++x, pixel += 4) {
                        int32_t r = pixel[2], g = pixel[1], b = pixel[0];
                        if (RemapColour(r, g, b, rule)) {
                            pixel[2] = uint8_t(r);
                            pixel[1] = uint8_t(g);
                            pixel[0] = uint8_t(b);
                        }
                    }
                }
        }
    } else if (depth == 24 && hasPixels && !source.IsCompressed()) {
        if (auto copy = CFrame::MakeOwned(source.GetWidth(), source.GetHeight(), 24)) {
            for (uint32_t y = 0; y < source.GetHeight(); ++y)
                std::memcpy(copy->Row(y), source.Row(y), size_t(source.GetWidth()) * 3);
            entry.frame = std::move(copy);
        }
    }
    entry.frame->SetOffset(int16_t(source.GetOffsetX()), int16_t(source.GetOffsetY()));
}

} // namespace

void AttachHueRemapFrameProperty()
{
    CacheProperty();
}

void CHueRemapData::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CHueRemapData;
    d.Add(&C::m_SourceHue, "Source Hue", 0.0f).Range(0.0f, 360.0f);
    d.Add(&C::m_SourceHueError, "Source Hue Error", 15.0f).Range(0.0f, 360.0f);
    d.Add(&C::m_SourceSaturation, "Source Saturation", 0.01f).Range(0.0f, 1.0f).SpinStep(0.05f);
    d.Add(&C::m_SourceSaturationError, "Source Saturation Error", 1.0f).Range(0.0f, 1.0f).SpinStep(0.05f);
    d.Add(&C::m_DestHue, "Dest Hue", 180.0f).Range(0.0f, 360.0f);
    d.Add(&C::m_DestSaturation, "Dest Saturation", 1.0f).Range(0.0f, 2.0f).SpinStep(0.05f);
    d.Add(&C::m_DestLightness, "Dest Lightness", 1.0f).Range(0.0f, 2.0f).SpinStep(0.05f);
}

CHueRemapData::CHueRemapData()
{
    InitDeclaredProperties();
}

CHueRemapData::~CHueRemapData()
{
    DestroyDeclaredProperties();
}

void CHueRemapperStyleSheet::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CHueRemapperStyleSheet;
    d.AddArray<CTypedPObjectProperty<CHueRemapData>>(&C::m_HueRemapperDataArray, "Hue Remapper Datas",
                                                     "Hue Remapper Data", nullptr);
    d.Add(&C::m_bCanBeUsedForPlayerColors, "Can Be Used For Player Colors", true);
}

CHueRemapperStyleSheet::CHueRemapperStyleSheet()
{
    InitDeclaredProperties();
}

CHueRemapperStyleSheet::~CHueRemapperStyleSheet()
{
    DestroyDeclaredProperties();
}

void CHueRemapperStyleSheet::AddRule(CHueRemapData* rule)
{
    auto* array = static_cast<CPropertyArrayProperty*>(GetClassInfo()->FindProperty("Hue Remapper Datas"));
    const uint32_t count = m_HueRemapperDataArray.GetCount();
    array->ArrayProperty_SetCount(this, count + 1);
    m_HueRemapperDataArray[count] = rule;
}

void CHueRemapFrameProperty::DeclareProperties(CPropertyDeclarer&) {}

CHueRemapFrameProperty::CHueRemapFrameProperty()
{
    InitDeclaredProperties();
}

CHueRemapFrameProperty::~CHueRemapFrameProperty()
{
    DestroyDeclaredProperties();
}

SHueRule HueRuleOf(const CHueRemapData& d)
{
    return SHueRule{d.m_SourceHue, d.m_SourceHueError, d.m_SourceSaturation, d.m_SourceSaturationError,
                    d.m_DestHue,   d.m_DestSaturation, d.m_DestLightness};
}

CObjectArrayBaseTemplate<CHueRemapperStyleSheet>& GetHueRemapperStyleSheetList()
{
    static auto* list = [] {
        auto* made = new CObjectArrayBaseTemplate<CHueRemapperStyleSheet>("HueRemap.txt");
        made->SetSource("Hue Remapper Style Sheets", "Resources", 0);
        made->SetKeepsNoneEntry(true); // data refers into it by row, 0 for none
        return made;
    }();
    return *list;
}

CFrame* GetHueRemappedFrame(CFrame& frame, int32_t styleSheetIndex)
{
    auto& list = GetHueRemapperStyleSheetList();
    if (styleSheetIndex < 0 || styleSheetIndex >= list.GetCount())
        return &frame;
    const CHueRemapperStyleSheet* sheet = list.GetObject(styleSheetIndex);
    if (!sheet)
        return &frame;
    return GetHueRemappedFrame(frame, styleSheetIndex, *sheet);
}

CFrame* GetHueRemappedFrame(CFrame& frame, int32_t styleSheetIndex, const CHueRemapperStyleSheet& sheet)
{
    if (styleSheetIndex < 0)
        return &frame;
    CCacheProperty& property = CacheProperty();
    auto* slot = static_cast<CHueRemapFrameProperty**>(frame.GetOrAddDynamicValue(&property));
    if (!slot)
        return &frame;
    if (!*slot)
        *slot = new CHueRemapFrameProperty;
    std::vector<CHueRemapFrameProperty::Entry>& entries = (*slot)->m_Entries;
    if (entries.size() <= size_t(styleSheetIndex))
        entries.resize(size_t(styleSheetIndex) + 1);
    CHueRemapFrameProperty::Entry& entry = entries[size_t(styleSheetIndex)];
    if (entry.frame) {
        std::vector<SHueRule> rules;
        for (uint32_t i = 0; i < sheet.m_HueRemapperDataArray.GetCount(); ++i)
            if (const CHueRemapData* data = sheet.m_HueRemapperDataArray[i])
                rules.push_back(HueRuleOf(*data));
        if (rules == entry.rules)
            return entry.frame.get();
    }
    BuildEntry(entry, frame, sheet);
    return entry.frame.get();
}

SHls RGBToHLS(int32_t r, int32_t g, int32_t b)
{
    SHls out;
    const int32_t high = std::max({r, g, b});
    const int32_t low = std::min({r, g, b});
    out.l = (high + low) / 2;
    if (high == low)
        return out;
    const int32_t d = high - low;
    out.s = out.l <= 128 ? d * 256 / (high + low) : d * 256 / (512 - high - low);
    int32_t h;
    if (r == high)
        h = (g - b) * 256 / d;
    else if (g == high)
        h = (b - r) * 256 / d + 512;
    else
        h = (r - g) * 256 / d + 1024;
    h = h * 60 / 256;
    if (h < 0)
        h += 360;
    out.h = h;
    return out;
}

int32_t HueToValue(int32_t high, int32_t low, int32_t hue)
{
    if (hue > 360)
        hue -= 360;
    else if (hue < 0)
        hue += 360;
    if (hue < 60) {
        const int32_t q = hue * 256 / 60;
        return low + (high - low) * q / 256;
    }
    if (hue < 180)
        return high;
    if (hue < 240) {
        const auto q = int32_t(double(240 - hue) * -256.0 / 60.0);
        return low - (high - low) * q / 256;
    }
    return low;
}

void HLSToRGB(int32_t l, int32_t s, int32_t h, int32_t& r, int32_t& g, int32_t& b)
{
    const int32_t m2 = l <= 128 ? l * (256 + s) / 256 : l + s - l * s / 256;
    const int32_t m1 = l * 512 / 256 - m2;
    if (s == 0) {
        r = g = b = l;
        return;
    }
    r = HueToValue(m2, m1, h + 120);
    g = HueToValue(m2, m1, h);
    b = HueToValue(m2, m1, h - 120);
}

bool RemapColour(int32_t& r, int32_t& g, int32_t& b, const SHueRule& rule)
{
    const SHls hls = RGBToHLS(r, g, b);
    const double s = hls.s;
    if (!((double(rule.sourceSaturation) - double(rule.sourceSaturationError)) * 255.0 <= s
          && s <= (double(rule.sourceSaturation) + double(rule.sourceSaturationError)) * 255.0))
        return false;
    const auto hs = int32_t(rule.sourceHue);
    const auto e = int32_t(rule.sourceHueError);
    int32_t dh = hs - hls.h;
    if (dh > 768)
        dh -= 1536;
    if (dh < -768)
        dh += 1536;
    if (!(-e < dh && dh < e))
        return false;
    const int32_t s2 = std::min(int32_t(float(hls.s) * rule.destSaturation), 255);
    const int32_t l2 = std::min(int32_t(float(hls.l) * rule.destLightness), 255);
    HLSToRGB(l2, s2, int32_t(rule.destHue), r, g, b);
    r = Clamp255(r);
    g = Clamp255(g);
    b = Clamp255(b);
    return true;
}
