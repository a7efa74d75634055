#pragma once
// Run-time descriptions of the reflected classes and their registry.
//
// A CClassInfo is the array of its class's properties (so the virtual-array
// operations count, name and find them), with the base's properties cloned at
// the front. Its version is computed from the declared version and the
// property counts along the base chain, so a class's version changes whenever
// it or a base gains or loses properties; binary object data of another
// version is not read.
//
// Registration never depends on the order of static initialisation: each
// class's SGetClassInfo builds its info on first call (the slot it fills is a
// constant-initialised null pointer) and registers it, and each subsystem has
// an explicit Register...Classes() that calls them in a fixed order.
#include "foundation/CArrayPOD.h"
#include "foundation/CJString.h"
#include "foundation/CVirtualArray.h"
#include "foundation/UpwardHook.h"

#include <cstddef>
#include <cstdint>
#include <new>

class CObject;
class CProperty;
class CNormalClassInfo;
class CDynamicPropertyRegistry;

// What creating an object of a class name no registered class has does.
enum class ReportUnknownClass { Quiet, Fatal };

// Opaque handle of a loadable module that registered classes; null for the
// main program. No module loader exists; the registry only stores these and
// hands them to the module releaser when a module's last class leaves.
using ClassModuleHandle = void*;
using ModuleReleaser = void (*)(ClassModuleHandle module);
ModuleReleaser SetModuleReleaser(ModuleReleaser releaser);
OMBRISALT_UPWARD_HOOK(SetModuleReleaser);

class CClassInfo : public CSimpleVirtualArray {
public:
    // kNoBase: a root class (CObject itself); null base: derives from CObject.
    static CClassInfo* const kNoBase;
    // A class that registers with no base although its objects are CObjects:
    // it answers to no base and its version has no base term, but it keeps
    // CObject's properties first (every object carries its dynamic values)
    // and takes every dynamic property attached to CObject. Its binary
    // objects written while it registered with base CObject (the same
    // layout under that version) still read.
    static CClassInfo* const kRegisteredWithoutBase;

    CClassInfo(const char* className, float declaredVersion, CClassInfo* base, uint32_t objectSize);
    ~CClassInfo() override;

    // CVirtualArray: the properties.
    const char* GetItemName(int32_t i) override;
    CJString GetItemNameString(int32_t i) override;
    int32_t GetCount() override { return int32_t(m_PropertyCount); }

    virtual CObject* CreateObject(int32_t a, int32_t b);
    // A block of count default instances; free it with DeleteArray.
    virtual CObject* CreateArray(int32_t count, int32_t b);
    virtual void DeleteArray(CObject* first);

    const char* GetName() const { return m_ClassName; }
    // "CObject" gives "Object"; a second letter in lower case keeps the 'C'.
    CJString GetNameWithoutPrefix() const;
    void SetDisplayName(const CJString& text) { m_DisplayName = text; }
    // The set display name, else the name without prefix with a space before
    // every later upper-case letter; wordToRemove (when present and not the
    // whole name) is taken out.
    CJString GetDisplayName(const char* wordToRemove = nullptr) const;
    void SetDescription(const CJString& text) { m_Description = text; }
    const CJString& GetDescription() const { return m_Description; }
    // Sets both the category and the category path.
    void SetCategory(const CJString& text);
    const CJString& GetCategory() const { return m_Category; }
    const CJString& GetCategoryPath() const { return m_CategoryPath; }
    float GetVersion() const { return m_Version; }

    // Appends the property (owned) with its two bound words.
    void AddProperty(CProperty* property, int32_t low = 0, int32_t high = -1);
    CProperty* GetLastProperty() const;
    CProperty* GetProperty(int32_t i) const { return m_Properties[uint32_t(i)]; }
    int32_t GetPropertyCount() const { return int32_t(m_PropertyCount); }
    int32_t GetInheritedCount() const { return int32_t(m_InheritedCount); }
    // Case-blind: the shared hint, then every name, then alternate names.
    CProperty* FindProperty(const CJString& name, int32_t* index = nullptr) const;
    CProperty* FindProperty(const char* name, int32_t* index = nullptr) const;
    CProperty* FindClaimingProperty(const CJString& name) const;

