#include "ui/program/EditShowcase.h"

#include "shell/program/CStandInGame.h"
#include "ui/CAlphaTheme.h"
#include "ui/CJEdit.h"
#include "ui/CJFrameWindow.h"
#include "ui/CScreenWindow.h"

#include <string>

namespace {

// A line of text; not a tab stop, so Alt and its letter reach the field
// after it.
class CFormLabel : public CJWindow {
public:
    CFormLabel(CJWindow* parent, const char* title)
        : CJWindow(parent, title)
    {
    }
    void Draw(CFrameInterface& frame) override { DrawTitle(frame, 0, 0, 0); }
};

// The form: says which field changed and what it holds now.
class CEditForm : public CJFrameWindow {
public:
    using CJFrameWindow::CJFrameWindow;
    void OnNotify(CJWindow* sender, int32_t code) override
    {
        auto* edit = dynamic_cast<CJEdit*>(sender);
        if (code == kNotifyChanged && edit && m_Status) {
            std::string text = "Changed: ";
            text += edit->IsPassword() ? std::string(size_t(edit->GetTitle().GetLength()), '*')
                                       : std::string(edit->GetTitle().GetString());
            for (char& c : text)
                if (c == '\n')
                    c = ' ';
            m_Status->SetTitle(CJString(text.c_str()));
            return;
        }
        CJFrameWindow::OnNotify(sender, code);
    }
    CJWindow* m_Status = nullptr;
};

struct SEditShowcase {
    SStandInHooks previous;
};
SEditShowcase* g_EditShowcase = nullptr;

void AddAt(CJWindow& form, CJWindow* window, int32_t x, int32_t y)
{
    window->MoveTo(x, y);
    form.AddChild(window, 0, nullptr, kDefaultOffset, kDefaultOffset, kPlaceNoGrow);
}

// A label and its field on one row; the row's height.
int32_t AddField(CJWindow& form, const char* label, CJEdit* edit, int32_t y, int32_t fieldX, int32_t fieldWidth)
{
    auto* name = new CFormLabel(&form, label);
    name->SetSize(fieldX - form.GetEdgeMargin(), edit->GetHeight());
    AddAt(form, name, form.GetEdgeMargin(), y + 2);
    edit->SetSize(fieldWidth, edit->GetHeight());
    AddAt(form, edit, fieldX, y);
    return edit->GetHeight() + form.GetSpacingY();
}

void Init()
{
    if (g_EditShowcase->previous.init)
        g_EditShowcase->previous.init();
    CScreenWindow* screen = CScreenWindow::GetScreenWindow();
    if (!screen)
        return;
    auto* theme = new CThemeSpecifier("Demo");
    auto* form = new CEditForm(theme, "Text Fields");
    theme->Destroy();
    form->SetRect(CRect{24, 250, 384, 500});
    screen->AddChild(form, 0, nullptr, kDefaultOffset, kDefaultOffset, kPlaceNoGrow);
    form->AddCloseButton();

    const int32_t fieldX = 130;
    const int32_t fieldWidth = form->GetWidth() - fieldX - form->GetEdgeMargin();
    int32_t y = form->GetClientTopInset() + form->GetEdgeMargin();

    auto* name = new CJEdit(form, "Ombrisalt");
    name->SetMaxLength(24);
    name->SetForbiddenChars("/\\");
    y += AddField(*form, "&Name:", name, y, fieldX, fieldWidth);

    auto* count = new CJEdit(form, "5");
    count->SetNumbersOnly(true);
    count->SetRange(1.0f, 10.0f);
    count->SetMaxLength(2);
    y += AddField(*form, "&Count (1-10):", count, y, fieldX, fieldWidth / 3);

    auto* password = new CJEdit(form, "");
    password->SetPassword(true);
    password->SetCanCopy(false);
    y += AddField(*form, "&Password:", password, y, fieldX, fieldWidth);

    auto* notes = new CJEdit(form, "Right-click for the menu;\nF2 opens the zoom editor.");
    notes->SetLineCount(5);
    notes->SetEnterIsNewline(true);
    notes->SetCanZoom(true);
    y += AddField(*form, "N&otes:", notes, y, fieldX, fieldWidth);

    auto* status = new CFormLabel(form, "Type, Tab, Alt+letter");
    status->SetParseHotKeyMark(false);
    status->SetTitle(CJString("Type, Tab, Alt+letter"));
    status->SetSize(form->GetWidth() - 2 * form->GetEdgeMargin(), 18);
    AddAt(*form, status, form->GetEdgeMargin(), y + 4);
    form->m_Status = status;
    form->BringChildToFront(name);
}

} // namespace

void InstallEditShowcase()
{
    // Kept for the whole run, as the hooks are.
    g_EditShowcase = new SEditShowcase;
    g_EditShowcase->previous = GetStandInHooks();
    SStandInHooks hooks = g_EditShowcase->previous;
    hooks.init = &Init;
    SetStandInHooks(hooks);
}
