#include "shell/GameWindow.h"

#include "foundation/CPerformanceMonitor.h"
#include "foundation/ShellServices.h"
#include "platform/CPlatform.h"
#include "shell/CKeyboardState.h"
#include "shell/CMouseState.h"
#include "shell/CScreenDevice.h"
#include "shell/CTypedCommandList.h"
#include "shell/WindowModes.h"

#include <utility>

namespace {

bool g_Active = false;
bool g_Minimised = false;
bool g_InPump = false;
bool g_ShutdownRequested = false;
// A close that came after input in one pass: the next pass takes it.
bool g_CloseHeld = false;
CMessagePumpClient* g_PumpClient = nullptr;

// Control keys: left and right.
constexpr uint16_t kLeftControlScan = 29;
constexpr uint16_t kRightControlScan = 285;
// Enter, which Alt+Enter must not type.
constexpr uint8_t kEnterCharacter = 13;

CPerformanceMonitor& PumpZone()
{
    static CPerformanceMonitor zone("ProcessSystemEvents", 0, 5.0f);
    return zone;
}

bool ActiveAndShown()
{
    return g_Active && !g_Minimised;
}

// Activation, minimising and restoring all end here.
void OnActivationChanged()
{
    if (g_PumpClient)
        g_PumpClient->OnWindowActivation(ActiveAndShown());
    if (!ActiveAndShown())
        CMouseState::SGetInstance().EndTracking();
}

bool IsUserInput(plat::WindowEvent::Kind kind)
{
    using Kind = plat::WindowEvent::Kind;
    switch (kind) {
    case Kind::MouseMove:
    case Kind::MouseButton:
    case Kind::MouseWheel:
    case Kind::KeyDown:
    case Kind::KeyUp:
    case Kind::Char:
    case Kind::SysChar:
    case Kind::ContextMenuKey:
        return true;
    default:
        return false;
    }
}

// Negative window points (left of or above the client area) count as 0.
void SetMousePosition(const plat::WindowEvent& event)
{
    CMouseState::SGetInstance().OnWindowPosition(event.x < 0 ? 0 : event.x, event.y < 0 ? 0 : event.y);
}

void OnMouseMove(const plat::WindowEvent& event)
{
    CMouseState& mouse = CMouseState::SGetInstance();
    constexpr uint32_t kMainButtons = 1 | 2 | 4;
    mouse.SetButtons((mouse.GetButtons() & ~kMainButtons) | (event.heldButtons & kMainButtons));
    SetMousePosition(event);
    if (g_Active)
        mouse.RefreshSystemCursor();
}

void OnMouseButton(const plat::WindowEvent& event)
{
    CMouseState& mouse = CMouseState::SGetInstance();
    SetMousePosition(event);
    if (event.down && event.doubleClick)
        mouse.AddClicks(event.button);
    if (event.down)
        mouse.SetButtons(mouse.GetButtons() | event.button);
    else
        mouse.SetButtons(mouse.GetButtons() & ~event.button);
}

// The window was given another size or place: the screen follows its real
// size. Only a change of the minimised state counts as an activation change:
// that one resets the keyboard.
void OnWindowPlaced()
{
    const bool minimised = plat::GetPlatform().GetWindow().IsMinimised();
    if (minimised != g_Minimised) {
        g_Minimised = minimised;
        OnActivationChanged();
    }
    if (IsScreenDeviceReady())
        CScreenDevice::SGetInstance().FollowWindow();
}

void OnKeyDown(const plat::WindowEvent& event)
{
    CKeyboardState& keyboard = CKeyboardState::SGetInstance();
    const bool control = keyboard.IsKeyDown(kLeftControlScan) || keyboard.IsKeyDown(kRightControlScan);
    keyboard.OnCharacter(uint32_t(MapVirtualKeyToKeyCode(event.virtualKey, control)));
    keyboard.OnKeyDown(event.scanIndex);
}

} // namespace

EngineKey MapVirtualKeyToKeyCode(uint16_t virtualKey, bool controlDown)
{
    switch (virtualKey) {
    case plat::vk::kTab:
        return controlDown ? EngineKey::ControlTab : EngineKey::None;
    case plat::vk::kPrior:
        return EngineKey::PageUp;
    case plat::vk::kNext:
        return EngineKey::PageDown;
    case plat::vk::kEnd:
        return EngineKey::End;
    case plat::vk::kHome:
        return EngineKey::Home;
    case plat::vk::kLeft:
        return EngineKey::Left;
    case plat::vk::kUp:
        return EngineKey::Up;
    case plat::vk::kRight:
        return EngineKey::Right;
    case plat::vk::kDown:
        return EngineKey::Down;
    case plat::vk::kInsert:
        return EngineKey::Insert;
    case plat::vk::kDelete:
        return EngineKey::Delete;
    case plat::vk::kF1:
        return EngineKey::F1;
    case plat::vk::kF2:
        return EngineKey::F2;
    case plat::vk::kF4:
        return EngineKey::F4;
    case plat::vk::kF5:
        return EngineKey::F5;
    case plat::vk::kF6:
        return EngineKey::F6;
    case plat::vk::kF7:
        return EngineKey::F7;
    case plat::vk::kF8:
        return EngineKey::F8;
    case plat::vk::kF9:
        return EngineKey::F9;
    case plat::vk::kF10:
        return EngineKey::F10;
    case plat::vk::kF11:
        return EngineKey::F11;
    default:
        return EngineKey::None;
    }
}

