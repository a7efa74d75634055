#include "game/world/CBackgroundStyleSheet.h"

#include "game/world/CGeneralObjects.h"
#include "game/world/CLevelOptions.h"
#include "images/CFrameList.h"
#include "objects/CListProperty.h"
#include "objects/CSlotProperty.h"
#include "sequences/CSequenceList.h"

OMBRISALT_IMPLEMENT_CLASS(CBackgroundStyleSheet, 1)

namespace {

template <typename Declared>
void ReferToSequences(Declared declared)
{
    static_cast<CDataReferenceProperty*>(declared.Get().GetElementProperty())->SetList(&GetSequenceList());
}

} // namespace

void CBackgroundStyleSheet::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CBackgroundStyleSheet;
    d.AddListReference<CDataReferenceProperty>(&C::m_BackgroundImage, "Background Image", &GetFrameLibrary(), nullptr);
    ReferToSequences(d.AddArray<CDataReferenceProperty>(&C::m_VacantImages, "Lot Images/Vacant Images List",
                                               "Lot Images/Vacant Images", 0));
    ReferToSequences(d.AddArray<CDataReferenceProperty>(&C::m_ConstructionImages, "Lot Images/Construction Images List",
                                               "Lot Images/Construction Images", 0));
    ReferToSequences(d.AddArray<CDataReferenceProperty>(&C::m_LivedInImages, "Lot Images/LivedIn Images List",
                                               "Lot Images/LivedIn Images", 0));
}

CBackgroundStyleSheet::CBackgroundStyleSheet()
{
    InitDeclaredProperties();
}

CBackgroundStyleSheet::~CBackgroundStyleSheet()
{
    DestroyDeclaredProperties();
}

CBackgroundStyleSheetList::CBackgroundStyleSheetList()
    : CObjectArrayBaseTemplate<CBackgroundStyleSheet>("Background.txt")
{
}

CBackgroundStyleSheetList& GetBackgroundStyleSheetList()
{
    // Lives to the end of the process, as the registry of lists expects.
    static CBackgroundStyleSheetList* list = [] {
        auto* made = new CBackgroundStyleSheetList;
        made->SetSource("Background", "Resources", 0);
        made->SetKeepsNoneEntry(true); // data refers into it by row, 0 for none
        return made;
    }();
    return *list;
}

CBackgroundStyleSheet* GetCurrentBackgroundStyleSheet()
{
    // An index past the list gives row 0, the none entry, as every list does.
    const CLevelOptions* level = CLevelOptions::SGetCurrent();
    return level ? GetBackgroundStyleSheetList().GetObject(level->m_Background) : nullptr;
}
