#include "objects/CClassInfo.h"

#include "foundation/CurrentLoadFile.h"
#include "foundation/FatalError.h"
#include "objects/CDynamicPropertyRegistry.h"
#include "objects/CObject.h"
#include "objects/CProperty.h"

#include <algorithm>
#include <cstring>

namespace {

ModuleReleaser g_ModuleReleaser = nullptr;

// One look-up hint shared by every class: files list properties in
// declaration order, so consecutive look-ups hit at once.
int32_t g_PropertyHint = 0;

bool IsUpper(char c)
{
    return c >= 'A' && c <= 'Z';
}

void ReleaseModule(ClassModuleHandle module)
{
    if (module && g_ModuleReleaser)
        g_ModuleReleaser(module);
}

} // namespace

ModuleReleaser SetModuleReleaser(ModuleReleaser releaser)
{
    ModuleReleaser previous = g_ModuleReleaser;
    g_ModuleReleaser = releaser;
    return previous;
}

// --- CClassInfo ---

CClassInfo* const CClassInfo::kNoBase = reinterpret_cast<CClassInfo*>(~uintptr_t(0));
CClassInfo* const CClassInfo::kRegisteredWithoutBase = reinterpret_cast<CClassInfo*>(~uintptr_t(1));

CClassInfo::CClassInfo(const char* className, float, CClassInfo* base, uint32_t objectSize)
    : m_ClassName(className)
    , m_Base(base == kNoBase || base == kRegisteredWithoutBase ? nullptr
                 : base                                        ? base
                                                               : CObject::SGetClassInfo())
    , m_DynamicProperties(new CDynamicPropertyRegistry(CDynamicPropertyRegistry::Ownership::Borrowed))
    , m_ObjectSize(objectSize)
{
    if (base == kRegisteredWithoutBase) {
        m_ObjectRoot = CObject::SGetClassInfo();
        m_ObjectRoot->m_DynamicHeirs.Append(this);
    }
    if (m_Base) {
        m_Category = m_Base->m_CategoryPath;
        m_CategoryPath = m_Base->m_CategoryPath;
        m_Base->m_DerivedClasses.Append(this);
    } else {
        m_Category.Set("Miscellaneous");
        m_CategoryPath = m_Category;
        m_CategoryPath.Append("/");
    }
    InheritDynamicProperties();
}

CClassInfo::~CClassInfo()
{
    for (uint32_t i = 0; i < m_PropertyCount; ++i)
        delete m_Properties[i];
    delete m_DynamicProperties;
    if (m_Properties)
        PoolFree(m_Properties, sizeof(CProperty*) * m_PropertyCount);
    if (m_Base) {
        auto& derived = m_Base->m_DerivedClasses;
        derived.Remove(this);
    }
    if (m_ObjectRoot)
        m_ObjectRoot->m_DynamicHeirs.Remove(this);
}

const char* CClassInfo::GetItemName(int32_t i)
{
    return i >= 0 && uint32_t(i) < m_PropertyCount ? m_Properties[i]->GetName() : "";
}

CJString CClassInfo::GetItemNameString(int32_t i)
{
    return CJString(GetItemName(i));
}

CObject* CClassInfo::CreateObject(int32_t, int32_t)
{
    return nullptr;
}

CObject* CClassInfo::CreateArray(int32_t, int32_t)
{
    return nullptr;
}

void CClassInfo::DeleteArray(CObject*) {}

CJString CClassInfo::GetNameWithoutPrefix() const
{
    const char* name = m_ClassName ? m_ClassName : "";
    if (name[0] == 'C' && IsUpper(name[1]))
        return CJString(name + 1);
    return CJString(name);
}

CJString CClassInfo::GetDisplayName(const char* wordToRemove) const
{
    CJString name;
    if (m_DisplayName.IsNotEmpty()) {
        name = m_DisplayName;
    } else {
        const CJString bare = GetNameWithoutPrefix();
        for (int i = 0; i < bare.GetLength(); ++i) {
            const char c = char(bare.GetAt(i));
            if (i > 0 && IsUpper(c))
                name.AppendChar(' ');
            name.AppendChar(c);
        }
    }
    if (wordToRemove && wordToRemove[0] && name.CompareNoCase(wordToRemove) != 0) {
        const int at = name.Find(wordToRemove);
        if (at >= 0)
            name.Delete(at, int(std::strlen(wordToRemove)));
    }
    return name;
}

void CClassInfo::SetCategory(const CJString& text)
{
    m_Category = text;
    m_CategoryPath = text;
}

