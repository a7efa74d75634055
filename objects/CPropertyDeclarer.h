#pragma once
// The declaration builder. A reflected class's DeclareProperties adds each
// property with one chained line, the only place its key, member, default,
// units, level, range and save options are stated:
//     d.Add(&CShop::m_Size, "Layout/Size", 10).Units("pixels").Range(0, 100);
//     d.Add(&CShop::m_Title, "Title", "").OmitWhenEmpty().SavedOnlyInText();
//     d.AddBits(&CShop::m_Flags, "Visible", kShopVisible, BitDefault::Set);
//     d.AddListReference(&CShop::m_Kind, "Kind", &GetKindList(), "Normal").AcceptIndexText();
//     d.AddOwned(&CShop::m_Sign, "Sign").DefaultClass(CSign::SGetClassInfo());
//     d.AddEmbedded(&CShop::m_Margins, "Margins");
//     d.AddArray<CIntProperty>(&CShop::m_Sizes, "Sizes", "Size", 0).WithoutCapacityWord();
// Add picks the kind from the member type (PropertyKindFor) or takes it
// named (d.Add<CLongProperty>(...)). Every call returns a CDeclaredProperty:
// its own words set what every property has; a kind adds words of its own by
// declaring a member class template DeclarationWords<Declared>, which the
// declared property then inherits (CNumberProperty's Range, for one).
#include "objects/CClassInfo.h"
#include "objects/CProperty.h"

#include <cstdint>
#include <utility>

class CVirtualArray;
class CObjectProperty;
class CPropertyArrayProperty;
class CListProperty;
template <typename T>
class CTypedPObjectProperty;
template <typename C, typename T>
class CEmbeddedObjectProperty;
template <typename C, typename T>
class CMemberArrayProperty;
template <typename Kind>
class CSlotProperty;
template <typename T>
struct CPropertyArray;

// Whether a bit property's mask bits start set or clear.
enum class BitDefault { Clear, Set };

template <typename Declared>
class CNoDeclarationWords {
};

template <typename Kind, typename Declared>
struct DeclarationWordsFor {
    using type = CNoDeclarationWords<Declared>;
};
template <typename Kind, typename Declared>
requires requires
{
    typename Kind::template DeclarationWords<Declared>;
}
struct DeclarationWordsFor<Kind, Declared> {
    using type = typename Kind::template DeclarationWords<Declared>;
};

template <typename Kind>
class CDeclaredProperty : public DeclarationWordsFor<Kind, CDeclaredProperty<Kind>>::type {
public:
    explicit CDeclaredProperty(Kind& property)
        : m_Property(property)
    {
    }

    CDeclaredProperty& Units(const char* text)
    {
        return Option([&] { m_Property.SetUnits(text); });
    }
    // Visibility, kLevelHidden .. kLevelDebug; debug properties are never saved.
    CDeclaredProperty& Level(int32_t level)
    {
        return Option([&] { m_Property.SetLevel(level); });
    }
    CDeclaredProperty& Description(const char* text)
    {
        return Option([&] { m_Property.SetDescription(text); });
    }
    // A second key read as this property (a key the data used to have).
    CDeclaredProperty& AlternateName(const char* text)
    {
        return Option([&] { m_Property.SetAlternateName(text); });
    }
    // Object text leaves the line out while the value is the default.
    CDeclaredProperty& OmitWhenDefault()
    {
        return Option([&] { m_Property.SetWhenDefault(WhenDefault::Omit); });
    }
    // Object text leaves the line out while the value is empty (kinds that
    // have an empty value: strings, lists, owned objects, arrays, bits).
    CDeclaredProperty& OmitWhenEmpty()
    {
        return Option([&] { m_Property.SetWhenEmpty(WhenEmpty::Omit); });
    }
    CDeclaredProperty& NotSaved()
    {
        return Option([&] { m_Property.SetSavedIn(SavedIn::Nowhere); });
    }
    CDeclaredProperty& SavedOnlyInText()
    {
        return Option([&] { m_Property.SetSavedIn(SavedIn::TextOnly); });
    }
    CDeclaredProperty& SavedOnlyInBinary()
    {
        return Option([&] { m_Property.SetSavedIn(SavedIn::BinaryOnly); });
    }
    // Streams without identities (plain data files) leave the property out,
    // as they must for values that only identities make meaningful.
    CDeclaredProperty& OnlyInIdStreams()
    {
        return Option([&] { m_Property.SetWrittenIn(WrittenIn::IdStreamsOnly); });
    }
    CDeclaredProperty& OnlyInIdLessStreams()
    {
        return Option([&] { m_Property.SetWrittenIn(WrittenIn::IdLessStreamsOnly); });
    }
    // The editor shows no row for it.
    CDeclaredProperty& NoEditorRow()
    {
        return Option([&] { m_Property.SetNoRow(true); });
    }
    // A member function of the owning class called in place of writing the member.
    template <auto Function>
    CDeclaredProperty& Setter()
    {
        m_Property.SetSetter(&CallSetter<Function>);
        return *this;
    }
    Kind& Get() { return m_Property; }

private:
    template <typename F>
    CDeclaredProperty& Option(F f)
    {
        f();
        return *this;
    }
    // K defers ValueType to the kinds that have one.
    template <auto Function, typename K, typename C, typename V>
    static void Invoke(CObject& object, const typename K::ValueType& value, void (C::*)(V))
    {
        (static_cast<C&>(object).*Function)(value);
    }
    template <auto Function, typename K = Kind>
    static void CallSetter(CObject& object, const typename K::ValueType& value)
    {
        Invoke<Function, K>(object, value, Function);
    }

