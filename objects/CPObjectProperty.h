#pragma once
// Owned objects: a member pointing at an object that the holder owns, of a
// required class or any registered, non-abstract class derived from it (or
// null). The holder deletes, copies, compares, saves and loads the object
// through this property, so trees of objects persist in every object form.
//
// Text form: the property's name, "=" and the class name, then the object's
// block; null is an empty value. An unnamed (inline) object is found again
// through the name of its required class's second property and read from the
// holder's own block. Binary: the counted class name ("" for null), then the
// object's binary body.
//
// Declared with d.AddOwned(&CHolder::m_Part, "Part") and the words below:
// .DefaultClass(info), .DefaultObject(object), .PreferredClass(info),
// .NotDeletable(), .NotEditable(), .Inline(InlineMode::Always).
#include "objects/CProperty.h"

#include <cstdint>

class CMemFileBuf;

// Whether the editor shows an owned object's rows inside its owner's.
enum class InlineMode : uint32_t { Never = 0, Always = 1, WhenObjectAsks = 2 };

class CPObjectProperty : public CProperty {
public:
    // Moves an object pointer in and out of the member, whatever T* it is.
    using Store = void (*)(void* member, CObject* object);
    using Load = CObject* (*)(void* member);

    CPObjectProperty(const char* name, CClassInfo* requiredClass, Store store, Load load);
    // The default is carried over as default text.
    CPObjectProperty(const CPObjectProperty& other);
    ~CPObjectProperty() override;

    // Drops the default class and text; a non-null object becomes the
    // default text (its class name and block).
    void SetDefaultObject(CObject* object);
    void SetDefaultClass(CClassInfo* info);
    void SetPreferredClass(CClassInfo* info) { m_PreferredClass = info; }
    void SetMayDelete(bool flag) { m_MayDelete = flag; }
    void SetEditable(bool flag) { m_Editable = flag; }
    void SetInlineMode(InlineMode mode) { m_InlineMode = mode; }

    CClassInfo* GetRequiredClass() const { return m_RequiredClass; }
    CClassInfo* GetPreferredClass() const { return m_PreferredClass; }
    CClassInfo* GetDefaultClass() const { return m_DefaultClass; }
    bool GetMayDelete() const { return m_MayDelete; }
    bool GetEditable() const { return m_Editable; }
    bool GetDefaultWantsInline() const { return m_DefaultWantsInline; }
    InlineMode GetInlineMode() const { return m_InlineMode; }

    CObject* GetObject(CObject* owner) const { return m_Load(GetValueAddress(owner)); }
    // The editor's store of a new value: through the setter, else the old
    // object is deleted first.
    void ReplaceObject(CObject* owner, CObject* value) const { StoreNew(owner, value); }
    // A new object of info, made with this property's bounds; null for null.
    CObject* CreateObjectOfClass(CClassInfo* info) const { return Create(info); }
    // A new object of the default class, or read from the default text;
    // null when there is neither.
    CObject* MakeDefault() const;
    // The value kept as this (dynamic) property's value on an object.
    CObject* GetDynamicValue(CObject* object) const;
    void SetDynamicValue(CObject* object, CObject* value) const;

    bool IsValueProperty() const override { return false; }
    void CopyValue(CObject* destination, CObject* source, const CProperty* sourceProperty) const override;
    bool IsEqual(CObject* object, CObject* other, const CProperty* otherProperty) const override;
    void InitValue(CObject* owner) const override;
    void DestroyValue(CObject* owner) const override;
    void SetToDefault(CObject* owner) const override;
    // Lets the owned object replace itself through a typed pointer record.
    void OnOwnerLoaded(CObject* owner) const override;
    void GetValueText(CObject* owner, CJString& out) const override;
    void SetValueFromText(CObject* owner, const CJString& text, CObjectStream* stream) const override;
    void ReadValue(CObject* owner, const CJString& name, const CJString& value, CObjectStream* stream,
                   int64_t linePosition) const override;
    bool ShouldWrite(CObject* owner) const override;
    bool IsDefault(CObject* owner) const override;
    void WriteValueLine(CObject* owner, CObjectStream& stream) const override;
    void WriteValue(CObject* owner, CObjectStream& stream) const override;
    void WriteBinary(CObject* owner, CObjectStream& stream) const override;
    bool ReadBinary(CObject* owner, CObjectStream& stream) const override;
    void WritePacked(CObject* owner, CNetMessageStream& stream, CObject* reference) const override;
    void ReadPacked(CObject* owner, CNetMessageStream& stream) const override;
    bool ClaimsName(const CJString& name) const override;
    void PreloadReferencedItems(CObject* owner) const override;
    void SearchPropertyTree(CObject* owner, CPropertyTreeCallback& callback) const override;

