#include "game/scripting/CSpritePlugInHideReveal.h"

#include "game/scripting/CSprite.h"
#include "game/scripting/ScriptingClassBody.h"
#include "objects/CFloatProperty.h"

OMBRISALT_SCRIPTING_CLASS(CHideAndRevealAfterDelaySpritePlugIn, 1.0)
void CHideAndRevealAfterDelaySpritePlugIn::DeclareProperties(CPropertyDeclarer& d)
{
    d.GetClassInfo().SetCategory("Hide");
    d.Add(&CHideAndRevealAfterDelaySpritePlugIn::m_TimeToRemainHidden, "Time To Remain Hidden", 1.0f)
        .Units("Seconds")
        .Range(0.0f, 999999.0f)
        .SpinStep(0.1f);
}

void CHideAndRevealAfterDelaySpritePlugIn::Restart(CPlugInUpdateRecord&)
{
    m_TimeLeft = m_TimeToRemainHidden;
    if (m_Sprite)
        m_Sprite->SetVisible(false);
}

void CHideAndRevealAfterDelaySpritePlugIn::Update(CPlugInUpdateRecord& record)
{
    m_TimeLeft -= record.seconds;
    if (m_TimeLeft > 0.0f) {
        if (m_Sprite)
            m_Sprite->SetVisible(false);
        return;
    }
    record.done = true;
    m_TimeLeft = 0.0f;
    if (m_Sprite)
        m_Sprite->SetVisible(true);
}

OMBRISALT_SCRIPTING_CLASS(CHideSpritePlugIn, 1.0)
void CHideSpritePlugIn::DeclareProperties(CPropertyDeclarer& d)
{
    d.GetClassInfo().SetCategory("Hide");
    d.Add<CExpressionProperty>(&CHideSpritePlugIn::m_FadeOutTime, "Fade out time", nullptr)
        .Units("Seconds")
        .DefaultNumber(0.5f);
}

void CHideSpritePlugIn::Restart(CPlugInUpdateRecord&)
{
    m_Duration = m_TimeLeft = EvaluateFloat(m_FadeOutTime);
}

void CHideSpritePlugIn::Update(CPlugInUpdateRecord& record)
{
    m_TimeLeft -= record.seconds;
    if (m_TimeLeft > 0.0f) {
        if (m_Sprite)
            m_Sprite->SetOpacity(m_TimeLeft / m_Duration);
        return;
    }
    record.done = true;
    m_TimeLeft = 0.0f;
    if (m_Sprite) {
        m_Sprite->SetOpacity(1.0f);
        m_Sprite->SetVisible(false);
    }
}

OMBRISALT_SCRIPTING_CLASS(CRevealSpritePlugIn, 1.0)
void CRevealSpritePlugIn::DeclareProperties(CPropertyDeclarer& d)
{
    d.GetClassInfo().SetCategory("Hide");
    d.Add<CExpressionProperty>(&CRevealSpritePlugIn::m_FadeInTime, "Fade in time", nullptr)
        .Units("Seconds")
        .DefaultNumber(0.5f);
}

void CRevealSpritePlugIn::Restart(CPlugInUpdateRecord&)
{
    m_Duration = m_TimeLeft = EvaluateFloat(m_FadeInTime);
}

void CRevealSpritePlugIn::Update(CPlugInUpdateRecord& record)
{
    m_TimeLeft -= record.seconds;
    if (m_TimeLeft > 0.0f) {
        if (m_Sprite) {
            m_Sprite->SetVisible(true);
            m_Sprite->SetOpacity(1.0f - m_TimeLeft / m_Duration);
        }
        return;
    }
    record.done = true;
    m_TimeLeft = 0.0f;
    if (m_Sprite) {
        m_Sprite->SetOpacity(1.0f);
        m_Sprite->SetVisible(true);
    }
}
