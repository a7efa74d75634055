#include "images/CFontList.h"

#include "images/CFontBrowserItem.h"

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
    static CFontList* list = new CFontList();
    return *list;
}

ImageBrowserItemFactory CFontList::GetItemFactory()
{
    return &CFontBrowserItem::SCreate;
}
