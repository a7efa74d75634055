#pragma once
// The one game object of the process. RunGame builds it behind the loading
// screen; from then on every part of the game reaches it through
// CGameApp::SGetInstance. It loads the data behind the loading pictures,
// picks the cursors, plays the current level frame by frame and writes
// screenshots. The screens over the playfield (shop, menus, end of level),
// the player profiles and the level editor, all above this library, are
// reached through CGameScreensHooks and CGameEditorHooks.
//
// What the object keeps (cursor table, loading progress, skin theme, the
// state a level starts from) lives in its members and goes with it; the free
// functions below ask the one object and answer "nothing" without one. The
// code is split by concern: CGameApp.cpp (messages, update and draw,
// commands), CGameAppLoading.cpp, CGameAppCursors.cpp and
// CGameAppLevelFlow.cpp.

#include "blit/CColor.h"
#include "foundation/CJString.h"
#include "foundation/CPoint.h"
#include "foundation/UpwardHook.h"
#include "game/world/WorldHooks.h"
#include "objects/CObject.h"
#include "shell/CGameBase.h"

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class CFrame;
class CFrameList;
class CMouseEventListenerMixin;
class CGameState;
class CTextSubstitutionList;
class CLoadingScreenPresenter;
class CSequence;
class CFrameInterface;
class CFrameOverlayOptions;
class CFontFrameRateFont;
class CSequenceCursor;
class CSprite;
class CSpriteArray;

struct SSparkleOptions {
    int32_t sequence = 0;  // sequence list index; 0 none
    float radius = 0.0f;   // pixels
    float interval = 0.0f; // seconds between sparkles
    CSequence* bonusCursor = nullptr;
};

// What the game object asks of the level editor above it. Uninstalled, no
// editor is open, none opens, and the game may always close one.
class CGameEditorHooks {
public:
    virtual ~CGameEditorHooks() = default;
    // Whether the level editor agrees to close; opens it in the mode.
    virtual bool EditorMayClose() { return true; }
    virtual bool IsEditorOpen() { return false; }
    virtual void OpenEditor(int32_t /*mode*/) {}
    // The program is ending: the open object editor and the level editor
    // save as they close; their refusals are answered for the end's box.
    virtual CJString FinishEditorsAtEnd() { return CJString(); }
};

CGameEditorHooks* SetGameEditorHooks(CGameEditorHooks* hooks);
OMBRISALT_UPWARD_HOOK(SetGameEditorHooks);
CGameEditorHooks& GetGameEditorHooks();

// Describes a loading feedback display; only data files use it.
class CLoadingFeedbackDisplayOptions : public CObject {
    OMBRISALT_REFLECTED(CLoadingFeedbackDisplayOptions, CObject)
public:
    CLoadingFeedbackDisplayOptions();
    ~CLoadingFeedbackDisplayOptions() override;

    int32_t m_SequenceToUse = 0;
    CPoint m_SequencePosition{512, 384};
    CColor m_FillColor{255, 255, 255, 255};
    CColor m_OutLineColor{255, 255, 255, 255};
    CPoint m_LoadingBarPosition{412, 650};
    int32_t m_LoadingBarWidth = 200;
    int32_t m_LoadingBarHeight = 10;
};

inline constexpr uint32_t kCursorTableSize = 23;

class CGameApp : public CGameBase {
public:
    explicit CGameApp(CLoadingScreenPresenter* presenter);
    ~CGameApp() override;

    // Null before RunGame and after the object is gone.
    static CGameApp* SGetInstance();
    static bool SIsInitialised();

    bool OnMessage(CMessage& message) override;
    void Init(CLoadingScreenPresenter* presenter) override;
    void Update(float seconds) override;
    bool Draw() override;
    bool SetActive(bool active) override;
    bool OnCommand(uint32_t command) override;
    bool IsNamedOptionSet(const char* name) override;
    // Per-step hook after the game update.
    virtual void AfterUpdate(float seconds);

    void IncrementOpenScreens();
    void DecrementOpenScreens();
    uint32_t GetOpenScreens() const { return m_OpenScreens; }

    CSpriteArray& GetGameSprites() { return *m_GameSprites; }

    // hueRemapper: an index into the hue remapper style sheets, -1 for none.
    void SetCursorAttachment(CSequence* cursor, int32_t hueRemapper, CSprite* attached, float opacity,
                             bool drawBeforeCursor);
    // A sprite about to be deleted stops being drawn on the cursor.
    void ForgetCursorAttachment(const CSprite* sprite)
    {
        if (m_CursorAttached == sprite)
            m_CursorAttached = nullptr;
    }

    // A backdrop (the main menu's street) leaves the profile's per-level work
    // alone.
    void StartLevel(bool skipIntro, bool backdrop = false);
    void StartLevelByIndex(uint32_t index);
    // The last level as the main menu's backdrop: nobody plays it, so no
    // profile is written.
    void StartLastLevel();
    void StartLevelAfterLast();
    void RestartFromFirstLevel();
    void EnterCurrentLevel();
    void OpenShopBeforeLevel();
    // A new game: the first level behind its decade transition, or at once
    // when no screen shows one.
    void OpenDecadeTransition();
    void OpenPauseMenu();
    void CloseAllOverlayScreens();

