#include "editor/CScrapBook.h"

#include "editor/CClipboardWindow.h"
#include "editor/EditorStartup.h"
#include "foundation/CCommand.h"
#include "foundation/CLocalizedString.h"
#include "foundation/CurrentLoadFile.h"
#include "foundation/FileHelpers.h"
#include "foundation/FilePaths.h"
#include "images/CFont.h"
#include "objects/CObjectStream.h"
#include "objects/CPObjectProperty.h"
#include "objects/CPropertyDeclarer.h"
#include "objects/CommentProperty.h"
#include "objects/DeclaredClassBody.h"
#include "platform/FileSystem.h"
#include "shell/CClipboard.h"
#include "ui/CJButton.h"
#include "ui/CJHeader.h"
#include "ui/CJListBox.h"

#include <algorithm>
#include <cstdio>
#include <string>

OMBRISALT_DECLARED_CLASS(CScrapBookData, 1.0)

void CScrapBookData::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddArray<CTypedPObjectProperty<CObject>>(&CScrapBookData::m_pScrapObjects, "Scraps", "Scrap", nullptr);
}

namespace {

CScrapBookWindow* g_ScrapBook = nullptr;
// Set while a scrap book file that could not be read is still in place (it
// could not be moved aside): writing would destroy it.
bool g_UnreadFileInPlace = false;

constexpr int32_t kStartWidth = 200;
constexpr int32_t kStartHeight = 43;
// The list's height only follows the window while it stays above this.
constexpr int32_t kMinListHeight = 10;
constexpr int32_t kNumberColumnWidth = 20;
constexpr int32_t kTextColumnWidth = 120;
constexpr int32_t kColumnsWidth = kNumberColumnWidth + 2 * kTextColumnWidth;

CPropertyArrayProperty& ScrapsProperty()
{
    return *static_cast<CPropertyArrayProperty*>(CScrapBookData::SGetClassInfo()->FindProperty("Scraps"));
}

void Log([[maybe_unused]] const char* text, [[maybe_unused]] const char* detail)
{
#if !defined(OMBRISALT_FUZZING)
    std::fprintf(stderr, "%s: %s%s\n", kScrapBookFileName, text, detail);
#endif
}

class CLoadNameScope {
public:
    explicit CLoadNameScope(const char* name)
        : m_Previous(GetCurrentLoadFileName())
    {
        GetCurrentLoadFileName() = name;
    }
    ~CLoadNameScope() { GetCurrentLoadFileName() = m_Previous; }
    CLoadNameScope(const CLoadNameScope&) = delete;
    CLoadNameScope& operator=(const CLoadNameScope&) = delete;

private:
    CJString m_Previous;
};

// Scraps may be of any class, also of classes this build lacks, and name
// list items since removed: nothing in the file may end the program.
bool ReadQuietly(CScrapBookData& data, CJString& error)
{
    CObjectStream stream;
    if (!stream.Open(kScrapBookFileName, FILE_READ, IdMode::WithoutIds)) {
        error.Set("The file could not be opened");
        return false;
    }
    stream.SetQuiet(true);
    stream.SetUntrusted(true);
    stream.SetMissingNamesAsNone(true);
    bool ok;
    {
        CLoadNameScope name(kScrapBookFileName);
        ok = data.ReadFromStream(stream) && !stream.HasReadError();
    }
    if (!ok)
        error = stream.HasReadError() ? stream.GetErrorText() : CJString("The file is damaged");
    stream.Close();
    return ok;
}

} // namespace

bool LoadScrapBook(CScrapBookData& data)
{
    g_UnreadFileInPlace = false;
    data.ResetToDefaults();
    if (!plat::PathExists(DiskPathOf(kScrapBookFileName, 0)))
        return true;
    CJString error;
    if (ReadQuietly(data, error))
        return true;
    // What was read of a damaged file is not offered: the whole file is kept.
    data.ResetToDefaults();
    Log("could not be read: ", error.GetString());
    const CJString kept = KeepFileAside(kScrapBookFileName, 0);
    if (kept.IsEmpty()) {
        g_UnreadFileInPlace = true;
        Log("could not be moved aside; it will not be written over in this run", "");
    } else {
        Log("kept as ", kept.GetString());
    }
    return false;
}

bool SaveScrapBook(CScrapBookData& data)
{
    if (g_UnreadFileInPlace) {
        Log("not saved: the file there could not be read and is kept", "");
        return false;
    }
    if (!data.SaveToFile(kScrapBookFileName, 0)) {
        Log("could not be written; the file keeps what it held", "");
        return false;
    }
    return true;
}

