#pragma once
// A property describes one persistent, editable member of a reflected class:
// its name (the key of its line in object text), editor category, level and
// units, and how to turn the value into text, binary words and packed bits
// and back. The object model only ever walks a class's property list and
// calls these operations; it never touches members itself.
//
// Layers: CProperty holds what every property has; a kind (numbers, flags,
// strings, points, list references, owned objects, arrays...) implements the
// value operations on a typed storage slot; a binding
// says where the slot lives in an object. CMemberProperty binds a kind to a
// data member through a member pointer, so no byte offsets are computed.
// New kinds plug in by deriving a kind class and specialising PropertyKindFor
// for their member type (or naming the kind at the declaration).
#include "foundation/CJString.h"
#include "foundation/CMemoryPool.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

class CObject;
class CObjectStream;
class CNetMessageStream;
class CClassInfo;
class CListPropertyABC;
class CVirtualArray;
enum class DynamicKind : int32_t; // CDynamicPropertyRegistry.h

// Walks objects and the objects their properties hold.
class CPropertyTreeCallback {
public:
    virtual ~CPropertyTreeCallback() = default;
    virtual void Enter(CObject* object) = 0;
    virtual void Leave(CObject* object) = 0;
    // An item of a named list that a list property of the current owner refers to.
    virtual void VisitListReference(const CListPropertyABC&, int32_t /*index*/) {}
    // The object whose properties are being searched.
    CObject* GetCurrentOwner() const { return m_CurrentOwner; }
    void SetCurrentOwner(CObject* owner) { m_CurrentOwner = owner; }

private:
    CObject* m_CurrentOwner = nullptr;
};

// Visibility levels; the values are those of the declarations.
inline constexpr int32_t kLevelHidden = 0;
inline constexpr int32_t kLevelNormal = 1;
inline constexpr int32_t kLevelOmbrisaltOnly = 4; // shown only under the named option below
inline constexpr int32_t kLevelDebug = 5;         // never saved
inline constexpr const char* kOmbrisaltOnlyOption = "Ombrisalt Only Property";

// Whether object text writes a line for an empty value (kinds say what is
// empty: no text, no object, no elements, a flag at its default).
enum class WhenEmpty { Write, Omit };
// Whether object text without identities writes a line for a default value.
enum class WhenDefault { Write, Omit };
// The forms that save the property.
enum class SavedIn { Nowhere, TextOnly, BinaryOnly, TextAndBinary };
// The streams that write the property: with identities, without, or both.
enum class WrittenIn { IdLessStreamsOnly, IdStreamsOnly, AllStreams };

class CProperty : public CPooledClassBase {
public:
    // Splits the declared name at its first "/" into category and name.
    CProperty(const char* declaredName, const char* units, uint32_t size, int32_t level);
    CProperty(const CProperty& other) = default;
    CProperty& operator=(const CProperty&) = delete;
    virtual ~CProperty() = default;

    virtual CProperty* Clone() const = 0;
    // Values (numbers, strings, colours...) answer true; containers false.
    virtual bool IsValueProperty() const = 0;

    // Where the value lives in the object; null when it has none there.
    virtual void* GetValueAddress(CObject* object) const = 0;

    virtual void CopyValue(CObject* destination, CObject* source, const CProperty* sourceProperty) const = 0;
    virtual bool IsEqual(CObject* object, CObject* other, const CProperty* otherProperty) const = 0;
    // Constructs or releases the storage where the kind needs it.
    virtual void InitValue(CObject*) const {}
    virtual void DestroyValue(CObject*) const {}
    virtual void SetToDefault(CObject* object) const = 0;
    virtual void OnOwnerLoaded(CObject*) const {}

    virtual void GetValueText(CObject* object, CJString& out) const = 0;
    // stream is the object stream being read; null for text from the editor.
    virtual void SetValueFromText(CObject* object, const CJString& text, CObjectStream* stream) const = 0;
    // One "name=value" line met by the object reader; linePosition is where
    // the line starts in the stream.
    virtual void ReadValue(CObject* object, const CJString& name, const CJString& value, CObjectStream* stream,
                           int64_t linePosition) const;
    virtual bool ShouldWrite(CObject*) const { return true; }
    virtual bool IsDefault(CObject*) const { return false; }
    virtual void WriteName(CObject* object, CObjectStream& stream) const;
    // The rest of the line after the name, and the line end.
    virtual void WriteValueLine(CObject* object, CObjectStream& stream) const;
    virtual void WriteTagged(CObject* object, CObjectStream& stream) const;
    virtual void WriteValue(CObject* object, CObjectStream& stream) const;