void CClassInfo::AddProperty(CProperty* property, int32_t low, int32_t high)
{
    property->SetBounds(low, high);
    // Grows by exactly one entry each time.
    auto** grown = static_cast<CProperty**>(PoolAllocate(sizeof(CProperty*) * (m_PropertyCount + 1)));
    if (m_PropertyCount)
        std::memcpy(grown, m_Properties, sizeof(CProperty*) * m_PropertyCount);
    grown[m_PropertyCount] = property;
    if (m_Properties)
        PoolFree(m_Properties, sizeof(CProperty*) * m_PropertyCount);
    m_Properties = grown;
    ++m_PropertyCount;
}

CProperty* CClassInfo::GetLastProperty() const
{
    return m_PropertyCount ? m_Properties[m_PropertyCount - 1] : nullptr;
}

CProperty* CClassInfo::FindProperty(const CJString& name, int32_t* index) const
{
    if (name.IsWide()) {
        CJString narrow(name);
        narrow.ToNarrow();
        return FindProperty(narrow.GetString(), index);
    }
    return FindProperty(name.GetString(), index);
}

CProperty* CClassInfo::FindProperty(const char* name, int32_t* index) const
{
    const int32_t count = int32_t(m_PropertyCount);
    if (count > 0) {
        if (g_PropertyHint >= count)
            g_PropertyHint = 0;
        if (CompareNameNoCase(m_Properties[g_PropertyHint]->GetName(), name) == 0) {
            if (index)
                *index = g_PropertyHint;
            return m_Properties[g_PropertyHint++];
        }
    }
    for (int32_t i = 0; i < count; ++i) {
        if (CompareNameNoCase(m_Properties[i]->GetName(), name) == 0) {
            g_PropertyHint = i + 1;
            if (index)
                *index = i;
            return m_Properties[i];
        }
    }
    for (int32_t i = 0; i < count; ++i) {
        const char* alternate = m_Properties[i]->GetAlternateName();
        if (alternate[0] && CompareNameNoCase(alternate, name) == 0) {
            if (index)
                *index = i;
            return m_Properties[i];
        }
    }
    if (index)
        *index = -1;
    return nullptr;
}

CProperty* CClassInfo::FindClaimingProperty(const CJString& name) const
{
    for (uint32_t i = 0; i < m_PropertyCount; ++i) {
        if (m_Properties[i]->ClaimsName(name))
            return m_Properties[i];
    }
    return nullptr;
}

bool CClassInfo::IsDerivedFrom(const CClassInfo* other) const
{
    if (!other)
        return true;
    for (const CClassInfo* info = this; info; info = info->m_Base) {
        if (info == other)
            return true;
    }
    return false;
}

bool CClassInfo::IsIgnoredPropertyName(const char* name) const
{
    for (const CClassInfo* info = this; info; info = info->m_Base) {
        for (const char* ignored : info->m_IgnoredNames) {
            if (CompareNameNoCase(ignored, name) == 0)
                return true;
        }
    }
    return false;
}

bool CClassInfo::HasAlternateName(const char* name) const
{
    for (const char* alternate : m_AlternateNames) {
        if (CompareNameNoCase(alternate, name) == 0)
            return true;
    }
    return false;
}

void CClassInfo::InheritProperties()
{
    CClassInfo* from = m_Base ? m_Base : m_ObjectRoot;
    if (!from)
        return;
    for (int32_t i = 0; i < from->GetPropertyCount(); ++i)
        AddProperty(from->GetProperty(i)->Clone(), from->GetProperty(i)->GetFirstBound(),
                    from->GetProperty(i)->GetSecondBound());
    m_InheritedCount = m_PropertyCount;
}

bool CClassInfo::ReadsVersion(float version) const
{
    if (version == m_Version)
        return true;
    return m_ObjectRoot && version == m_Version + 3.0f * m_ObjectRoot->m_Version;
}

void CClassInfo::ComputeVersion(float declaredVersion)
{
    float version = declaredVersion + 7.0f * float(m_PropertyCount - m_InheritedCount);
    if (m_Base)
        version += 3.0f * m_Base->m_Version;
    m_Version = version;
}

// --- CNormalClassInfo ---

CNormalClassInfo::CNormalClassInfo(CNormalClassInfo** slot, const char* className, float declaredVersion,
                                   CClassInfo* base, uint32_t objectSize, uint8_t flags, CreateOneFunction createOne,
                                   CreateArrayFunction createArray, DeleteArrayFunction deleteArray,
                                   DeclareFunction declare)
    : CClassInfo(className, declaredVersion, base, objectSize)
    , m_Flags(flags)
    , m_CreateOne(createOne)
    , m_CreateArray(createArray)
    , m_DeleteArray(deleteArray)
{
    if (slot)
        *slot = this;
    InheritProperties();
    if (declare) {
        CPropertyDeclarer declarer(*this);
        declare(declarer);
    }
    ComputeVersion(declaredVersion);
}