CObject* CScrapBookData::GetScrap(uint32_t index) const
{
    return index < m_pScrapObjects.GetCount() ? m_pScrapObjects[index] : nullptr;
}

void CScrapBookData::InsertScrap(uint32_t index, CObject* scrap)
{
    const uint32_t count = m_pScrapObjects.GetCount();
    index = std::min(index, count);
    ScrapsProperty().ArrayProperty_SetCount(this, count + 1, int32_t(index));
    m_pScrapObjects[index] = scrap;
}

void CScrapBookData::DeleteScrap(uint32_t index)
{
    const uint32_t count = m_pScrapObjects.GetCount();
    if (index < count)
        ScrapsProperty().ArrayProperty_SetCount(this, count - 1, int32_t(index));
}

// ---- Window ------------------------------------------------------------------------

CScrapBookWindow::CScrapBookWindow(CJWindow* parent)
    : CJFrameWindow(parent, "Scrap Book")
    , m_Data(new CScrapBookData)
    , m_Rows(new CDynamicList)
{
    g_ScrapBook = this;
    LoadScrapBook(*m_Data);
    SetSize(kStartWidth, kStartHeight);
    AddCloseButton();
    AddResizeGrip();
    AddTransparencyToggle();

    const int32_t border = GetBorderWidth();
    const int32_t lineHeight = GetFont() ? int32_t(GetFont()->GetHeight()) : 0;
    m_AddButton = &Add<CJButton>(kAsIsNoGrow, "Add");
    m_AddButton->SetToolTipText("Add the current contents of the clipboard to the scrap book", false);
    m_AddButton->SetCommand(new CObjectFunctionCommand<CScrapBookWindow>(this, &CScrapBookWindow::AddFromClipboard));
    m_AddButton->MoveTo(border, GetClientTopInset() + border + lineHeight + GetSpacingY());

    m_Header = &Add<CJHeader>(kAsIsNoGrow);
    m_Header->AddColumn(GetScrapBookNumberColumnTitle(), kNumberColumnWidth);
    m_Header->AddColumn(GetScrapBookContentsColumnTitle(), kTextColumnWidth);
    m_Header->AddColumn(GetScrapBookCommentColumnTitle(), kTextColumnWidth);
    m_Header->SetRect(CRect{border, m_AddButton->GetRect().bottom + GetSpacingY(), border + kColumnsWidth,
                            m_AddButton->GetRect().bottom + GetSpacingY() + m_Header->GetHeight()});

    m_List = &Add<CJListBox>(kAsIsNoGrow, m_Rows, nullptr, 100, 5);
    m_List->SetHeader(m_Header);
    m_List->SetRect(CRect{border, m_Header->GetRect().bottom, border + kColumnsWidth,
                          m_Header->GetRect().bottom + m_List->GetHeight()});
    RefreshList();

    m_DeleteButton = &Add<CJButton>(kAsIsNoGrow, "Delete");
    m_DeleteButton->SetToolTipText("Delete the selected item from the scrap book", false);
    m_DeleteButton->SetCommand(new CObjectFunctionCommand<CScrapBookWindow>(this, &CScrapBookWindow::DeleteSelected));
    m_CopyButton = &Add<CJButton>(kAsIsNoGrow, "Copy");
    m_CopyButton->SetToolTipText("Copy the selected scrap to the clipboard (or just double click on item)", false);
    m_CopyButton->SetCommand(new CObjectFunctionCommand<CScrapBookWindow>(this, &CScrapBookWindow::CopySelected));
    const int32_t buttonsTop = m_List->GetRect().bottom + GetSpacingY();
    m_DeleteButton->MoveTo(border, buttonsTop);
    m_CopyButton->MoveTo(m_DeleteButton->GetRect().right + GetSpacingX(), buttonsTop);

    SetSize(
        std::max(GetWidth(), m_List->GetRect().right + border),
        std::max({GetHeight(), m_DeleteButton->GetRect().bottom + border, m_CopyButton->GetRect().bottom + border}));
    LoadWindowSettings(kScrapBookWindowKey, true);
    m_Header->LoadColumnWidths();
    m_LaidOut = true;
    Layout();
}

CScrapBookWindow::~CScrapBookWindow()
{
    m_Header->SaveColumnWidths();
    // The list outlives its rows here: it must not read them any more.
    m_List->SetVirtualArray(nullptr, nullptr, false);
    delete m_Rows;
    m_Rows = nullptr;
    if (!m_Saved)
        Save();
    delete m_Data;
    m_Data = nullptr;
    if (g_ScrapBook == this)
        g_ScrapBook = nullptr;
}

