#include "game/world/CTutorial.h"

OMBRISALT_IMPLEMENT_CLASS(CTutorial, 1.0)

void CTutorial::DeclareProperties(CPropertyDeclarer&) {}

CTutorial::CTutorial()
{
    InitDeclaredProperties();
}

CTutorial::~CTutorial()
{
    DestroyDeclaredProperties();
}

CTutorialList::CTutorialList()
    : CObjectArrayBaseTemplate<CTutorial>("Tutorial.txt")
{
}

CTutorialList& GetTutorialList()
{
    static auto* list = [] {
        auto* made = new CTutorialList;
        made->SetSource("Tutorial", "Resources", 0);
        return made;
    }();
    return *list;
}
