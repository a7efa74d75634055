#pragma once
// The program's game object: it draws a coloured frame with a band that
// moves with the updates, a row of turning textured tiles and the frame-rate
// line on the screen frame, in the first font of the data folder's font list
// when it has one.

#include "images/CFrame.h"
#include "shell/CFontFrameRateFont.h"
#include "shell/CGameBase.h"
#include "shell/CShellScreen.h"

#include <memory>

#include <cstdint>
#include <vector>

constexpr int32_t kTinyAdvance = 8;

// Digits, a few capitals and punctuation from a 3 by 5 grid, doubled.
class CTinyFont final : public CFrameRateFont {
public:
    int32_t GetPointSize() const override { return 14; }
    int32_t GetCharAdvance(char) const override { return kTinyAdvance; }
    void DrawCentred(CShellScreen& screen, int32_t x, int32_t y, const char* text) override;
};

class CStandInGame final : public CGameBase {
public:
    CStandInGame();
    void Init(CLoadingScreenPresenter* presenter) override;
    void Update(float seconds) override;
    bool Draw() override;

private:
    std::unique_ptr<CFrame> m_Tile;
    CTinyFont m_Font;
    std::unique_ptr<CFontFrameRateFont> m_ListFont;
    double m_Phase = 0.0;
};

// What the layers above the shell show in the stand-in, installed by the
// launcher before the game starts; every hook may be null.
struct SStandInHooks {
    // At the end of Init, behind the loading screen.
    void (*init)() = nullptr;
    void (*update)(float seconds) = nullptr;
    // After the stand-in's own drawing, before the frame is presented.
    void (*draw)(CFrameInterface& screen) = nullptr;
};
void SetStandInHooks(const SStandInHooks& hooks);
// The hooks installed so far, for a showcase that adds its own after them.
const SStandInHooks& GetStandInHooks();

// The tiny font's text, centred on x, its top at y.
void DrawTinyTextCentred(CFrameInterface& target, int32_t x, int32_t y, const char* text);

// Builds the stand-in as the program's game object.
std::unique_ptr<CGameBase> RunStandInGame();