    // True when other is this class, a base of it, or null.
    bool IsDerivedFrom(const CClassInfo* other) const;
    // The version of its binary objects: its own, and for a class registered
    // without a base also the one it had with base CObject.
    bool ReadsVersion(float version) const;
    bool IsIgnoredPropertyName(const char* name) const;
    bool HasAlternateName(const char* name) const;
    void AddAlternateClassName(const char* name) { m_AlternateNames.Append(name); }
    void AddIgnoredPropertyName(const char* name) { m_IgnoredNames.Append(name); }
    uint32_t GetAlternateNameCount() const { return m_AlternateNames.GetCount(); }
    const char* GetAlternateClassName(uint32_t i) const { return m_AlternateNames[i]; }
    bool GetReportUnknownProperties() const { return m_ReportUnknownProperties; }
    void SetReportUnknownProperties(bool flag) { m_ReportUnknownProperties = flag; }
    uint32_t GetObjectSize() const { return m_ObjectSize; }
    CClassInfo* GetBase() const { return m_Base; }
    // The dynamic properties attached to this class or a base.
    CDynamicPropertyRegistry& GetDynamicPropertyList() const { return *m_DynamicProperties; }
    const CArrayPOD<CClassInfo*>& GetDerivedClasses() const { return m_DerivedClasses; }
    // Classes registered without a base that take this class's dynamic
    // properties (CObject's only).
    const CArrayPOD<CClassInfo*>& GetDynamicHeirs() const { return m_DynamicHeirs; }
    ClassModuleHandle GetModule() const { return m_Module; }
    void SetModule(ClassModuleHandle module) { m_Module = module; }
    // Nonzero for abstract classes, which are not created by name.
    virtual uint8_t GetFlags() const { return 0; }

protected:
    // Clones the base's properties in as the inherited ones.
    void InheritProperties();
    // declared + 7 x own properties + 3 x the base's version, in float.
    void ComputeVersion(float declaredVersion);

private:
    // A new class takes the dynamic properties already attached to its base.
    void InheritDynamicProperties();

private:
    CProperty** m_Properties = nullptr;
    uint32_t m_PropertyCount = 0;
    uint32_t m_InheritedCount = 0;
    const char* m_ClassName;
    CJString m_DisplayName;
    float m_Version = 0.0f;
    CJString m_Description;
    CJString m_Category;
    CJString m_CategoryPath;
    bool m_Constructed = true;
    bool m_ReportUnknownProperties = false;
    ClassModuleHandle m_Module = nullptr;
    CClassInfo* m_Base;
    // Set for kRegisteredWithoutBase: CObject's properties and dynamic
    // properties come from this class, though it is no base.
    CClassInfo* m_ObjectRoot = nullptr;
    CArrayPOD<CClassInfo*> m_DerivedClasses;
    CArrayPOD<CClassInfo*> m_DynamicHeirs;
    CDynamicPropertyRegistry* m_DynamicProperties;
    uint32_t m_ObjectSize;
    CArrayPOD<const char*> m_AlternateNames;
    CArrayPOD<const char*> m_IgnoredNames;
};

class CPropertyDeclarer;

// A class info with factories and a property-declaration function.
class CNormalClassInfo : public CClassInfo {
public:
    using CreateOneFunction = CObject* (*)(int32_t a, int32_t b);
    using CreateArrayFunction = CObject* (*)(int32_t count);
    using DeleteArrayFunction = void (*)(CObject* first);
    using DeclareFunction = void (*)(CPropertyDeclarer& declarer);

