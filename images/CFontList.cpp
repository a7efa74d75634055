#include "images/CFontList.h"

#include "images/CFontBrowserItem.h"
#include "objects/CNewFileOptions.h"

#include <memory>

CFontList::CFontList()
    : CObjectArrayBaseTemplate<CFont, CFont>("FONT.TXT")
{
}

CFontList::~CFontList() = default;

bool CFontList::GetObjectFileName(const CObject* object, CJString& name)
{
    return dynamic_cast<const CFont*>(object) && ItemFileName(object, ".FONT.TXT", name);
}

CFontList& GetFontList()
{
    // Never destroyed: the registry of lists may still reach it at exit.
    static CFontList* list = [] {
        auto* made = new CFontList();
        made->SetKeepsNoneEntry(true); // data refers into it by row, 0 for none
        return made;
    }();
    return *list;
}

ImageBrowserItemFactory CFontList::GetItemFactory()
{
    return &CFontBrowserItem::SCreate;
}

int32_t CFontList::Add(const CJString& name)
{
    return Add(name.GetString());
}

int32_t CFontList::Add(const char* name)
{
    // The same path as the editor's new-file dialog, so a name is taken or
    // refused the same way either way.
    std::unique_ptr<CNewFileOptions> options(GetNewFileOptions());
    if (!options || !name)
        return -1;
    options->m_Name.Set(name);
    return AddItemFromNewFileOptions(*options);
}
