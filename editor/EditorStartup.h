#pragma once
// The editors' program-wide objects: fixed texts (most of them localisable,
// so they are registered for translation before the table loads), the
// handle code table and the browser drop message. Each is a function-local
// static; BuildEditorStartupObjects makes them all in a fixed order at
// start-up (RegisterEditorClasses calls it), so the translation registry
// sees them before the first frame whichever is used first.

#include "foundation/CJString.h"
#include "foundation/CPoint.h"
#include "objects/CMessage.h"

class CCodeTableList;
class CJWindow;
class CLocalizedString;

void BuildEditorStartupObjects();

// The rotate-and-scale tool's handles, codes 0 to 9.
enum class EEditorHandle : uint32_t {
    TopLeft,
    TopRight,
    BottomRight,
    BottomLeft,
    Top,
    Bottom,
    Left,
    Right,
    Rotator,
    Origin
};
CCodeTableList& GetHandleCodeList();

// The texts of the new-file dialog's message boxes and buttons.
struct SNewFileDialogTexts {
    CLocalizedString& error;
    CLocalizedString& fileExists;
    CLocalizedString& nameMissing;
    CLocalizedString& folderMissing;
    CLocalizedString& folderNotCreated;
    CLocalizedString& cancel;
    CLocalizedString& createFolder;
};
const SNewFileDialogTexts& GetNewFileDialogTexts();

// The clipboard window's title, the scrap book's column titles, the Foo
// edit frame's texts and the asset dependency browser's column titles.
const CJString& GetClipboardWindowTitle();
const CJString& GetScrapBookNumberColumnTitle();
CLocalizedString& GetScrapBookContentsColumnTitle();
CLocalizedString& GetScrapBookCommentColumnTitle();
CLocalizedString& GetFooEditPropertiesText();
CLocalizedString& GetFooEditShowBackgroundText();
CLocalizedString& GetFooEditPreviewText();
CLocalizedString& GetDependencyPropertyColumnTitle();
CLocalizedString& GetDependencyNameColumnTitle();
CLocalizedString& GetDependencyTypeColumnTitle();
CLocalizedString& GetDependencyPathColumnTitle();

// An image browser item dropped outside its browser: the browser's frame
// window and the drop point in the root window's coordinates. Receivers
// ask the browser for its selected item.
class CBrowserItemDroppedMessage : public CMessage {
public:
    CBrowserItemDroppedMessage(CJWindow* browser, CPoint position)
        : CMessage(SGetType())
        , m_Browser(browser)
        , m_Position(position)
    {
    }
    static uint32_t SGetType();

    CJWindow* GetBrowser() const { return m_Browser; }
    CPoint GetPosition() const { return m_Position; }

private:
    CJWindow* m_Browser;
    CPoint m_Position;
};

// The first text of the launcher's record (the game's name).
CJString GetStartupName();
// The version text of the main menu: "1.0 Build " and the game's build
// number, "Build" localisable.
CJString BuildVersionText();