    Kind& m_Property;
};

class CPropertyDeclarer {
public:
    explicit CPropertyDeclarer(CClassInfo& info)
        : m_Info(info)
    {
    }

    template <typename C, typename T, typename D>
    CDeclaredProperty<typename PropertyKindFor<T>::type> Add(T C::*member, const char* name, const D& defaultValue)
    {
        return Add<typename PropertyKindFor<T>::type>(member, name, defaultValue);
    }
    template <typename Kind, typename C, typename T, typename D>
    CDeclaredProperty<Kind> Add(T C::*member, const char* name, const D& defaultValue)
    {
        return AddProperty<Kind>(new CMemberProperty<C, Kind>(member, name, typename Kind::ValueType(defaultValue)));
    }

    // The mask bits of a 32-bit flag word; several properties share a word,
    // whose other bits they leave alone.
    template <typename C>
    CDeclaredProperty<CBitProperty> AddBits(uint32_t C::*member, const char* name, uint32_t mask, BitDefault initial)
    {
        auto declared = Add<CBitProperty>(member, name, initial == BitDefault::Set ? 1u : 0u);
        declared.Get().SetMask(mask);
        return declared;
    }

    // An index into a named list, saved as the item's name; null or empty
    // defaultName: item 0. (CListProperty.h)
    template <typename Kind = CListProperty, typename C>
    CDeclaredProperty<Kind> AddListReference(int32_t C::*member, const char* name, CVirtualArray* list,
                                             const char* defaultName)
    {
        auto declared = Add<Kind>(member, name, 0);
        declared.Get().SetList(list);
        declared.Get().SetDefaultName(defaultName);
        return declared;
    }

    // An object the owner owns, of T's class or one derived; null by
    // default. (CPObjectProperty.h)
    template <typename C, typename T>
    CDeclaredProperty<CTypedPObjectProperty<T>> AddOwned(T* C::*member, const char* name)
    {
        return Add<CTypedPObjectProperty<T>>(member, name, nullptr);
    }

    // A member of a reflected class type, saved as a nested block. (CObjectProperty.h)
    template <typename C, typename T, typename Kind = CObjectProperty>
    CDeclaredProperty<Kind> AddEmbedded(T C::*member, const char* name)
    {
        auto* property = new CEmbeddedObjectProperty<C, T>(member, name);
        property->SetClassInfo(T::SGetClassInfo());
        return AddProperty<Kind>(property);
    }

    // A CPropertyArray member whose elements are ElementKind, built from the
    // element's name and elementArgs. (CPropertyArrayProperty.h)
    template <typename ElementKind, typename C, typename... Args>
    auto AddArray(CPropertyArray<typename ElementKind::ValueType> C::*member, const char* name, const char* elementName,
                  Args&&... elementArgs)
    {
        using Array = CMemberArrayProperty<C, typename ElementKind::ValueType>;
        auto* element = new CSlotProperty<ElementKind>(elementName, std::forward<Args>(elementArgs)...);
        return AddProperty<typename Array::ArrayKind>(new Array(member, name, element));
    }

    // A property built by hand (kinds not bound to a member).
    template <typename Kind>
    CDeclaredProperty<Kind> AddProperty(Kind* property)
    {
        m_Info.AddProperty(property, 0, -1);
        return CDeclaredProperty<Kind>(*property);
    }

    CClassInfo& GetClassInfo() { return m_Info; }

private:
    CClassInfo& m_Info;
};