bool CScrapBookWindow::Save()
{
    m_Saved = true;
    return !m_Edited || SaveScrapBook(*m_Data);
}

bool CScrapBookWindow::Close()
{
    if (!m_Saved && !Save()) {
        CJString text("Could not save ");
        text.Append(kScrapBookFileName);
        if (CJWindow* root = GetRootWindow(); root && root != this)
            root->ShowMessageBox(CJString("Error"), text);
    }
    return CJFrameWindow::Close();
}

void CScrapBookWindow::Draw(CFrameInterface& frame)
{
    DrawSkinBack(frame);
    DrawClipboardLine(*this, frame);
    CJWindow::Draw(frame);
}

void CScrapBookWindow::SetRect(const CRect& rect)
{
    CJFrameWindow::SetRect(rect);
    if (m_LaidOut)
        Layout();
}

void CScrapBookWindow::Layout()
{
    const int32_t border = GetBorderWidth();
    const int32_t width = std::max(GetWidth() - 2 * border, 1);
    const CRect& headerRect = m_Header->GetRect();
    m_Header->SetRect(CRect{border, headerRect.top, border + width, headerRect.bottom});
    m_Header->SetTotalWidth(width);
    m_Header->LayoutColumns();

    const int32_t buttonsHeight = std::max(m_DeleteButton->GetHeight(), m_CopyButton->GetHeight());
    const int32_t listTop = m_List->GetRect().top;
    int32_t listHeight = GetHeight() - listTop - buttonsHeight - GetSpacingY() - border;
    if (listHeight <= kMinListHeight)
        listHeight = m_List->GetHeight();
    m_List->SetRect(CRect{border, listTop, border + width, listTop + listHeight});

    const int32_t buttonsTop = m_List->GetRect().bottom + GetSpacingY();
    m_DeleteButton->MoveTo(border, buttonsTop);
    m_CopyButton->MoveTo(m_DeleteButton->GetRect().right + GetSpacingX(), buttonsTop);
}

void CScrapBookWindow::RefreshList()
{
    m_Rows->RemoveAll();
    for (uint32_t i = 0; i < m_Data->GetScrapCount(); ++i) {
        CObject* scrap = m_Data->GetScrap(i);
        CJString description;
        if (scrap)
            scrap->GetDescription(description);
        const CJString comment = GetObjectComment(scrap);
        CJString row;
        row.AppendInt(int32_t(i + 1));
        row.Append("\t");
        row.Append(description);
        row.Append("\t");
        row.Append(comment);
        const int32_t at = m_Rows->Add(row, i);
        if (!comment.IsEmpty())
            m_Rows->SetSecondText(at, comment);
    }
    m_List->SetVirtualArray(m_Rows, nullptr, true);
}

void CScrapBookWindow::AddFromClipboard()
{
    CObject* scrap = CClipboard::SGetInstance().PasteObject(CClipboard::AllowText::Yes);
    if (!scrap)
        return;
    m_Data->InsertScrap(0, scrap);
    m_Edited = true;
    RefreshList();
    m_List->SelectRow(0, true);
}

void CScrapBookWindow::DeleteSelected()
{
    const int32_t item = m_List->GetSelectedItem();
    if (item < 0 || uint32_t(item) >= m_Data->GetScrapCount())
        return;
    m_Data->DeleteScrap(uint32_t(item));
    m_Edited = true;
    RefreshList();
}

void CScrapBookWindow::CopySelected()
{
    const int32_t item = m_List->GetSelectedItem();
    if (item < 0)
        return;
    if (CObject* scrap = m_Data->GetScrap(uint32_t(item)))
        CClipboard::SGetInstance().CopyObject(scrap);
}

void CScrapBookWindow::OnNotify(CJWindow* sender, int32_t code)
{
    if (sender == m_List && code == kNotifyClicked)
        CopySelected();
    CJFrameWindow::OnNotify(sender, code);
}

bool IsScrapBookOpen()
{
    return g_ScrapBook != nullptr;
}

CScrapBookWindow* GetScrapBookWindow()
{
    return g_ScrapBook;
}

CScrapBookWindow* OpenScrapBook(CJWindow* parent, EPlace placement, CJWindow* reference)
{
    if (!parent || IsScrapBookOpen())
        return nullptr;
    return &parent->Add<CScrapBookWindow>({placement, reference, kDefaultOffset, kDefaultOffset, kPlaceNoGrow});
}
