#pragma once
// Tips: one short translated text per level (tip N for the level of index
// N), kept in the "Tips Options" general object. The HUD shows the current
// level's tip for the first seconds of play and moves the customers' line up
// meanwhile; the tips menu pages through all of them, skipping empty ones.
#include "foundation/CJString.h"
#include "objects/CObject.h"
#include "objects/CPropertyArrayProperty.h"
#include "objects/CStringProperty.h"
#include "ui/CMenuWindow.h"

#include <cstdint>

class CTextSubstitutionList;

class CTipsOptions : public CObject {
    OMBRISALT_REFLECTED(CTipsOptions, CObject)
public:
    CTipsOptions();
    ~CTipsOptions() override;

    // The "Tips Options" entry of the general objects; null when the data
    // has none.
    static CTipsOptions* SGetInstance();

    // The translation of tip index; empty past the end.
    CJString GetTipText(uint32_t index) const;
    uint32_t GetTipCount() const { return m_TipsList.GetCount(); }

    int32_t m_FrameOverlay = 0;              // "Frame Overlay": the HUD's tip set
    float m_SecondsToShowTips = 10.0f;       // "Seconds To Show Tips"
    float m_FrontOfLineOffset = 200.0f;      // "Front Of Line Offset", pixels
    int32_t m_TipsMenuOverlay = 0;           // "Tips Menu Overlay"
    CPropertyArray<CTranslatedText> m_TipsList; // "Tips List"
};

class CTipsMenu : public CMenuWindow {
public:
    // Opens on the current player's "Selected Level" (the last tip when that
    // is past the end), stepping back over empty tips.
    explicit CTipsMenu(CJWindow* parent);
    ~CTipsMenu() override;

    // Only the timer runs: the buttons get no update of their own.
    void Update(float seconds) override;
    void Draw(CFrameInterface& frame) override;
    // A set without "Done" would leave no way out: Enter and Escape close.
    bool OnKeyDown(uint32_t key) override;

    void Done();
    void Prev();
    void Next();

    uint32_t GetIndex() const { return m_Index; }
    float GetTimer() const { return m_Timer; }
    void FillSubstitutions(CTextSubstitutionList& values) const;

private:
    void CreateButtons();

    uint32_t m_Index = 0;
    float m_Timer = 0.0f;
};

// The open tips menu; null when none is.
CTipsMenu* GetTipsMenu();

// Opens the tips menu over parent (the game's screen window when null);
// null when none could be made.
CTipsMenu* OpenTipsMenu(CJWindow* parent);
