#include "foundation/CFileList.h"

#include "foundation/CRandomGenerator.h"
#include "foundation/FileHelpers.h"

#include <algorithm>
#include <cstring>

namespace {

char g_PathBuffer[1024];

} // namespace

CFileList::CFileList()
{
    // Items change only in AddItem and Enumerate, which drop the index.
    KeepFileNameIndex();
}
CFileList::~CFileList() = default;

const char* CFileList::GetItemName(int32_t i)
{
    if (i < 0 || size_t(i) >= m_Items.size())
        return nullptr;
    return m_Items[size_t(i)].name.GetString();
}

CJString CFileList::GetItemNameString(int32_t i)
{
    if (i < 0 || size_t(i) >= m_Items.size())
        return CJString();
    return m_Items[size_t(i)].name;
}

void CFileList::AddItem(const char* name, uint32_t size)
{
    Item item;
    item.name.Set(name);
    item.size = size;
    m_Items.push_back(item);
    m_Folded.insert(FoldName(name));
    InvalidateFileNameIndex();
}

bool CFileList::HasItem(const char* name)
{
    return m_Folded.count(FoldName(name)) != 0;
}

uint32_t CFileList::Enumerate(const CEnumerateFilesOptions& options, uint32_t orderMode, Comparison comparison,
                              uint32_t flags)
{
    const char* folder = options.folder ? options.folder : "";
    std::strncpy(m_Folder, folder, sizeof(m_Folder) - 1);
    m_Folder[sizeof(m_Folder) - 1] = 0;
    m_Items.clear();
    m_Folded.clear();
    InvalidateFileNameIndex();
    m_Order.clear();
    m_Last = -1;
    m_Next = 0;
    m_Mode = orderMode;
    m_Tree.reset();

    m_Enumerating = true;
    CFileListEnumerateCallback callback(*this);
    EnumerateFiles(callback, options, flags);
    m_Enumerating = false;

    const size_t folderLength = std::strlen(m_Folder);
    for (Item& item : m_Items)
        if (folderLength && StartsWithNoCase(item.name.GetString(), m_Folder, folderLength))
            item.name.Set(item.name.GetString() + folderLength);
    std::stable_sort(m_Items.begin(), m_Items.end(), [](const Item& a, const Item& b) {
        return CompareNameNoCase(a.name.GetString(), b.name.GetString()) < 0;
    });
    SetSorted(true);
    InvalidateFileNameIndex();

    const int32_t n = int32_t(m_Items.size());
    for (int32_t i = 0; i < n; ++i)
        m_Order.push_back(i);
    if (orderMode == kShuffled) {
        Shuffle();
    } else if (orderMode == kSortedNoCase) {
        std::stable_sort(m_Order.begin(), m_Order.end(), [this](int32_t a, int32_t b) {
            return CompareNameNoCase(m_Items[size_t(a)].name.GetString(), m_Items[size_t(b)].name.GetString()) < 0;
        });
    } else if (orderMode == kSortedByCaller && comparison) {
        std::stable_sort(m_Order.begin(), m_Order.end(),
                         [this, comparison](int32_t a, int32_t b) { return comparison(*this, a, b) < 0; });
    }
    m_Tree = std::make_unique<CDirectoryTree>(*this);
    return uint32_t(n);
}

void CFileList::Shuffle()
{
    const uint32_t n = uint32_t(m_Items.size());
    do {
        m_Order.resize(n);
        for (uint32_t i = 0; i < n; ++i)
            m_Order[i] = int32_t(i);
        for (uint32_t i = 0; i < n; ++i)
            std::swap(m_Order[i], m_Order[GameRandom().Next(n)]);
    } while (n >= 2 && m_Order[0] == m_Last);
    m_Next = 0;
}

const char* CFileList::GetNextName(const char* preferred)
{
    if (m_Items.empty())
        return nullptr;
    if (m_Next >= m_Order.size()) {
        if (m_Mode == kShuffled)
            Shuffle();
        else
            m_Next = 0;
    }
    if (preferred) {
        int32_t item = -1;
        for (size_t i = 0; i < m_Items.size() && item < 0; ++i)
            if (CompareNameNoCase(m_Items[i].name.GetString(), preferred) == 0)
                item = int32_t(i);
        if (item >= 0) {
            const auto at = std::find(m_Order.begin(), m_Order.end(), item);
            const uint32_t position = uint32_t(at - m_Order.begin());
            m_Order.erase(at);
            if (position < m_Next)
                --m_Next;
            m_Order.insert(m_Order.begin() + m_Next, item);
        }
    }
    m_Last = m_Order[m_Next++];
    return m_Items[size_t(m_Last)].name.GetString();
}

const char* CFileList::GetNextPath(const char* preferred)
{
    const char* name = GetNextName(preferred);
    if (!name)
        return nullptr;
    if (!JoinPath(g_PathBuffer, sizeof(g_PathBuffer), m_Folder, name))
        g_PathBuffer[0] = 0;
    return g_PathBuffer;
}

const char* CFileList::GetCurrentName()
{
    return GetItemName(m_Last);
}

const char* CFileList::GetItemPath(int32_t i)
{
    const char* name = GetItemName(i);
    if (!name)
        return nullptr;
    if (!JoinPath(g_PathBuffer, sizeof(g_PathBuffer), m_Folder, name))
        g_PathBuffer[0] = 0;
    return g_PathBuffer;
}