CObject* CNormalClassInfo::CreateObject(int32_t a, int32_t b)
{
    return m_CreateOne ? m_CreateOne(a, b) : nullptr;
}

CObject* CNormalClassInfo::CreateArray(int32_t count, int32_t)
{
    return m_CreateArray ? m_CreateArray(count) : nullptr;
}

void CNormalClassInfo::DeleteArray(CObject* first)
{
    if (m_DeleteArray)
        m_DeleteArray(first);
}

// --- CClassInfoList ---

CClassInfoList& CClassInfoList::SGetInstance()
{
    static CClassInfoList registry;
    return registry;
}

CClassInfoList::~CClassInfoList()
{
    for (uint32_t i = 0; i < m_Count; ++i) {
        ClassModuleHandle module = m_Infos[i]->GetModule();
        if (module) {
            for (uint32_t j = i; j < m_Count; ++j) {
                if (m_Infos[j]->GetModule() == module)
                    m_Infos[j]->SetModule(nullptr);
            }
            ReleaseModule(module);
        }
    }
    // Class infos point at their bases and at the properties the pool holds;
    // they live for the whole run and are left to the process's end, as the
    // pool itself is torn down last.
    if (m_Infos)
        PoolFree(m_Infos, sizeof(CClassInfo*) * m_Count);
    m_Infos = nullptr;
    m_Count = 0;
}

const char* CClassInfoList::GetItemName(int32_t i)
{
    return i >= 0 && uint32_t(i) < m_Count ? m_Infos[i]->GetName() : "";
}

CJString CClassInfoList::GetItemNameString(int32_t i)
{
    return CJString(GetItemName(i));
}

CJString CClassInfoList::GetItemText(int32_t i)
{
    return i >= 0 && uint32_t(i) < m_Count ? m_Infos[i]->GetDisplayName() : CJString();
}

bool CClassInfoList::Register(CClassInfo* info, ClassModuleHandle module)
{
    int32_t index = -1;
    CClassInfo* existing = Find(info->GetName(), &index);
    if (existing && CompareNameNoCase(existing->GetName(), info->GetName()) == 0) {
        if (existing->GetVersion() >= info->GetVersion())
            return false;
        RemoveAt(index);
    }
    info->SetModule(module);
    auto** grown = static_cast<CClassInfo**>(PoolAllocate(sizeof(CClassInfo*) * (m_Count + 1)));
    if (m_Count)
        std::memcpy(grown, m_Infos, sizeof(CClassInfo*) * m_Count);
    grown[m_Count] = info;
    if (m_Infos)
        PoolFree(m_Infos, sizeof(CClassInfo*) * m_Count);
    m_Infos = grown;
    ++m_Count;
    SetSorted(false);
    return true;
}

int32_t CClassInfoList::FindIndex(const char* name)
{
    int32_t found = -1;
    if (IsSorted()) {
        int32_t low = 0, high = int32_t(m_Count) - 1;
        while (low <= high) {
            const int32_t middle = (low + high) / 2;
            const int order = CompareNameNoCase(m_Infos[middle]->GetName(), name);
            if (order == 0) {
                found = middle;
                break;
            }
            if (order < 0)
                low = middle + 1;
            else
                high = middle - 1;
        }
    } else {
        for (uint32_t i = 0; i < m_Count; ++i) {
            if (CompareNameNoCase(m_Infos[i]->GetName(), name) == 0)
                found = int32_t(i);
        }
    }
    if (found >= 0)
        return found;
    for (uint32_t i = 0; i < m_Count; ++i) {
        if (m_Infos[i]->HasAlternateName(name))
            found = int32_t(i);
    }
    return found;
}

CClassInfo* CClassInfoList::Find(const char* name, int32_t* index)
{
    if (!name)
        name = "";
    int32_t found = FindIndex(name);
    if (found < 0 && name[0] != 'C') {
        CJString prefixed("C");
        prefixed.Append(name);
        found = FindIndex(prefixed.GetString());
    }
    if (index)
        *index = found;
    return found >= 0 ? m_Infos[found] : nullptr;
}

CClassInfo* CClassInfoList::Find(const CJString& name, int32_t* index)
{
    if (name.IsWide()) {
        CJString narrow(name);
        narrow.ToNarrow();
        return Find(narrow.GetString(), index);
    }
    return Find(name.GetString(), index);
}

