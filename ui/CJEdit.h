#pragma once
// The text entry control: one line by default, optionally several wrapped
// lines. The edited text is the window's own title. Hot-key marks are not
// read from it, so an '&' typed or set stays in the text.
//
// Positions (caret, selection ends) are indices between characters,
// 0..length. The selection runs between the anchor (fixed) and the end
// (which follows the caret); it is empty when the two meet. A new edit,
// and one that takes the focus or a new text, starts with everything
// selected.
//
// Typed characters pass, in order: upper-casing, the forbidden characters,
// the numbers-only filter (digits, '.' and '-'), then the length and width
// limits on the text they would make. A refused character changes nothing,
// broadcasts "Player Error.wav" and is taken (no hot key behind the field
// runs on it). After every typed character, Backspace
// and Delete the whole text is checked against the numeric range (both 0:
// none, and an empty text always passes); a text out of range is put back
// as it was before the key, with the same sound. Every accepted key tells
// the parent once (kNotifyChanged); a key that is put back tells nothing.
//
// Pasted text is typed character by character through the same filters.
// Line ends in it (13 read as 10) become line breaks in edits that take
// them (multi-line, or Enter as a line break) and are dropped elsewhere;
// other control codes are dropped, so pasted text never runs editing keys.
//
// One level of undo: the text as it was when the edit last took the focus.
// Undo swaps it with the current text, so a second undo brings the change
// back.
//
// Insert mode (true: insert, false: overwrite) is process-wide; the Insert
// key toggles it for every edit at once.
//
// The caret blinks on the engine's millisecond clock: drawn while bit 8 of
// the tick is set (256 ms on, 256 ms off).
//
// Key codes are the engine's; several share a code with a Ctrl+letter, and
// that stays so (Ctrl+Z is F11, Ctrl+F is Up, Ctrl+H is Backspace).

#include "ui/CJFrameWindow.h"
#include "ui/CJWindow.h"

#include <cstdint>
#include <vector>

class CCommand;
class CJButton;
class CJMenu;
class CTextEditZoomWindow;

class CJEdit : public CJWindow {
public:
    explicit CJEdit(CJWindow* parent);
    CJEdit(CJWindow* parent, const CJString& initialText);
    CJEdit(CJWindow* parent, const char* initialText);
    // Destroys the context menu when it is still open; an open zoom editor
    // forgets this edit.
    ~CJEdit() override;

    // ---- CJWindow ---------------------------------------------------------
    void Draw(CFrameInterface& frame) override;
    // A left double click selects the word (split at spaces) round the point.
    bool OnMouseDoubleClick(uint32_t button, CPoint point, uint32_t flag) override;
    // Left: caret (and, without Shift, the anchor) to the point; right: the
    // context menu.
    bool OnMouseDown(uint32_t button, CPoint point) override;
    // With the left button held the caret follows the pointer.
    bool OnMouseDrag(CPoint point, CPoint movement, uint32_t buttons, CCursorSequence*& cursor) override;
    bool OnKeyDown(uint32_t key) override;
    // Gaining (no context menu open): select all, and the text becomes the
    // undo text.
    void SetFocus(bool focus) override;
    // mode 1 performs; any other mode only answers whether it could.
    bool ClipboardCut(intptr_t mode) override;
    bool ClipboardCopy(intptr_t mode) override;
    bool ClipboardPaste(intptr_t mode) override;
    // Without a selection it removes the character at the caret and answers
    // false all the same (the answer doubles as the menu's enable test). A
    // cut or delete that would leave the range is refused with the sound.
    bool ClipboardDelete(intptr_t mode) override;
    // Scroll back to the start; select all when the edit selects on focus.
    void SetTitle(const CJString& title) override;
    // The text cursor while the edit and its parent are enabled.
    CCursorSequence* GetCursor(CPoint point) override;

    // ---- Edit -------------------------------------------------------------
    // shownText: the text as drawn (stars for a password), in content
    // coordinates.
    virtual void DrawSelection(CFrameInterface& frame, const CJString& shownText);
    virtual void DrawText(CFrameInterface& frame, const CJString& shownText);
    virtual void DrawCaret(CFrameInterface& frame, const CJString& shownText);
    // True when the text is empty or within the range (or no range is set);
    // otherwise the error sound and false.
    virtual bool ValidateText(const CJString& text);

    // Multi-line, n lines high.
    void SetLineCount(int32_t lines);
    // The text; when the range refuses it the old text stays and the parent
    // hears nothing, else the parent is told.
    void SetTextAndNotify(const CJString& text);
    // false when the text is the undo text; mode 1 swaps the two.
    bool Undo(intptr_t mode);
    void SelectAll();
    // Opens the zoom editor (or raises the one open for this edit).
    void OpenZoomEditor();

    // mode 0: extend while Shift is held, else collapse; 1: collapse;
    // 2: extend (the anchor stays).
    void MoveCaret(uint32_t position, int32_t mode);
    // The index nearest a point in content coordinates.
    uint32_t GetCharacterAt(CPoint point);
    uint32_t GetCaret() const { return m_Caret; }
    uint32_t GetSelectionAnchor() const { return m_SelAnchor; }
    uint32_t GetSelectionEnd() const { return m_SelEnd; }
    bool HasSelection() const { return m_SelAnchor != m_SelEnd; }
    int32_t GetScrollX() const { return m_ScrollX; }
    const CJString& GetUndoText() const { return m_UndoText; }

