#pragma once
// Hue remapping: a style sheet is a list of rules, each picking the pixels
// whose hue and saturation lie near a source colour and giving them a new
// hue and scaled saturation and lightness. The recoloured copy of a frame is
// kept on the frame itself (an unsaved dynamic property, one copy per style
// sheet) with the rules it was made from, and made again when they change.
//
// Colour model (integers): lightness L and saturation S 0..256 (256 full),
// hue H in degrees, red, green and blue 0..255. Divisions truncate toward zero.

#include "objects/CObject.h"
#include "objects/CObjectFileArray.h"
#include "objects/CPropertyArrayProperty.h"

#include <cstdint>
#include <memory>
#include <vector>

class CFrame;

class CHueRemapData : public CObject {
    OMBRISALT_REFLECTED(CHueRemapData, CObject)
public:
    CHueRemapData();
    ~CHueRemapData() override;

    float m_SourceHue = 0.0f;
    float m_SourceHueError = 15.0f;
    float m_SourceSaturation = 0.01f;
    float m_SourceSaturationError = 1.0f;
    float m_DestHue = 180.0f;
    float m_DestSaturation = 1.0f;
    float m_DestLightness = 1.0f;
};

class CHueRemapperStyleSheet : public CObject {
    OMBRISALT_REFLECTED(CHueRemapperStyleSheet, CObject)
public:
    CHueRemapperStyleSheet();
    ~CHueRemapperStyleSheet() override;

    // Appends a rule the sheet then owns.
    void AddRule(CHueRemapData* rule);

    CPropertyArray<CHueRemapData*> m_HueRemapperDataArray; // owned, applied in order
    bool m_bCanBeUsedForPlayerColors = true;
};

// The values of one rule, as a recoloured copy remembers them.
struct SHueRule {
    float sourceHue = 0.0f, sourceHueError = 0.0f, sourceSaturation = 0.0f, sourceSaturationError = 0.0f;
    float destHue = 0.0f, destSaturation = 0.0f, destLightness = 0.0f;
    bool operator==(const SHueRule&) const = default;
};
SHueRule HueRuleOf(const CHueRemapData& data);

// The per-frame cache: entry i holds the copy for style sheet i.
class CHueRemapFrameProperty : public CObject {
    OMBRISALT_REFLECTED(CHueRemapFrameProperty, CObject)
public:
    CHueRemapFrameProperty();
    ~CHueRemapFrameProperty() override;

    struct Entry {
        std::unique_ptr<CFrame> frame;
        std::vector<SHueRule> rules;
    };
    std::vector<Entry> m_Entries;
};

// The style sheets ("<name>.HueRemap.txt" under "Resources").
CObjectArrayBaseTemplate<CHueRemapperStyleSheet>& GetHueRemapperStyleSheetList();

// The frame recoloured by style sheet index of the list: the kept copy, made
// again when the sheet's rules changed. An index the list does not hold gives
// the frame itself.
CFrame* GetHueRemappedFrame(CFrame& frame, int32_t styleSheetIndex);
// The same with a given sheet, kept under the index.
CFrame* GetHueRemappedFrame(CFrame& frame, int32_t styleSheetIndex, const CHueRemapperStyleSheet& sheet);

struct SHls {
    int32_t l = 0, h = 0, s = 0;
};
SHls RGBToHLS(int32_t r, int32_t g, int32_t b);
void HLSToRGB(int32_t l, int32_t s, int32_t h, int32_t& r, int32_t& g, int32_t& b);
int32_t HueToValue(int32_t high, int32_t low, int32_t hue);
// True, and the colour changed, when the rule matches it.
bool RemapColour(int32_t& r, int32_t& g, int32_t& b, const SHueRule& rule);

// "HueRemap Frame Texture", given to frames at start-up, never saved.
void AttachHueRemapFrameProperty();
