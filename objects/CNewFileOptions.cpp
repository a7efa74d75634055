#include "objects/CNewFileOptions.h"

#include "foundation/CCommand.h"
#include "foundation/CVirtualArray.h"
#include "objects/CObject.h"

namespace {

NewFileDialogFactory g_NewFileDialogFactory = nullptr;

} // namespace

NewFileDialogFactory SetNewFileDialogFactory(NewFileDialogFactory factory)
{
    NewFileDialogFactory previous = g_NewFileDialogFactory;
    g_NewFileDialogFactory = factory;
    return previous;
}

CNewFileOptions::~CNewFileOptions()
{
    delete m_CreatedCommand;
    delete m_TemplateObject;
}

CJWindow* CNewFileOptions::CreateDialog(CJWindow* parent)
{
    return g_NewFileDialogFactory ? g_NewFileDialogFactory(parent, *this, false) : nullptr;
}

CJWindow* CNewFileOptionsCObject::CreateDialog(CJWindow* parent)
{
    return g_NewFileDialogFactory ? g_NewFileDialogFactory(parent, *this, true) : nullptr;
}

void CNewFileOptions::SetCreatedCommand(CCommand* command)
{
    if (command == m_CreatedCommand)
        return;
    delete m_CreatedCommand;
    m_CreatedCommand = command;
}

void CNewFileOptions::SetTemplateObject(CObject* object)
{
    if (object == m_TemplateObject)
        return;
    delete m_TemplateObject;
    m_TemplateObject = object;
}

void CNewFileOptions::MakeRelativePath()
{
    m_RelativePath.SetPath(m_Location, m_Name, m_Extension);
}

bool CNewFileOptions::SortsBeforeNoneEntry(const CJString& item) const
{
    return m_NoneEntryName.IsNotEmpty() && CompareNameNoCase(item.GetString(), m_NoneEntryName.GetString()) <= 0;
}

bool HasDotLedPart(const CJString& path)
{
    const char* text = path.GetString();
    for (const char* part = text; *part;) {
        if (*part == '.')
            return true;
        while (*part && *part != '/' && *part != '\\')
            ++part;
        while (*part == '/' || *part == '\\')
            ++part;
    }
    return false;
}