    // Mouse events over the playfield, queued and sent as playfield messages
    // at the next update. kind 0 move, 1 button down, 2 button up.
    void RecordPlayfieldMouseEvent(int32_t kind, int32_t x, int32_t y, uint32_t buttons);
    void SetRecordingMouseEvents(bool on) { m_RecordingMouse = on; }

    // Writes the next drawn frame (or the given one) under the first free
    // number of the pattern in the user-data folder; the name written, empty
    // when nothing was.
    CJString StartNewRound(const char* pattern, CFrame* frame);

    float GetSparkleCountdown() const { return m_SparkleCountdown; }

    // The free functions below ask these of the one game object.
    CSequence* GetCursorSequence(uint32_t index) const;
    void ShowSequenceAsCursor(CSequence* sequence);
    CObject* GetSkinTheme() const { return m_GameSkinTheme; }
    bool DrawLoadingProgress();
    void SetChosenStoredGameState(CGameState* state) { m_ChosenStoredState = state; }
    void SelectStartingGameState(bool restart);
    // The level editor's close starts the level it showed afresh.
    void RestartAfterEditing();
    // A profile with a name plays (true without the screens' profiles).
    static bool HasNamedPlayer();

    using CursorList = std::vector<std::pair<CSequence*, std::unique_ptr<CSequenceCursor>>>;

private:
    struct SMouseEvent {
        int32_t kind = 0;
        int32_t x = 0;
        int32_t y = 0;
        uint32_t buttons = 0;
    };
    struct SCursorEntry {
        CSequence* sequence = nullptr;
        std::unique_ptr<CSequenceCursor> cursor;
    };
    struct SLoading {
        int32_t total = 1;
        uint64_t lastDrawn = 0;
        bool drawing = false;
        CFrameOverlayOptions* splash = nullptr;
    };
    static void DrawLoadingProgressHook();
    // The cursor table from the sequence list, the first one shown.
    void LoadCursors();
    // No cursor of the game's stays the mouse's.
    void ReleaseCursors();
    CSequenceCursor* CursorFor(const CSequence* sequence);
    void DrainMouseEvents();
    void UpdateSparkle(float seconds);
    void DrawCursor(CFrameInterface& target);
    void DrawAttached(CFrameInterface& target, int32_t x, int32_t y);
    void PlayConfirmation();

    CSequence* m_CursorSequence = nullptr;
    int32_t m_CursorRemapper = -1;
    CSprite* m_CursorAttached = nullptr;
    float m_CursorOpacity = 1.0f;
    bool m_DrawBeforeCursor = false;
    uint32_t m_OpenScreens = 0;
    float m_SparkleCountdown = 0.0f;
    std::unique_ptr<CSpriteArray> m_GameSprites;
    bool m_RecordingMouse = true;
    std::vector<SMouseEvent> m_MouseEvents;
    std::unique_ptr<CMouseEventListenerMixin> m_MouseRecorder;
    std::unique_ptr<CFrame> m_ChannelLogo;
    std::unique_ptr<CFrameList> m_InterfaceTextures;
    bool m_Capturing = false;
    std::unique_ptr<CFrame> m_CaptureFrame;

    bool m_Initialised = false;
    SCursorEntry m_Cursors[kCursorTableSize];
    // Cursors of the game's own sequences ("Poke Cursor", the assist cursors),
    // made at their first showing.
    CursorList m_ExtraCursors;
    std::unique_ptr<CSequenceCursor> m_BonusCursor;
    CSequence* m_BonusSequence = nullptr;
    SLoading m_Loading;
    CObject* m_GameSkinTheme = nullptr;
    std::unique_ptr<CFontFrameRateFont> m_FrameRateFont;
    CGameState* m_ChosenStoredState = nullptr;
    // Looked up once for the game object's life: the list owns it.
    CGameState* m_InitialState = nullptr;
};

// Builds, initialises and starts the game; the program's RunGame.
std::unique_ptr<CGameBase> RunGame();

// "Ombrisalt" unless the channel file names another; read once.
CJString GetChannelName();
// "(TM)" becomes the trade mark sign and "(*)" a bullet.
void ApplyTextSymbols(CJString& text);
// Every developer option is on while the data lie in loose folders.
bool IsDeveloperOptionSet(const char* name);
// Selects the state the current level starts from.
void SelectStartingGameState(bool restart);

// The sequence the cursor table holds at the index; null when empty or
// without a game object.
CSequence* GetCursorSequence(uint32_t index);
// Makes the sequence the mouse cursor; null: the standard "Mouse Cursor".
// Nothing without a game object.
void ShowSequenceAsCursor(CSequence* sequence);
// The skin theme the game's windows take ("Nadrevo"); null before Init.
CObject* GetGameSkinTheme();
// Draws the loading progress unless it is running or drew less than 50 ms
// ago; true when it drew.
bool DrawLoadingProgress();
// The stored state a restart starts from; null: the player's saved one.
// Kept by the game object, so nothing without one.
void SetChosenStoredGameState(CGameState* state);
// The settings file of the editors.
const char* GetEditorSettingsFileName();
