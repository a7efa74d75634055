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

// A label and its field, in this order: the label hands its hot key to the
// window after it.
struct SField {
    CFormLabel& label;
    CJEdit& edit;
};

SField AddField(CJWindow& form, const char* label, const char* text)
{
    CFormLabel& name = form.Add<CFormLabel>(kAsIsNoGrow, label);
    return SField{name, form.Add<CJEdit>(kAsIsNoGrow, text)};
}

// The field on one row from y, its edit as set up; the row's height.
int32_t LayOutField(CJWindow& form, const SField& field, int32_t y, int32_t fieldX, int32_t fieldWidth)
{
    const int32_t height = field.edit.GetHeight();
    field.label.SetSize(fieldX - form.GetEdgeMargin(), height);
    field.label.MoveTo(form.GetEdgeMargin(), y + 2);
    field.edit.SetSize(fieldWidth, height);
    field.edit.MoveTo(fieldX, y);
    return height + form.GetSpacingY();
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
    screen->AddChild(form, kAsIsNoGrow);
    form->AddCloseButton();

    const int32_t fieldX = 130;
    const int32_t fieldWidth = form->GetWidth() - fieldX - form->GetEdgeMargin();
    int32_t y = form->GetClientTopInset() + form->GetEdgeMargin();

    const SField name = AddField(*form, "&Name:", "Ombrisalt");
    name.edit.SetMaxLength(24);
    name.edit.SetForbiddenChars("/\\");
    y += LayOutField(*form, name, y, fieldX, fieldWidth);

    const SField count = AddField(*form, "&Count (1-10):", "5");
    count.edit.SetNumbersOnly(true);
    count.edit.SetRange(1.0f, 10.0f);
    count.edit.SetMaxLength(2);
    y += LayOutField(*form, count, y, fieldX, fieldWidth / 3);

    const SField password = AddField(*form, "&Password:", "");
    password.edit.SetPassword(true);
    password.edit.SetCanCopy(false);
    y += LayOutField(*form, password, y, fieldX, fieldWidth);

    const SField notes = AddField(*form, "N&otes:", "Right-click for the menu;\nF2 opens the zoom editor.");
    notes.edit.SetLineCount(5);
    notes.edit.SetEnterIsNewline(true);
    notes.edit.SetCanZoom(true);
    y += LayOutField(*form, notes, y, fieldX, fieldWidth);

    auto& status = form->Add<CFormLabel>(kAsIsNoGrow, "Type, Tab, Alt+letter");
    status.SetParseHotKeyMark(false);
    status.SetTitle(CJString("Type, Tab, Alt+letter"));
    status.SetSize(form->GetWidth() - 2 * form->GetEdgeMargin(), 18);
    status.MoveTo(form->GetEdgeMargin(), y + 4);
    form->m_Status = &status;
    form->BringChildToFront(&name.edit);
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
