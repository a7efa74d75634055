#include "editor/EditorStartup.h"

#include "foundation/CLocalizedString.h"
#include "foundation/CStaticContentsList.h"
#include "game/screens/CStats.h"
#include "shell/StartGame.h"

CCodeTableList& GetHandleCodeList()
{
    static const CCodeTableRow kRows[] = {{0, "Top Left", nullptr},     {1, "Top Right", nullptr},
                                          {2, "Bottom Right", nullptr}, {3, "Bottom Left", nullptr},
                                          {4, "Top", nullptr},          {5, "Bottom", nullptr},
                                          {6, "Left", nullptr},         {7, "Right", nullptr},
                                          {8, "Rotator", nullptr},      {9, "Origin", nullptr},
                                          {}};
    static CCodeTableList list(kRows);
    return list;
}

const SNewFileDialogTexts& GetNewFileDialogTexts()
{
    static CLocalizedString error("Error");
    static CLocalizedString fileExists("Cannot create file.  File with same name already exists.");
    static CLocalizedString nameMissing("You must specify a file name.");
    static CLocalizedString folderMissing("Folder does not exist.  Would you like to create a new folder named");
    static CLocalizedString folderNotCreated("Could not create folder");
    static CLocalizedString cancel("Cancel");
    static CLocalizedString createFolder("Create Folder");
    static const SNewFileDialogTexts texts{error, fileExists, nameMissing, folderMissing, folderNotCreated, cancel,
                                           createFolder};
    return texts;
}

const CJString& GetClipboardWindowTitle()
{
    static const CJString text("Clipboard");
    return text;
}

const CJString& GetScrapBookNumberColumnTitle()
{
    static const CJString text("#");
    return text;
}

#define OMBRISALT_EDITOR_TEXT(function, english)                                                                       \
    CLocalizedString& function()                                                                                       \
    {                                                                                                                  \
        static CLocalizedString text(english);                                                                         \
        return text;                                                                                                   \
    }

OMBRISALT_EDITOR_TEXT(GetScrapBookContentsColumnTitle, "Contents")
OMBRISALT_EDITOR_TEXT(GetScrapBookCommentColumnTitle, "Comment")
OMBRISALT_EDITOR_TEXT(GetFooEditPropertiesText, "Properties")
OMBRISALT_EDITOR_TEXT(GetFooEditShowBackgroundText, "Show Background")
OMBRISALT_EDITOR_TEXT(GetFooEditPreviewText, "Preview")
OMBRISALT_EDITOR_TEXT(GetDependencyPropertyColumnTitle, "Property")
OMBRISALT_EDITOR_TEXT(GetDependencyNameColumnTitle, "Name")
OMBRISALT_EDITOR_TEXT(GetDependencyTypeColumnTitle, "Type")
OMBRISALT_EDITOR_TEXT(GetDependencyPathColumnTitle, "Path")

#undef OMBRISALT_EDITOR_TEXT

uint32_t CBrowserItemDroppedMessage::SGetType()
{
    static const uint32_t type = CMessage::SGetMessageType("CBrowserItemDroppedMessage");
    return type;
}

CJString GetStartupName()
{
    const char* name = GetLauncherRecord().gameName;
    return CJString(name ? name : "");
}

CJString BuildVersionText()
{
    static CLocalizedString build("Build");
    CJString text("1.0 ");
    text.Append(build);
    text.Append(" ");
    text.AppendInt(int32_t(GetGameBuildNumber()));
    return text;
}

void BuildEditorStartupObjects()
{
    GetClipboardWindowTitle();
    GetHandleCodeList();
    GetScrapBookNumberColumnTitle();
    GetScrapBookContentsColumnTitle();
    GetScrapBookCommentColumnTitle();
    CBrowserItemDroppedMessage::SGetType();
    GetNewFileDialogTexts();
    GetFooEditPropertiesText();
    GetFooEditShowBackgroundText();
    GetFooEditPreviewText();
    GetDependencyPropertyColumnTitle();
    GetDependencyNameColumnTitle();
    GetDependencyTypeColumnTitle();
    GetDependencyPathColumnTitle();
    BuildVersionText();
}
