#include "images/CPaletteHolder.h"

#include "images/CFrame.h"
#include "objects/CDynamicPropertyRegistry.h"
#include "objects/CPObjectProperty.h"
#include "objects/CSlotProperty.h"

OMBRISALT_IMPLEMENT_CLASS(CPaletteHolder, 1.0)

void CPaletteHolder::DeclareProperties(CPropertyDeclarer&) {}

CPaletteHolder::CPaletteHolder()
{
    InitDeclaredProperties();
}

CPaletteHolder::~CPaletteHolder()
{
    DestroyDeclaredProperties();
}

namespace {

using CHolderProperty = CSlotProperty<CTypedPObjectProperty<CPaletteHolder>>;

CHolderProperty& HolderProperty()
{
    static CHolderProperty* property = [] {
        auto* made = new CHolderProperty("Palette Holder", nullptr);
        made->SetSavedIn(SavedIn::Nowhere);
        made->AddAsDynamicProperty(CFrame::SGetClassInfo(), DynamicKind::Optional);
        return made;
    }();
    return *property;
}

} // namespace

CProperty* GetPaletteHolderProperty()
{
    return &HolderProperty();
}

CPaletteHolder& EnsurePaletteHolder(CFrame& frame)
{
    CHolderProperty& property = HolderProperty();
    if (auto* holder = dynamic_cast<CPaletteHolder*>(property.GetDynamicValue(&frame)))
        return *holder;
    auto* holder = new CPaletteHolder;
    property.SetDynamicValue(&frame, holder);
    return *holder;
}

CPalette* GetFramePalette(const CFrame& frame)
{
    auto* holder = dynamic_cast<CPaletteHolder*>(HolderProperty().GetDynamicValue(const_cast<CFrame*>(&frame)));
    return holder ? &holder->GetPalette() : nullptr;
}

void RemovePaletteHolder(CFrame& frame)
{
    frame.RemoveDynamicValue(&HolderProperty());
}
