#include "game/business/CIllegalMoveDisplay.h"

#include "game/world/CGeneralObjects.h"
#include "game/world/ListReferences.h"
#include "objects/CFloatProperty.h"
#include "objects/CPObjectProperty.h"
#include "objects/CProperty.h"
#include "overlays/CFrameOverlay.h"
#include "sequences/CTextSubstitutionList.h"

OMBRISALT_IMPLEMENT_CLASS(CIllegalMoveMessage, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CIllegalMoveMessageOptions, 1.0)

void CIllegalMoveMessage::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CIllegalMoveMessage::m_MessageID, "Message ID", "default");
    d.Add(&CIllegalMoveMessage::m_Message, "Message", "default");
}

CIllegalMoveMessage::CIllegalMoveMessage()
{
    InitDeclaredProperties();
}

CIllegalMoveMessage::~CIllegalMoveMessage()
{
    DestroyDeclaredProperties();
}

void CIllegalMoveMessageOptions::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CIllegalMoveMessageOptions;
    d.AddListReference<CDataReferenceProperty>(&C::m_FrameOverlayOptions, "Frame Overlay Options",
                                               &GetFrameOverlayOptionsList(), nullptr);
    d.Add(&C::m_SecondsToShowMessage, "Seconds To Show Message", 10.0f);
    d.AddArray<CTypedPObjectProperty<CIllegalMoveMessage>>(&C::m_Messages, "Message List", "Message", nullptr);
}

CIllegalMoveMessageOptions::CIllegalMoveMessageOptions()
{
    InitDeclaredProperties();
}

CIllegalMoveMessageOptions::~CIllegalMoveMessageOptions()
{
    DestroyDeclaredProperties();
}

CIllegalMoveMessage* CIllegalMoveMessageOptions::FindMessage(const char* messageId)
{
    if (!messageId)
        return nullptr;
    for (uint32_t i = 0; i < m_Messages.GetCount(); ++i)
        if (CIllegalMoveMessage* message = m_Messages[i]; message && message->m_MessageID.CompareNoCase(messageId) == 0)
            return message;
    return nullptr;
}

CIllegalMoveMessageOptions* GetIllegalMoveOptions()
{
    CGeneralObjectsList& objects = GetGeneralObjects();
    if (objects.Find("Illegal Move Options") < 0)
        return nullptr;
    return &GetGeneralObjectAs<CIllegalMoveMessageOptions>("Illegal Move Options");
}

bool CIllegalMoveDisplay::Show(const char* messageId, const CTextSubstitutionList* substitutions)
{
    CJString text;
    if (CIllegalMoveMessageOptions* options = GetIllegalMoveOptions())
        if (CIllegalMoveMessage* message = options->FindMessage(messageId))
            text = message->m_Message.GetTranslation();
    if (substitutions)
        text = substitutions->Apply(text);
    m_Text = text;
    if (m_Text.IsEmpty())
        return false;
    m_SecondsShown = 0.0f;
    return true;
}

void CIllegalMoveDisplay::Update(float seconds)
{
    if (m_SecondsShown < 0.0f)
        return;
    m_SecondsShown += seconds;
    CIllegalMoveMessageOptions* options = GetIllegalMoveOptions();
    const float limit = options ? options->m_SecondsToShowMessage : 10.0f;
    if (limit <= m_SecondsShown)
        m_SecondsShown = -1.0f;
}

void CIllegalMoveDisplay::Draw(CFrameInterface& target)
{
    if (!(m_SecondsShown > 0.0f))
        return;
    CIllegalMoveMessageOptions* options = GetIllegalMoveOptions();
    CFrameOverlayOptionsList& sets = GetFrameOverlayOptionsList();
    const int32_t index = options ? options->m_FrameOverlayOptions : -1;
    CFrameOverlayOptions* set = index >= 0 && index < sets.GetCount() ? sets.GetObject(index) : nullptr;
    if (!set)
        return;
    CTextSubstitutionList values;
    values.AddText("%s[Message]", m_Text);
    CFrameOverlayDrawContext context;
    context.m_pTarget = &target;
    context.m_pSubstitutions = &values;
    context.m_Time = m_SecondsShown;
    context.m_Opacity = 1.0f;
    set->Draw(context);
}

CIllegalMoveDisplay& GetIllegalMoveDisplay()
{
    static CIllegalMoveDisplay display;
    return display;
}
