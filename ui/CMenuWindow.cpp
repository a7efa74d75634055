#include "ui/CMenuWindow.h"

#include "shell/CKeyboardState.h"

CMenuWindow::CMenuWindow(CJWindow* parent)
    : CJFrameWindow(parent)
{
    Construct();
}

CMenuWindow::CMenuWindow(CJWindow* parent, const CJString& title)
    : CJFrameWindow(parent, title)
{
    Construct();
}

CMenuWindow::CMenuWindow(CJWindow* parent, const char* title)
    : CJFrameWindow(parent, title)
{
    Construct();
}

void CMenuWindow::Construct()
{
    SetMovable(false);
}

CMenuWindow::~CMenuWindow()
{
    CJWindow* replaced = m_ReplacedWindow;
    m_ReplacedWindow = nullptr;
    if (!replaced)
        return;
    if (!m_Parent) {
        replaced->Destroy();
        return;
    }
    m_Parent->AddChildFirst(replaced);
    replaced->SetRect(m_ReplacedRect);
    replaced->Show(true, false);
}

void CMenuWindow::SwitchTo(CMenuWindow* window, bool centred)
{
    CJWindow* parent = m_Parent;
    // Nowhere to put the new window: this one stays.
    if (!window || window == this || !parent)
        return;
    window->SetModal(m_Modal);
    parent->RemoveChild(this);
    parent->AddChildFirst(window, centred ? EPlace::Centred : EPlace::AsIs);
    window->SetReplacedWindow(this);
}

void CMenuWindow::SetReplacedWindow(CJWindow* window)
{
    if (m_ReplacedWindow && m_ReplacedWindow != window)
        m_ReplacedWindow->Destroy();
    m_ReplacedWindow = window;
    if (!window)
        return;
    m_ReplacedRect = window->GetRect();
    window->Show(false, false);
}

void CMenuWindow::ReleaseReplacedWindow()
{
    CJWindow* replaced = m_ReplacedWindow;
    if (!replaced)
        return;
    replaced->ReleaseReplacedWindow();
    m_ReplacedWindow = nullptr;
    replaced->Destroy();
}

bool CMenuWindow::OnKeyDown(uint32_t key)
{
    if (CJWindow::OnKeyDown(key))
        return true;
    switch (key) {
    case uint32_t(EngineKey::Up):
    case uint32_t(EngineKey::Left):
        FocusPrevious();
        return true;
    case uint32_t(EngineKey::Down):
    case uint32_t(EngineKey::Right):
        FocusNext();
        return true;
    case kKeyEnter:
        if (m_FirstChild && m_FirstChild->OnHotKeyActivate())
            return true;
        return m_DefaultButton ? m_DefaultButton->OnHotKeyActivate() : false;
    case kKeyEscape:
        return m_CancelButton ? m_CancelButton->OnHotKeyActivate() : false;
    case kKeyActivateDefault:
        return m_DefaultButton ? m_DefaultButton->OnHotKeyActivate() : false;
    default:
        return false;
    }
}
