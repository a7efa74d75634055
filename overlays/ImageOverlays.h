#pragma once
// Overlays that draw pictures: a still image of the frame library, an
// animation of the sequence list, an image picked from a list by a
// substituted number (the next one fading in with the fraction), a box of
// outline rings, a thermometer gauge, and the position marker, an invisible
// named rectangle that code looks up and that may carry a tool tip. The
// position key of boxes and gauges is spelled "Positon" in the data.

#include "blit/CColor.h"
#include "overlays/CFrameOverlay.h"

#include <cstdint>

class CFrameOverlayFrameOverlay : public CFrameOverlay {
    OMBRISALT_REFLECTED(CFrameOverlayFrameOverlay, CFrameOverlay)
public:
    CFrameOverlayFrameOverlay();
    ~CFrameOverlayFrameOverlay() override;
    void Draw(CFrameOverlayDrawContext& context) override;
    void MoveBy(int32_t dx, int32_t dy) override;
    void GetDescription(CJString& out, const char* wordToRemove) override;

    int32_t m_Image = 0;
    CPoint m_Position{0, 0};
};

class CFrameOverlaySequenceOverlay : public CFrameOverlay {
    OMBRISALT_REFLECTED(CFrameOverlaySequenceOverlay, CFrameOverlay)
public:
    CFrameOverlaySequenceOverlay();
    ~CFrameOverlaySequenceOverlay() override;
    void Draw(CFrameOverlayDrawContext& context) override;
    void MoveBy(int32_t dx, int32_t dy) override;
    void GetDescription(CJString& out, const char* wordToRemove) override;

    int32_t m_Sequence = 0;
    CPoint m_Position{0, 0};
    float m_Scale = 1.0f;
    float m_Rotate = 0.0f; // degrees
    CTranslatedText m_ToolTip;
};

// The entry picked by "Array Index": 0 draws nothing, 1 the first entry,
// 1.5 the first with the second half faded in, past the end the last.
class CArrayOfFramesFrameOverlayOverlay : public CFrameOverlay {
    OMBRISALT_REFLECTED(CArrayOfFramesFrameOverlayOverlay, CFrameOverlay)
public:
    CArrayOfFramesFrameOverlayOverlay();
    ~CArrayOfFramesFrameOverlayOverlay() override;
    void Draw(CFrameOverlayDrawContext& context) override;
    void MoveBy(int32_t dx, int32_t dy) override;
    void GetDescription(CJString& out, const char* wordToRemove) override;

    CJString m_ArrayIndex;
    CPropertyArray<int32_t> m_FrameIndexArray;
    CPoint m_Position{0, 0};
};

class CArrayOfImagesFrameOverlayOverlay : public CFrameOverlay {
    OMBRISALT_REFLECTED(CArrayOfImagesFrameOverlayOverlay, CFrameOverlay)
public:
    CArrayOfImagesFrameOverlayOverlay();
    ~CArrayOfImagesFrameOverlayOverlay() override;
    void Draw(CFrameOverlayDrawContext& context) override;
    void MoveBy(int32_t dx, int32_t dy) override;
    void GetDescription(CJString& out, const char* wordToRemove) override;

    CJString m_ArrayIndex;
    CPropertyArray<int32_t> m_SequenceIndexArray;
    CPoint m_Position{0, 0};
};

// Rings of "Outline Color" from the outside in, then the fill; it takes no
// opacity or transform from the context.
class CBoxFrameOverlay : public CFrameOverlay {
    OMBRISALT_REFLECTED(CBoxFrameOverlay, CFrameOverlay)
public:
    CBoxFrameOverlay();
    ~CBoxFrameOverlay() override;
    void Draw(CFrameOverlayDrawContext& context) override;
    void MoveBy(int32_t dx, int32_t dy) override;
    void GetDescription(CJString& out, const char* wordToRemove) override;

    CPoint m_Position{100, 100};
    CPoint m_Size{100, 100};
    CColor m_FillColor{0, 0, 0, 255};
    CColor m_OutlineColor{255, 255, 255, 255};
    int32_t m_OutlineWidth = 1;
};

// "Value" / "Range" of the fill sequence shown, from the left or (vertical)
// from the bottom; only digits and "." of either text count, so "-5" is 5.
class CThermometerFrameOverlay : public CFrameOverlay {
    OMBRISALT_REFLECTED(CThermometerFrameOverlay, CFrameOverlay)
public:
    CThermometerFrameOverlay();
    ~CThermometerFrameOverlay() override;
    void Draw(CFrameOverlayDrawContext& context) override;
    void MoveBy(int32_t dx, int32_t dy) override;
    void GetDescription(CJString& out, const char* wordToRemove) override;
    // The fill fraction for the context's substitutions, 0 to 1.
    float GetFraction(const CFrameOverlayDrawContext& context) const;

    CJString m_Value;
    CJString m_Range;
    int32_t m_BackgroundSequence = -1;
    int32_t m_FillSequence = -1;
    CPoint m_Position{0, 0};
    bool m_bVertical = false;
    CTranslatedText m_ToolTip;
};

class CFrameOverlayPositionMarker : public CFrameOverlay {
    OMBRISALT_REFLECTED(CFrameOverlayPositionMarker, CFrameOverlay)
public:
    CFrameOverlayPositionMarker();
    ~CFrameOverlayPositionMarker() override;
    void Draw(CFrameOverlayDrawContext& context) override;
    void MoveBy(int32_t dx, int32_t dy) override;
    void GetDescription(CJString& out, const char* wordToRemove) override;
    // The mouse point lies in the rectangle (right and bottom edges outside).
    bool ContainsPoint(int32_t x, int32_t y) const;

    CTranslatedText m_Title;
    CPoint m_Position{300, 300};
    CPoint m_Size{10, 10};
    CTranslatedText m_ToolTip;

protected:
    void DrawToolTip(CFrameOverlayDrawContext& context);
    void DrawMarker(CFrameOverlayDrawContext& context);
};
