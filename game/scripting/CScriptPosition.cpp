#include "game/scripting/CScriptPosition.h"

#include "game/scripting/CExpression.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/ScriptingClassBody.h"
#include "game/scripting/ScriptingHooks.h"
#include "objects/CObjectProperty.h"
#include "objects/CStringProperty.h"
#include "objects/CPointProperty.h"

namespace {

bool IsBlank(char16_t c)
{
    return c == u'\t' || c == u' ' || c == u'\r' || c == u'\n';
}

// By code, so wide names lose their blanks too.
CJString WithoutBlanks(const CJString& text)
{
    CJString out;
    for (int i = 0; i < text.GetLength(); ++i)
        if (!IsBlank(text.GetAt(i)))
            out.AppendRepeated(text.GetAt(i), 1);
    return out;
}

} // namespace

OMBRISALT_SCRIPTING_CLASS(CScriptReferenceToTarget, 1.0)
void CScriptReferenceToTarget::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CScriptReferenceToTarget::m_Name, "Name", "");
}

bool CScriptReferenceToTarget::Matches(const CJString& spriteName, bool loose) const
{
    if (!loose)
        return spriteName.CompareNoCase(m_Name) == 0;
    if (spriteName.IsEmpty() || m_Name.IsEmpty())
        return false;
    return WithoutBlanks(spriteName).CompareNoCase(WithoutBlanks(m_Name)) == 0;
}

bool CScriptReferenceToTarget::Matches(CSprite* sprite, bool loose) const
{
    return sprite && Matches(sprite->GetName(), loose);
}

OMBRISALT_SCRIPTING_ABSTRACT_CLASS(CScriptPosition, 1.0)
void CScriptPosition::DeclareProperties(CPropertyDeclarer&) {}

OMBRISALT_SCRIPTING_CLASS(CScriptPositionAbsolutePoint, 1.0)
void CScriptPositionAbsolutePoint::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CScriptPositionAbsolutePoint::m_Position, "Position", CFPoint{0.0f, 0.0f});
}

OMBRISALT_SCRIPTING_CLASS(CScriptPositionNamedObject, 1.0)
void CScriptPositionNamedObject::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddEmbedded(&CScriptPositionNamedObject::m_Position, "Position");
}

CFPoint CScriptPositionNamedObject::GetPosition(CSprite* sprite)
{
    CFPoint found{};
    if (GetScriptingHooks().GetReferencePosition(m_Position, found, sprite))
        m_Cached = found;
    return m_Cached;
}

void CScriptPositionNamedObject::ReadCustomProperties(const CJString& name, const CJString& value,
                                                      CObjectStream& stream)
{
    if (name.CompareNoCase("Position Name") == 0) {
        m_Position.m_Name = value;
        return;
    }
    CScriptPosition::ReadCustomProperties(name, value, stream);
}

OMBRISALT_SCRIPTING_CLASS(CScriptPositionThisSprite, 1.0)
void CScriptPositionThisSprite::DeclareProperties(CPropertyDeclarer&) {}

CFPoint CScriptPositionThisSprite::GetPosition(CSprite* sprite)
{
    CScriptReferenceToTarget self;
    self.m_Name = "this";
    CFPoint found{};
    if (GetScriptingHooks().GetReferencePosition(self, found, sprite))
        m_Cached = found;
    return m_Cached;
}

OMBRISALT_SCRIPTING_CLASS(CScriptPositionCalculatedPoint, 1.0)
void CScriptPositionCalculatedPoint::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add<CExpressionProperty>(&CScriptPositionCalculatedPoint::m_X, "X", nullptr).DefaultNumber(100.0f);
    d.Add<CExpressionProperty>(&CScriptPositionCalculatedPoint::m_Y, "Y", nullptr).DefaultNumber(100.0f);
}

CFPoint CScriptPositionCalculatedPoint::GetPosition(CSprite* sprite)
{
    return sprite ? sprite->GetPosition() : CFPoint{0.0f, 0.0f};
}
