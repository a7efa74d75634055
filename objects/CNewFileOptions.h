#pragma once
// What a list asks the editor's new-file dialog to make: the folder the
// file goes under, the location and name the user edits, the file ending,
// and, once accepted, the relative path the list creates the file at. The
// dialog itself lives with the editors; the record reaches it through the
// dialog factory hook below, so lists in any layer can offer one.
//
// The relative path is location "/" name followed by the extension (no
// separator before the extension: an object list's extension is its dot and
// file ending, ".Upgrade.txt", so the list's scan finds the new file).

#include "foundation/CJString.h"
#include "foundation/UpwardHook.h"

class CClassInfo;
class CCommand;
class CJWindow;
class CObject;

class CNewFileOptions {
public:
    CNewFileOptions() = default;
    CNewFileOptions(const CNewFileOptions&) = delete;
    CNewFileOptions& operator=(const CNewFileOptions&) = delete;
    // Deletes the created command and the template object.
    virtual ~CNewFileOptions();

    // The dialog for this record (through the factory hook); null while no
    // editor is installed. The caller adds it as a modal window.
    virtual CJWindow* CreateDialog(CJWindow* parent);

    // Each replaces (and deletes) the one held.
    void SetCreatedCommand(CCommand* command);
    void SetTemplateObject(CObject* object);
    CCommand* GetCreatedCommand() const { return m_CreatedCommand; }
    CObject* GetTemplateObject() const { return m_TemplateObject; }

    // location "/" name, then the extension.
    void MakeRelativePath();
    // Whether the item (its path below the list's folder, no ending) would
    // sort at or before the list's none entry and so take its row.
    bool SortsBeforeNoneEntry(const CJString& item) const;

    CJString m_Title;
    CJString m_BaseFolder;
    CJString m_Location;
    CJString m_Name;
    CJString m_Extension;
    CJString m_ClassName; // the default class's name without its prefix letter
    CJString m_RelativePath;
    CJString m_NoneEntryName; // row 0 of the list; empty when it has none
    CJString m_TemplateItem;  // the item the template object copies; empty when none

private:
    CCommand* m_CreatedCommand = nullptr; // owned
    CObject* m_TemplateObject = nullptr;  // owned
};

// Options of an object list: the class to create is chosen among the
// classes derived from the base class.
class CNewFileOptionsCObject : public CNewFileOptions {
public:
    CNewFileOptionsCObject(CClassInfo* baseClass, CClassInfo* chosenClass)
        : m_BaseClass(baseClass)
        , m_ChosenClass(chosenClass)
    {
    }
    CJWindow* CreateDialog(CJWindow* parent) override;

    CClassInfo* m_BaseClass;
    CClassInfo* m_ChosenClass;
};

// Whether a part of the path (folders or name) begins with ".": the lists'
// scans pass such files and folders by, and an item named so is read from
// the base folder, so what is made under it would be lost.
bool HasDotLedPart(const CJString& path);

// Makes the dialog for a record; withClassChoice for an object list's.
using NewFileDialogFactory = CJWindow* (*)(CJWindow* parent, CNewFileOptions& options, bool withClassChoice);
NewFileDialogFactory SetNewFileDialogFactory(NewFileDialogFactory factory);
OMBRISALT_UPWARD_HOOK(SetNewFileDialogFactory);
