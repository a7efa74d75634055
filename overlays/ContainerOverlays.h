#pragma once
// Overlays that hold others and decide which draw and where: a whole other
// set at a position, one of two children by a substituted text, one child of
// a list by a substituted number, and a child slid by value / range. They
// draw their children as they are: a child's own "Opacity" counts only as an
// entry of a set. Keys as the data spell them ("Positon", "Overlayo Offset").

#include "foundation/CFPoint.h"
#include "overlays/CFrameOverlay.h"

#include <cstdint>

// Draws the set named by "Foo File" with its origin on "Positon"; the outer
// set is the context's current set again afterwards.
class CNestedFooFrameOverlay : public CFrameOverlay {
    OMBRISALT_REFLECTED(CNestedFooFrameOverlay, CFrameOverlay)
public:
    CNestedFooFrameOverlay();
    ~CNestedFooFrameOverlay() override;
    void Draw(CFrameOverlayDrawContext& context) override;
    void MoveBy(int32_t dx, int32_t dy) override;
    CFrameOverlay* FindOverlay(const CJString& name, CTextSubstitutionList* substitutions,
                               CPoint* accumulator) override;
    void GetDescription(CJString& out, const char* wordToRemove) override;

    CPoint m_Position{0, 0};
    int32_t m_FooFile = 0;
};

// The text counts as set unless it is empty or exactly "0".
class CConditionalFrameOverlay : public CFrameOverlay {
    OMBRISALT_REFLECTED(CConditionalFrameOverlay, CFrameOverlay)
public:
    CConditionalFrameOverlay();
    ~CConditionalFrameOverlay() override;
    void Draw(CFrameOverlayDrawContext& context) override;
    void MoveBy(int32_t dx, int32_t dy) override;
    CFrameOverlay* FindOverlay(const CJString& name, CTextSubstitutionList* substitutions,
                               CPoint* accumulator) override;
    void GetDescription(CJString& out, const char* wordToRemove) override;
    CFrameOverlay* Pick(CTextSubstitutionList* substitutions) const;

    CFrameOverlay* m_pWhenEmpty = nullptr;
    CFrameOverlay* m_pWhenNotEmpty = nullptr;
    CJString m_StringToCheck;
};

// The entry at the substituted number (read as atoi does); none for a
// number outside the list.
class CArrayIndexFrameOverlay : public CFrameOverlay {
    OMBRISALT_REFLECTED(CArrayIndexFrameOverlay, CFrameOverlay)
public:
    CArrayIndexFrameOverlay();
    ~CArrayIndexFrameOverlay() override;
    void Draw(CFrameOverlayDrawContext& context) override;
    void MoveBy(int32_t dx, int32_t dy) override;
    CFrameOverlay* FindOverlay(const CJString& name, CTextSubstitutionList* substitutions,
                               CPoint* accumulator) override;
    void GetDescription(CJString& out, const char* wordToRemove) override;
    CFrameOverlay* Pick(CTextSubstitutionList* substitutions) const;

    CJString m_StringToUseAsIndex;
    COverlayArray m_pOverlayArray;
};

// The child moved by "Offset" times value / range, the fraction held to
// min("Min", "Max") .. "Max".
class COffsetScaledAmountFrameOverlay : public CFrameOverlay {
    OMBRISALT_REFLECTED(COffsetScaledAmountFrameOverlay, CFrameOverlay)
public:
    COffsetScaledAmountFrameOverlay();
    ~COffsetScaledAmountFrameOverlay() override;
    void Draw(CFrameOverlayDrawContext& context) override;
    void MoveBy(int32_t dx, int32_t dy) override;
    void GetDescription(CJString& out, const char* wordToRemove) override;
    float GetFraction(CTextSubstitutionList* substitutions) const;

    CJString m_Value;
    CJString m_Range;
    float m_Min = 0.0f;
    float m_Max = 1.0f;
    CFPoint m_Offset{0.0f, 0.0f};
    CFrameOverlay* m_pOverlay = nullptr;
};