    void SetNumbersOnly(bool on) { m_NumbersOnly = on; }
    void SetForbiddenChars(const char* characters) { m_ForbiddenChars.Set(characters); }
    void SetMaxLength(uint8_t length) { m_MaxLength = length; }
    void SetLimitToWidth(bool on) { m_LimitToWidth = on; }
    // Both 0: no range.
    void SetRange(float minimum, float maximum) { m_MinValue = minimum, m_MaxValue = maximum; }
    void SetCanZoom(bool on) { m_CanZoom = on; }
    void SetEnterIsNewline(bool on) { m_EnterIsNewline = on; }
    void SetForceUpperCase(bool on) { m_ForceUpperCase = on; }
    void SetCanCopy(bool on) { m_CanCopy = on; }
    void SetEditable(bool on) { m_Editable = on; }
    void SetShowCaret(bool on) { m_ShowCaret = on; }
    void SetDrawBackground(bool on) { m_DrawBackground = on; }
    void SetSelectAllOnFocus(bool on) { m_SelectAllOnFocus = on; }
    void SetPassword(bool on) { m_Password = on; }
    // -1: the edit's own theme.
    void SetMenuThemeIndex(int32_t index) { m_MenuThemeIndex = index; }
    // The context menu closed (its close notification calls this).
    void ClearContextMenu() { m_ContextMenu = nullptr; }

    bool IsMultiLine() const { return m_MultiLine; }
    bool IsEditable() const { return m_Editable; }
    bool IsPassword() const { return m_Password; }
    bool CanZoom() const { return m_CanZoom; }
    CJMenu* GetContextMenu() const { return m_ContextMenu; }
    CTextEditZoomWindow* GetZoomWindow() const { return m_ZoomWindow; }

    // Process-wide: true inserts, false overwrites.
    static bool IsInsertMode();
    static void SetInsertMode(bool insert);

protected:
    // One shown line: where it starts in the text and how many characters it
    // shows (a line break that ends it is not counted).
    struct SLine {
        int32_t start = 0;
        int32_t length = 0;
    };

    // A character typed (or a line break): true when taken.
    bool TypeCharacter(uint32_t character);
    // After Backspace, Delete and typed characters: notify, or put back.
    void CheckChange(const CJString& before, uint32_t caret, uint32_t anchor, uint32_t end);
    bool FitsLimits(const CJString& text);
    void OpenContextMenu();
    void PlayErrorSound();
    // The parent is told unless the edit is inside a key (which tells once).
    void NotifyChanged();
    void ClampPositions();
    // A deletion's text and caret, unless it would leave the range.
    void TakeDeletion(const CJString& text, uint32_t position);
    CJString GetShownText() const;
    // The shown text's lines, laid out again only when it or the width changed.
    const std::vector<SLine>& GetLines(const CJString& shownText);
    int32_t LineOf(uint32_t position, const std::vector<SLine>& lines) const;
    // The caret's (or any position's) left edge and line top, unscrolled.
    void GetPositionXY(const CJString& shownText, uint32_t position, int32_t& x, int32_t& y);
    int32_t LineStep() const;
    void KeepCaretInView(const CJString& shownText);

    uint32_t m_Caret = 0;
    uint32_t m_SelAnchor = 0;
    uint32_t m_SelEnd = 0;
    int32_t m_ScrollX = 0;
    bool m_NumbersOnly = false;
    CJString m_ForbiddenChars;
    uint8_t m_MaxLength = 0;
    bool m_LimitToWidth = false;
    float m_MinValue = 0.0f;
    float m_MaxValue = 0.0f;
    bool m_CanZoom = false;
    bool m_EnterIsNewline = false;
    bool m_MultiLine = false;
    bool m_ForceUpperCase = false;
    bool m_CanCopy = true;
    bool m_Editable = true;
    bool m_ShowCaret = true;
    bool m_DrawBackground = true;
    bool m_SelectAllOnFocus = true;
    bool m_Password = false;
    CJMenu* m_ContextMenu = nullptr;
    int32_t m_MenuThemeIndex = -1;
    CJString m_UndoText;

private:
    friend class CTextEditZoomWindow;
    void Construct(const CJString& initialText);

    CTextEditZoomWindow* m_ZoomWindow = nullptr;
    // Nested keys (paste, Page Up) tell the parent only through the outer one.
    int32_t m_KeyDepth = 0;
    bool m_ChangedInKey = false;
    CJString m_LayoutText;
    int32_t m_LayoutWidth = -1;
    bool m_LayoutMultiLine = false;
    std::vector<SLine> m_Lines;
};

// Whether the keys typed now reach an edit: one on the focus path that keys
// take down from root (focused, shown and enabled children, none past a
// modal one).
bool HasEditOnFocusPath(const CJWindow& root);

// A bare window that lets an owner hear that a window it does not own has
// gone: added as a child of that window, it runs its command when it is
// destroyed with it. It owns the command.
class CCloseNotification : public CJWindow {
public:
    CCloseNotification(CJWindow* parent, CCommand* command);
    ~CCloseNotification() override;

    // Runs the command (once), then destroys the window.
    void Destroy() override;

private:
    CCommand* m_Command = nullptr;
};

// The larger editor an edit opens on F2: a frame window titled "Text Editor"
// with a 25-line multi-line edit holding the source's text (and its
// filters), and "DONE", which hands the text back to the source through
// SetTextAndNotify and closes the window. A text too long or too wide for
// the source is refused with the error sound, and the window stays open.
class CTextEditZoomWindow : public CJFrameWindow {
public:
    explicit CTextEditZoomWindow(CJEdit* source);
    ~CTextEditZoomWindow() override;

    void OnNotify(CJWindow* sender, int32_t code) override;

    CJEdit* GetInnerEdit() const { return m_Edit; }
    CJButton* GetDoneButton() const { return m_Done; }
    CJEdit* GetSource() const { return m_Source; }

private:
    friend class CJEdit;
    CJEdit* m_Source;
    CJEdit* m_Edit = nullptr;
    CJButton* m_Done = nullptr;
};