    // Stores itself in *slot before declaring, so that declarations may name
    // their own class.
    CNormalClassInfo(CNormalClassInfo** slot, const char* className, float declaredVersion, CClassInfo* base,
                     uint32_t objectSize, uint8_t flags, CreateOneFunction createOne, CreateArrayFunction createArray,
                     DeleteArrayFunction deleteArray, DeclareFunction declare);

    CObject* CreateObject(int32_t a, int32_t b) override;
    CObject* CreateArray(int32_t count, int32_t b) override;
    void DeleteArray(CObject* first) override;
    uint8_t GetFlags() const override { return m_Flags; }

private:
    uint8_t m_Flags;
    CreateOneFunction m_CreateOne;
    CreateArrayFunction m_CreateArray;
    DeleteArrayFunction m_DeleteArray;
};

// The registry of every class, by name.
class CClassInfoList : public CSimpleVirtualArray {
public:
    static CClassInfoList& SGetInstance();

    CClassInfoList() = default;
    ~CClassInfoList() override;

    const char* GetItemName(int32_t i) override;
    CJString GetItemNameString(int32_t i) override;
    int32_t GetCount() override { return int32_t(m_Count); }
    // The class's display name.
    CJString GetItemText(int32_t i);

    // Refused (false, the caller keeps the info) when a class of that name
    // with an equal or higher version is registered; a lower one is replaced.
    bool Register(CClassInfo* info, ClassModuleHandle module = nullptr);
    // Case-blind; the last match wins; then alternate names; then "C" + name.
    CClassInfo* Find(const char* name, int32_t* index = nullptr);
    CClassInfo* Find(const CJString& name, int32_t* index = nullptr);
    CClassInfo* FindQuiet(const char* name) { return Find(name); }
    // Null for unknown and abstract classes, or the fatal report.
    CObject* CreateObjectByName(const char* name, int32_t a, int32_t b, ReportUnknownClass report);
    void RemoveAt(int32_t index) override;
    int32_t IndexOf(const CClassInfo* info) const;
    void Sort();
    CClassInfo* GetAt(int32_t i) const { return m_Infos[uint32_t(i)]; }
    // The virtual-array look-ups: the index Find would give (the hint unused).
    // Declared without defaults so that Find(name) means the class look-up.
    int32_t Find(const CJString& name, int32_t hint) override;
    int32_t Find(const char* name, int32_t hint) override;

private:
    int32_t FindIndex(const char* name);

    CClassInfo** m_Infos = nullptr;
    uint32_t m_Count = 0;
};

// Factories for the class info of C.
template <typename C>
CObject* CreateOneObject(int32_t, int32_t)
{
    return new C();
}

// Array blocks keep their count in a header aligned for any object.
inline constexpr size_t kObjectArrayHeader = alignof(std::max_align_t) > 16 ? alignof(std::max_align_t) : 16;

template <typename C>
CObject* CreateObjectArray(int32_t count)
{
    if (count <= 0)
        return nullptr;
    auto* block = static_cast<unsigned char*>(::operator new(kObjectArrayHeader + size_t(count) * sizeof(C)));
    *reinterpret_cast<int32_t*>(block) = count;
    C* first = reinterpret_cast<C*>(block + kObjectArrayHeader);
    for (int32_t i = 0; i < count; ++i)
        ::new (static_cast<void*>(first + i)) C();
    return first;
}

template <typename C>
void DeleteObjectArray(CObject* object)
{
    if (!object)
        return;
    C* first = static_cast<C*>(object);
    unsigned char* block = reinterpret_cast<unsigned char*>(first) - kObjectArrayHeader;
    const int32_t count = *reinterpret_cast<int32_t*>(block);
    for (int32_t i = count; i-- > 0;)
        first[i].~C();
    ::operator delete(block);
}

// The fatal report for a class name that can not be created, as shown.
CJString BuildBadClassNameMessage(const char* name, bool abstractClass);
