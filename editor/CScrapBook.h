#pragma once
// The scrap book: objects a designer copied to the clipboard, kept newest
// first in "Scrap Book.object.txt" so they can be put back on the clipboard
// later, also in a later run. A small frame window, at most one open.
//
// The file is read quietly: it may hold scraps of any class, also of classes
// this build no longer has. A file that cannot be read is kept aside as
// "Scrap Book.object.txt.bad" (".bad.1", ... when taken) and the book starts
// empty; when it cannot be moved, the book is not written over it in this
// run. Closing writes the book through the atomic replace when a scrap was
// added or deleted (a book only looked at writes nothing); a failed write
// leaves the old file and is reported.

#include "foundation/CDynamicList.h"
#include "objects/CObject.h"
#include "objects/CPropertyArrayProperty.h"
#include "ui/CJFrameWindow.h"

#include <cstdint>

class CJButton;
class CJHeader;
class CJListBox;

inline constexpr const char* kScrapBookFileName = "Scrap Book.object.txt";
inline constexpr const char* kScrapBookWindowKey = "Scrap Book Window";

class CScrapBookData : public CObject {
    OMBRISALT_REFLECTED(CScrapBookData, CObject)
public:
    CScrapBookData();
    ~CScrapBookData() override;

    uint32_t GetScrapCount() const { return m_pScrapObjects.GetCount(); }
    // Null past the end.
    CObject* GetScrap(uint32_t index) const;
    // The book takes the scrap.
    void InsertScrap(uint32_t index, CObject* scrap);
    // Destroys the scrap.
    void DeleteScrap(uint32_t index);

    CPropertyArray<CObject*> m_pScrapObjects; // owned, newest first
};

class CScrapBookWindow : public CJFrameWindow {
public:
    // Registers itself as the open scrap book and reads the file.
    explicit CScrapBookWindow(CJWindow* parent);
    // Writes the file (when not written by Close), without a message box.
    ~CScrapBookWindow() override;

    // Writes the file; a failed write shows "Error" / "Could not save <file>".
    bool Close() override;
    void Draw(CFrameInterface& frame) override;
    void SetRect(const CRect& rect) override;
    void OnNotify(CJWindow* sender, int32_t code) override;

    // The buttons' actions.
    void AddFromClipboard();
    void DeleteSelected();
    void CopySelected();

    CScrapBookData& GetData() { return *m_Data; }
    CJHeader* GetHeader() const { return m_Header; }
    CJListBox* GetList() const { return m_List; }
    CJButton* GetAddButton() const { return m_AddButton; }
    CJButton* GetDeleteButton() const { return m_DeleteButton; }
    CJButton* GetCopyButton() const { return m_CopyButton; }

private:
    void RefreshList();
    void Layout();
    // False when the file could not be written (or must not be); true with
    // nothing written when nothing was edited.
    bool Save();

    CScrapBookData* m_Data;
    CJHeader* m_Header = nullptr;
    CDynamicList* m_Rows;
    CJListBox* m_List = nullptr;
    CJButton* m_DeleteButton = nullptr;
    CJButton* m_CopyButton = nullptr;
    bool m_LaidOut = false;
    CJButton* m_AddButton = nullptr;
    bool m_Saved = false;
    bool m_Edited = false;
};

// Reads the file into data. A missing file leaves it empty; false when a
// file was there that could not be read: data is then empty and the file
// kept aside (or left in place, and SaveScrapBook refuses to write over it).
bool LoadScrapBook(CScrapBookData& data);
// Through the atomic replace; false when the file was not written.
bool SaveScrapBook(CScrapBookData& data);

bool IsScrapBookOpen();
CScrapBookWindow* GetScrapBookWindow();
// As OpenClipboardWindow: null, and nothing made, while one is open.
CScrapBookWindow* OpenScrapBook(CJWindow* parent, EPlace placement = EPlace::AsIs, CJWindow* reference = nullptr);
