#include "images/CFontList.h"

CFontList::CFontList()
    : CObjectArrayBaseTemplate<CFont, CFont>("FONT.TXT")
{
}

CFontList::~CFontList() = default;

bool CFontList::GetObjectFileName(const CObject* object, CJString& name)
{
    if (!IsEnumerated() || !dynamic_cast<const CFont*>(object))
        return false;
    const int32_t index = FindObjectIndex(object);
    if (index < 0)
        return false;
    const CJString item = GetItemNameString(index);
    const char first = item.GetString()[0];
    if (first == '.' || first == '/' || first == '\\') {
        name = item;
    } else {
        name = GetFolderName();
        name.AppendPath(item.GetString());
    }
    name += ".FONT.TXT";
    return true;
}

CFontList& GetFontList()
{
    // Never destroyed: the registry of lists may still reach it at exit.
    static CFontList* list = new CFontList();
    return *list;
}