    virtual void WriteBinary(CObject* object, CObjectStream& stream) const = 0;
    virtual bool ReadBinary(CObject* object, CObjectStream& stream) const = 0;
    virtual void WritePacked(CObject*, CNetMessageStream&, CObject* /*reference*/) const {}
    virtual void ReadPacked(CObject*, CNetMessageStream&) const {}

    virtual uint32_t GetBitMask() const { return 0; }
    virtual bool CheckClassMembership(const CClassInfo*) const { return true; }
    // Array properties claim the names of their elements.
    virtual bool ClaimsName(const CJString&) const { return false; }
    virtual void PreloadReferencedItems(CObject*) const {}

    // Visits the objects a value holds (owned objects, arrays of them).
    virtual void SearchPropertyTree(CObject*, CPropertyTreeCallback&) const {}
    // list gained an item at index, moving the items from index on one row
    // down: a value that names an item of list goes on naming it.
    virtual void KeepListReferenceAcrossInsert(CObject*, CVirtualArray& /*list*/, int32_t /*index*/) const {}

    // Raw storage of one value outside an object (dynamic values, array
    // elements); the slot binding constructs and destroys the value in it.
    virtual void* AllocateValue() const { return PoolAllocate(m_Size); }
    virtual void FreeValue(void* storage) const { PoolFree(storage, m_Size); }
    // count values in one heap block; kinds with constructors construct them.
    virtual void* NewValueArray(uint32_t count) const { return ::operator new(size_t(m_Size) * (count ? count : 1)); }
    virtual void DeleteValueArray(void* array) const { ::operator delete(array); }
    // Moves one value between raw slots: the source slot is dead afterwards
    // and is neither destroyed nor read again.
    virtual void CopyValueBytes(void* destination, const void* source) const
    {
        std::memcpy(destination, source, m_Size);
    }

    // Options; declarations set them through the words of CPropertyDeclarer.h.
    void SetDescription(const CJString& text) { m_Description = text; }
    void SetWhenEmpty(WhenEmpty rule) { m_WriteWhenEmpty = rule == WhenEmpty::Write; }
    void SetWhenDefault(WhenDefault rule) { m_OmitWhenDefault = rule == WhenDefault::Omit; }
    void SetAlternateName(const CJString& text) { m_AlternateName = text; }
    void SetNotArrayElement(bool flag) { m_NotArrayElement = flag; }
    void SetUnits(const CJString& text) { m_Units = text; }
    // Level 5 also clears both save flags and files an uncategorised
    // property under "Debug".
    void SetLevel(int32_t level);
    void SetSavedIn(SavedIn forms)
    {
        m_SaveText = forms == SavedIn::TextOnly || forms == SavedIn::TextAndBinary;
        m_SaveBinary = forms == SavedIn::BinaryOnly || forms == SavedIn::TextAndBinary;
    }
    void SetWrittenIn(WrittenIn streams)
    {
        m_WriteWithoutIDs = streams != WrittenIn::IdStreamsOnly;
        m_WriteWithIDs = streams != WrittenIn::IdLessStreamsOnly;
    }
    void SetBounds(int32_t first, int32_t second)
    {
        m_FirstBound = first;
        m_SecondBound = second;
    }
    void SetNoRow(bool flag) { m_NoRow = flag; }
    void SetIsDynamic(bool flag) { m_IsDynamic = flag; }

    // Dynamic values: attaches this property to a class and every class
    // derived from it, including classes registered afterwards.
    void AddAsDynamicProperty(CClassInfo* info, DynamicKind kind);
    bool HasDynamicValue(CObject* object) const;
    bool RemoveDynamicValue(CObject* object) const;