void HandleWindowEvent(const plat::WindowEvent& event)
{
    using Kind = plat::WindowEvent::Kind;
    CKeyboardState& keyboard = CKeyboardState::SGetInstance();
    switch (event.kind) {
    case Kind::MouseMove:
        OnMouseMove(event);
        break;
    case Kind::MouseButton:
        OnMouseButton(event);
        break;
    case Kind::MouseWheel:
        CMouseState::SGetInstance().AddWheel(event.wheelNotches);
        break;
    case Kind::KeyDown:
        OnKeyDown(event);
        break;
    case Kind::KeyUp:
        keyboard.OnKeyUp(event.scanIndex);
        if (event.virtualKey == plat::vk::kReturn && event.altHeld)
            ToggleWindowModeByKey();
        break;
    case Kind::Char:
        keyboard.OnCharacter(event.character);
        break;
    case Kind::SysChar:
        if (event.character != kEnterCharacter)
            keyboard.OnCharacter(event.character);
        break;
    case Kind::ContextMenuKey:
        keyboard.OnCharacter(uint32_t(EngineKey::ContextMenu));
        break;
    case Kind::Activated:
    case Kind::Deactivated:
        g_Active = event.kind == Kind::Activated;
        g_Minimised = plat::GetPlatform().GetWindow().IsMinimised();
        OnActivationChanged();
        break;
    case Kind::Minimised:
    case Kind::Restored:
        g_Minimised = event.kind == Kind::Minimised;
        OnActivationChanged();
        break;
    case Kind::MouseLeft:
        ShowSystemCursor();
        CMouseState::SGetInstance().EndTracking();
        break;
    case Kind::Close:
    case Kind::Quit:
        RequestShutdown();
        break;
    case Kind::Resized:
    case Kind::Moved:
        OnWindowPlaced();
        break;
    case Kind::None:
        break;
    }
}

void RunMessageLoop()
{
    if (g_InPump)
        return;
    g_InPump = true;
    CPerformanceMonitorScope zone(IsPerformanceMonitoringOn() ? &PumpZone() : nullptr);
    plat::CPlatform& platform = plat::GetPlatform();
    plat::CWindowDevice& window = platform.GetWindow();
    if (!ActiveAndShown()) {
        if (g_PumpClient && g_PumpClient->KeepsRunningInBackground()) {
            platform.Sleep(1);
        } else {
            platform.Sleep(100);
            g_Minimised = window.IsMinimised();
        }
    }
    const bool closeHeld = std::exchange(g_CloseHeld, false);
    if (TakeCloseRequest() || closeHeld)
        RequestShutdown();
    plat::WindowEvent event;
    // Closing ends the pass: nothing after it is handled. Input before it
    // (a drag's last movement and its release, then a signal) is the user's
    // last: a close that follows input waits for the next pass, so that this
    // one hands the input to the game.
    bool tookInput = false;
    while (!g_ShutdownRequested && window.PollEvent(event)) {
        const bool closing = event.kind == plat::WindowEvent::Kind::Close || event.kind == plat::WindowEvent::Kind::Quit;
        if (closing && tookInput) {
            g_CloseHeld = true;
            break;
        }
        tookInput = tookInput || IsUserInput(event.kind);
        HandleWindowEvent(event);
    }
    if (!g_ShutdownRequested)
        CTypedCommandList::SGetInstance().RunHeldCommands();
    g_InPump = false;
}

void PumpThenClearKeyboard(KeyboardClear what)
{
    CKeyboardState& keyboard = CKeyboardState::SGetInstance();
    if (what == KeyboardClear::Pressed || what == KeyboardClear::All) {
        RunMessageLoop();
        keyboard.ClearPressed();
    }
    if (what == KeyboardClear::Down || what == KeyboardClear::All) {
        RunMessageLoop();
        keyboard.ClearDown();
    }
    if (what == KeyboardClear::Pending || what == KeyboardClear::All) {
        RunMessageLoop();
        keyboard.ClearPending();
    }
}

void SetMessagePumpClient(CMessagePumpClient* client)
{
    g_PumpClient = client;
}

CMessagePumpClient* GetMessagePumpClient()
{
    return g_PumpClient;
}

bool IsWindowActive()
{
    return g_Active;
}

bool IsWindowMinimised()
{
    return g_Minimised;
}

void SetWindowState(bool active, bool minimised)
{
    g_Active = active;
    g_Minimised = minimised;
}

bool IsShutdownRequested()
{
    return g_ShutdownRequested;
}

void RequestShutdown()
{
    g_ShutdownRequested = true;
}

void ClearShutdownRequest()
{
    g_ShutdownRequested = false;
    g_CloseHeld = false;
}

void ShowSystemCursor()
{
    plat::GetPlatform().GetWindow().ShowSystemCursor(true);
}

void HideSystemCursor()
{
    plat::GetPlatform().GetWindow().ShowSystemCursor(false);
}

float GetKeyRepeatDelay()
{
    constexpr int32_t kDelaySetting = 1;
    return float(kDelaySetting) / 3.0f * 0.75f + 0.25f;
}

float GetKeyRepeatInterval()
{
    constexpr int32_t kSpeedSetting = 31;
    return float(31 - kSpeedSetting) / 31.0f * 0.36666667f + 0.033333335f;
}