    template <typename Declared>
    class DeclarationWords : public CDeclarationWordsBase<Declared> {
    public:
        // New objects of the class are the default.
        Declared& DefaultClass(CClassInfo* info)
        {
            return this->Apply([&](auto& p) { p.SetDefaultClass(info); });
        }
        // A copy of the object (kept as its text) is the default; the caller keeps the object.
        Declared& DefaultObject(CObject* object)
        {
            return this->Apply([&](auto& p) { p.SetDefaultObject(object); });
        }
        // The class the editor offers first.
        Declared& PreferredClass(CClassInfo* info)
        {
            return this->Apply([&](auto& p) { p.SetPreferredClass(info); });
        }
        Declared& NotDeletable()
        {
            return this->Apply([](auto& p) { p.SetMayDelete(false); });
        }
        Declared& NotEditable()
        {
            return this->Apply([](auto& p) { p.SetEditable(false); });
        }
        Declared& Inline(InlineMode mode)
        {
            return this->Apply([&](auto& p) { p.SetInlineMode(mode); });
        }
    };

protected:
    // The typed kind calls the owner's setter here; false when it has none.
    virtual bool CallSetter(CObject*, CObject*) const { return false; }
    void Put(CObject* owner, CObject* value) const { m_Store(GetValueAddress(owner), value); }

private:
    // Stores through the setter, else deletes the old object first.
    void StoreNew(CObject* owner, CObject* value) const;
    void DeleteValue(CObject* owner) const;
    CObject* Create(CClassInfo* info) const;
    void OnLoaded(CObject* owner, bool withRecord) const;

    CClassInfo* m_RequiredClass;
    CClassInfo* m_PreferredClass = nullptr;
    CClassInfo* m_DefaultClass = nullptr;
    CMemFileBuf* m_DefaultText = nullptr;
    Store m_Store;
    Load m_Load;
    bool m_MayDelete = true;
    bool m_DefaultWantsInline = false;
    bool m_Editable = true;
    InlineMode m_InlineMode = InlineMode::Never;
};

// The owned-object kind for a member of type T*.
template <typename T>
class CTypedPObjectProperty : public CPObjectProperty {
public:
    using ValueType = T*;
    // Called with the new object; it takes over the old one.
    using Setter = void (*)(CObject& owner, T* const& value);

    // The declared default must be null: defaults are a class or a text.
    CTypedPObjectProperty(const char* name, T*)
        : CPObjectProperty(name, T::SGetClassInfo(), &StoreAs, &LoadAs)
    {
    }

    void SetSetter(Setter setter) { m_Setter = setter; }

protected:
    bool CallSetter(CObject* owner, CObject* value) const override
    {
        if (!m_Setter)
            return false;
        m_Setter(*owner, static_cast<T*>(value));
        return true;
    }

private:
    // Only objects of T's family are ever stored (the readers check the class).
    static void StoreAs(void* member, CObject* object) { *static_cast<T**>(member) = static_cast<T*>(object); }
    static CObject* LoadAs(void* member) { return *static_cast<T**>(member); }

    Setter m_Setter = nullptr;
};

// The fatal texts of text reading, titled "Invalid class type".
inline constexpr const char* kInvalidClassTypeTitle = "Invalid class type";