int32_t CClassInfoList::Find(const CJString& name, int32_t)
{
    int32_t index = -1;
    Find(name, &index);
    return index;
}

int32_t CClassInfoList::Find(const char* name, int32_t)
{
    int32_t index = -1;
    Find(name, &index);
    return index;
}

CJString BuildBadClassNameMessage(const char* name, bool abstractClass)
{
    const CJString& file = GetCurrentLoadFileName();
    CJString text;
    if (abstractClass)
        text.Format("Tried to use a class named \"%s\" but that class is an Abstract Base Class (ABC) and can not "
                    "be used.",
                    name);
    else
        text.Format("Tried to use a class named \"%s\" but there is no class with that name.", name);
    if (file.IsNotEmpty())
        text.AppendFormat("  The bad class name is used in the file \"%s\"", file.GetString());
    else
        text.Append("  Problem originates in an unknown location.");
    const char* f = file.GetString();
    text.AppendFormat(
        "\r\n\r\nThis usually means that you recently got a new version of \"%s\" and it requires a newer version "
        "of the EXE.  You should first try to get a new version of the EXE from SourceSafe.  If this doesn't fix your "
        "problem then it probably means the new EXE hasn't been built yet.  In that case, ask Tobrin or Pellam to "
        "make a new build of the EXE and/or ask the people who changed \"%s\" to undo their changes until the new EXE "
        "is available.",
        f, f);
    text.AppendFormat("\r\n\r\nThis error could also mean that you (or some one else) manually edited \"%s\" and "
                      "accidentally typed \"%s\" when you ment to type something else.",
                      f, name);
    text.AppendFormat("\r\n\r\nAnother possibility is that someone may have copied \"%s\" from another game but it's "
                      "use of \"%s\" makes it incompatible with this game.  For example, you can't copy an Inventory "
                      "Item Definition from Skelvane and use it in Olu",
                      f, name);
    text.Append("\r\n\r\nFinally, if this project is using the Ombrisalt libs and the class in question is not "
                "referenced anywhere in the code then it will not be linked in. This can be fixed by adding a "
                "SGetClassInfo() call on that class at some point in the application.");
    return text;
}

CObject* CClassInfoList::CreateObjectByName(const char* name, int32_t a, int32_t b, ReportUnknownClass report)
{
    CClassInfo* info = Find(name);
    if (info && info->GetFlags() == 0)
        return info->CreateObject(a, b);
    if (report == ReportUnknownClass::Quiet)
        return nullptr;
    const CJString text = BuildBadClassNameMessage(name ? name : "", info != nullptr);
    FatalDataError("FATAL ERROR!", text.GetString());
}

void CClassInfoList::RemoveAt(int32_t index)
{
    if (index < 0 || uint32_t(index) >= m_Count)
        return;
    CClassInfo* info = m_Infos[index];
    ClassModuleHandle module = info->GetModule();
    info->SetModule(nullptr);
    bool stillUsed = false;
    for (uint32_t i = 0; i < m_Count; ++i) {
        if (i != uint32_t(index) && module && m_Infos[i]->GetModule() == module)
            stillUsed = true;
    }
    if (module && !stillUsed)
        ReleaseModule(module);
    std::memmove(m_Infos + index, m_Infos + index + 1, sizeof(CClassInfo*) * (m_Count - uint32_t(index) - 1));
    --m_Count;
    if (m_Count == 0) {
        PoolFree(m_Infos, sizeof(CClassInfo*) * (m_Count + 1));
        m_Infos = nullptr;
    } else {
        // Keep the block size equal to the count for the next growth.
        auto** shrunk = static_cast<CClassInfo**>(PoolAllocate(sizeof(CClassInfo*) * m_Count));
        std::memcpy(shrunk, m_Infos, sizeof(CClassInfo*) * m_Count);
        PoolFree(m_Infos, sizeof(CClassInfo*) * (m_Count + 1));
        m_Infos = shrunk;
    }
}

int32_t CClassInfoList::IndexOf(const CClassInfo* info) const
{
    for (uint32_t i = 0; i < m_Count; ++i) {
        if (m_Infos[i] == info)
            return int32_t(i);
    }
    return -1;
}

void CClassInfoList::Sort()
{
    std::stable_sort(m_Infos, m_Infos + m_Count, [](const CClassInfo* a, const CClassInfo* b) {
        return CompareNameNoCase(a->GetName(), b->GetName()) < 0;
    });
    SetSorted(true);
}
