#pragma once
// References to an item of a named list (any CVirtualArray: object-file
// lists, code tables, dynamic lists). The member holds the item's index;
// files hold its name, resolved by name when read, so lists may change order
// between runs. An index outside the list (-1 after a quiet miss) writes an
// empty value.
//
// Name resolution, for text and binary reads: the list's Find by 8-bit name
// else, with AddMissingNames, a new item of that name; else, with
// AcceptIndexText, a decimal index below the count; else, with
// UseDefaultWhenMissing, the default name's index; else, on a stream that
// reads missing names as none, the default name's index, logged; else, on a quiet stream, a
// recorded error and -1; else the list's fatal missing-item report. While it
// runs the load file name named by reports carries ":" and the property name.
#include "objects/CProperty.h"

#include <cstdint>

class CVirtualArray;
// Limits the items the editor row of a list property offers.
class CListChoiceFilter {
public:
    virtual ~CListChoiceFilter() = default;
    virtual bool IsChoiceAllowed(CVirtualArray& list, int32_t index) = 0;
};

class CListPropertyABC : public CTypedProperty<int32_t> {
public:
    // The object-file list's FindObjectIndex: the entry that holds object, or -1.
    using OwnerEntryFinder = int32_t (*)(CVirtualArray& fileList, CObject* object);

    CListPropertyABC(const char* declaredName, int32_t defaultValue)
        : CTypedProperty(declaredName, defaultValue)
    {
    }

    virtual CVirtualArray* GetList() const = 0;

    // Null or empty: the default is item 0.
    void SetDefaultName(const char* name) { m_DefaultName.Set(name ? name : ""); }
    const CJString& GetDefaultName() const { return m_DefaultName; }
    // The editor row: a non-zero option rebuilds the object editor when the
    // choice changes; flag 0 allows its "Edit" button, flag 1 its "New" and
    // "Duplicate" buttons.
    void SetEditorOption(uint8_t option) { m_EditorOption = option; }
    uint8_t GetEditorOption() const { return m_EditorOption; }
    // Non-zero for lists the row must not browse as thumbnails.
    virtual uint32_t GetComboFlags() const { return 0; }
    // The row's combo box width in pixels; -1: its own.
    void SetComboWidth(int32_t width) { m_ComboWidth = width; }
    int32_t GetComboWidth() const { return m_ComboWidth; }
    void SetEditorFlags(bool first, bool second)
    {
        m_EditorFlags[0] = first;
        m_EditorFlags[1] = second;
    }
    bool GetEditorFlag(int i) const { return m_EditorFlags[i != 0]; }
    void SetAcceptIndexText(bool flag) { m_AcceptIndexText = flag; }
    void SetUseDefaultWhenMissing(bool flag) { m_UseDefaultWhenMissing = flag; }
    void SetAddMissingNames(bool flag) { m_AddMissingNames = flag; }
    // Writes only the file-name part of the item's name.
    void SetWriteFileNameOnly(bool flag) { m_WriteFileNameOnly = flag; }
    void SetChoiceFilter(CListChoiceFilter* filter) { m_ChoiceFilter = filter; }
    CListChoiceFilter* GetChoiceFilter() const { return m_ChoiceFilter; }
    // With an owner file list, an index of 0 read from a file becomes the
    // item named like the file-list entry that holds the owning object.
    void SetOwnerFileList(CVirtualArray* fileList, OwnerEntryFinder finder)
    {
        m_OwnerFileList = fileList;
        m_FindOwnerEntry = finder;
    }

    // The index text resolves to; stream is the reading stream or null.
    int32_t ResolveName(const CJString& text, CObjectStream* stream) const;
    // The index of the default name (0 when there is none); -1 when missing.
    int32_t GetDefaultIndex() const;
    // The index the object holds for this (dynamic) property; the default's
    // index while it holds none.
    int32_t GetDynamicValue(CObject* object) const;

    void SetToDefault(CObject* object) const override;
    bool IsDefault(CObject* object) const override;
    bool ShouldWrite(CObject* object) const override;
    void GetValueText(CObject* object, CJString& out) const override;
    void SetValueFromText(CObject* object, const CJString& text, CObjectStream* stream) const override;
    void WriteBinary(CObject* object, CObjectStream& stream) const override;
    bool ReadBinary(CObject* object, CObjectStream& stream) const override;
    void WritePacked(CObject* object, CNetMessageStream& stream, CObject* reference) const override;
    void ReadPacked(CObject* object, CNetMessageStream& stream) const override;
    void PreloadReferencedItems(CObject* object) const override;
    void SearchPropertyTree(CObject* object, CPropertyTreeCallback& callback) const override;
    void KeepListReferenceAcrossInsert(CObject* object, CVirtualArray& list, int32_t index) const override;

    // Declaration words for the resolution steps above.
    template <typename Declared>
    class DeclarationWords : public CDeclarationWordsBase<Declared> {
    public:
        Declared& AddMissingNames()
        {
            return this->Apply([](auto& p) { p.SetAddMissingNames(true); });
        }
        Declared& AcceptIndexText()
        {
            return this->Apply([](auto& p) { p.SetAcceptIndexText(true); });
        }
        Declared& DefaultWhenMissing()
        {
            return this->Apply([](auto& p) { p.SetUseDefaultWhenMissing(true); });
        }
        Declared& WriteFileNameOnly()
        {
            return this->Apply([](auto& p) { p.SetWriteFileNameOnly(true); });
        }
        Declared& ChoiceFilter(CListChoiceFilter* filter)
        {
            return this->Apply([&](auto& p) { p.SetChoiceFilter(filter); });
        }
        Declared& OwnerFileList(CVirtualArray* fileList, OwnerEntryFinder finder)
        {
            return this->Apply([&](auto& p) { p.SetOwnerFileList(fileList, finder); });
        }
    };

private:
    bool IsItem(int32_t index) const;

    CJString m_DefaultName;
    uint8_t m_EditorOption = 0;
    bool m_AcceptIndexText = false;
    bool m_UseDefaultWhenMissing = false;
    bool m_EditorFlags[2] = {true, true};
    bool m_WriteFileNameOnly = false;
    CListChoiceFilter* m_ChoiceFilter = nullptr;
    bool m_AddMissingNames = false;
    CVirtualArray* m_OwnerFileList = nullptr;
    OwnerEntryFinder m_FindOwnerEntry = nullptr;
    int32_t m_ComboWidth = -1;
};

class CListProperty : public CListPropertyABC {
public:
    using CListPropertyABC::CListPropertyABC;
    void SetList(CVirtualArray* list) { m_List = list; }
    CVirtualArray* GetList() const override { return m_List; }

private:
    CVirtualArray* m_List = nullptr;
};

// Has the item-added message keep every list reference naming its item
// (CObject::SKeepListReferencesAcrossInsert); RegisterObjectClasses does it.
void InstallListReferenceKeeper();

// The load file name under which defaults are resolved.
inline constexpr const char* kDefaultValueFileName = "The Program EXE (C++ Source Code's default value)";
// Recorded on a quiet stream, followed by the name.
inline constexpr const char* kListNameNotFound = "Fatal not found when looking for ";