    const char* GetName() const { return m_Name.GetString(); }
    const CJString& GetNameString() const { return m_Name; }
    const CJString& GetOriginalName() const { return m_OriginalName; }
    const CJString& GetDescription() const { return m_Description; }
    const CJString& GetCategory() const { return m_Category; }
    const char* GetAlternateName() const { return m_AlternateName.GetString(); }
    const CJString& GetUnits() const { return m_Units; }
    int32_t GetLevel() const { return m_Level; }
    // 4 becomes 1 under the option "Ombrisalt Only Property" and 0 without
    // it; 5 becomes 0; others stay.
    int32_t GetEffectiveLevel() const;
    uint32_t GetSize() const { return m_Size; }
    bool GetWriteWhenEmpty() const { return m_WriteWhenEmpty; }
    bool GetOmitWhenDefault() const { return m_OmitWhenDefault; }
    bool IsTextSaved() const { return m_SaveText; }
    bool IsBinarySaved() const { return m_SaveBinary; }
    bool WritesWithoutIDs() const { return m_WriteWithoutIDs; }
    bool WritesWithIDs() const { return m_WriteWithIDs; }
    int32_t GetFirstBound() const { return m_FirstBound; }
    int32_t GetSecondBound() const { return m_SecondBound; }
    bool IsNotArrayElement() const { return m_NotArrayElement; }
    bool IsDynamic() const { return m_IsDynamic; }
    bool HasNoRow() const { return m_NoRow; }

private:
    bool m_WriteWhenEmpty = true;
    bool m_OmitWhenDefault = false;
    CJString m_Name;
    CJString m_Description;
    CJString m_Category;
    uint32_t m_Size;
    bool m_SaveText = true;
    bool m_SaveBinary = true;
    bool m_WriteWithoutIDs = true;
    bool m_WriteWithIDs = true;
    CJString m_OriginalName;
    int32_t m_FirstBound = 0;
    int32_t m_SecondBound = 0;
    bool m_NotArrayElement = true;
    int32_t m_Level = kLevelNormal;
    CJString m_AlternateName;
    CJString m_Units;
    bool m_IsDynamic = false;
    bool m_NoRow = false;
};

// A kind whose value is one T in the object. Setter: an optional function
// that stores a new value in place of writing the member (object, value).
template <typename T>
class CTypedProperty : public CProperty {
public:
    using ValueType = T;
    using Setter = void (*)(CObject& object, const T& value);

    CTypedProperty(const char* declaredName, const T& defaultValue)
        : CProperty(declaredName, nullptr, sizeof(T), kLevelNormal)
        , m_Default(defaultValue)
    {
    }

    T& Value(CObject* object) const { return *static_cast<T*>(GetValueAddress(object)); }
    const T& GetDefault() const { return m_Default; }
    void SetDefault(const T& value) { m_Default = value; }
    void SetSetter(Setter setter) { m_Setter = setter; }
    Setter GetSetter() const { return m_Setter; }
    // Through the setter when there is one.
    void Store(CObject* object, const T& value) const
    {
        if (m_Setter)
            m_Setter(*object, value);
        else
            Value(object) = value;
    }

    bool IsValueProperty() const override { return true; }
    void CopyValue(CObject* destination, CObject* source, const CProperty* sourceProperty) const override
    {
        const auto* typed = dynamic_cast<const CTypedProperty*>(sourceProperty);
        Store(destination, typed ? typed->Value(source) : m_Default);
    }
    bool IsEqual(CObject* object, CObject* other, const CProperty* otherProperty) const override
    {
        const auto* typed = dynamic_cast<const CTypedProperty*>(otherProperty);
        return typed && Equal(Value(object), typed->Value(other));
    }
    void SetToDefault(CObject* object) const override { Value(object) = m_Default; }
    bool IsDefault(CObject* object) const override { return Equal(Value(object), m_Default); }

protected:
    virtual bool Equal(const T& a, const T& b) const
    {
        if constexpr (std::is_same_v<T, CJString>)
            return a.Compare(b) == 0;
        else
            return a == b;
    }

private:
    T m_Default;
    Setter m_Setter = nullptr;
};

// The base of a kind's words: Apply runs f on the declared property (typed
// as the declaration's kind) and returns the declaration for chaining.
//     template <typename Declared>
//     class DeclarationWords : public CDeclarationWordsBase<Declared> {
//     public:
//         Declared& Shiny() { return this->Apply([](auto& p) { p.SetShiny(true); }); }
//     };
template <typename Declared>
class CDeclarationWordsBase {
protected:
    template <typename F>
    Declared& Apply(F f)
    {
        Declared& self = static_cast<Declared&>(*this);
        f(self.Get());
        return self;
    }
};

// The kind chosen for a member type; each kind's header specialises it.
template <typename T>
struct PropertyKindFor;

// A kind bound to a data member of class C.
template <typename C, typename Kind>
class CMemberProperty final : public Kind {
public:
    using Member = typename Kind::ValueType C::*;

    template <typename... Args>
    CMemberProperty(Member member, Args&&... args)
        : Kind(std::forward<Args>(args)...)
        , m_Member(member)
    {
    }

    CProperty* Clone() const override { return new CMemberProperty(*this); }
    void* GetValueAddress(CObject* object) const override { return &(static_cast<C*>(object)->*m_Member); }

private:
    Member m_Member;
};

// The number, flag and string kinds, so that every declaration reaching this
// header finds the kinds of its plain members.
#include "objects/CBoolProperty.h"
#include "objects/CIntProperty.h"
#include "objects/CStringProperty.h"
