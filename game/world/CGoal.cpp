#include "game/world/CGoal.h"

#include "blit/CColor.h"
#include "blit/CFrameInterface.h"
#include "foundation/SaturatingArithmetic.h"
#include "game/business/CUpgradeButton.h"
#include "game/scripting/CAudio.h"
#include "game/world/CGameState.h"
#include "game/world/CGoalOptions.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CPeriod.h"
#include "game/world/CPlayfield.h"
#include "game/world/WorldHooks.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "objects/CBoolProperty.h"
#include "objects/CFloatProperty.h"
#include "objects/CMessage.h"
#include "render/CBlitXParams.h"
#include "sequences/CSequence.h"
#include "sequences/CTextSubstitutionList.h"

#include <cmath>

OMBRISALT_IMPLEMENT_ABSTRACT_CLASS(CGoal, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CRevenueGoal, 1.0)

namespace {

constexpr int32_t kUnlimitedRunWidth = 9999;

void BroadcastToPlayfield(const char* name)
{
    if (CPlayfield* playfield = GetCurrentPlayfield()) {
        CMessage message = CMessage::CMessageByName(name);
        playfield->BroadcastMessage(message);
    }
}

} // namespace

void CGoal::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CGoal::m_AchievedPreviously, "Achieved Previously", false).Level(kLevelHidden);
    d.Add(&CGoal::m_AchievedThisTime, "Achieved This Time", false).Level(kLevelHidden);
    d.Add(&CGoal::m_AwardedThisTime, "Awarded This Time", false).Level(kLevelHidden);
    d.Add(&CGoal::m_Failed, "Failed", false).Level(kLevelHidden);
}

CGoal::CGoal()
{
    InitDeclaredProperties();
}

CGoal::~CGoal()
{
    DestroyDeclaredProperties();
}

void CGoal::SetFailed()
{
    m_Failed = true;
    BroadcastToPlayfield("Optional Goal Failed");
}

bool CGoal::TakeStarPending()
{
    const bool pending = m_StarPending;
    m_StarPending = false;
    return pending;
}

void CGoal::AwardIfAchieved(CGoalLayout& layout)
{
    if (!m_AchievedThisTime || m_AwardedThisTime)
        return;
    m_AwardedThisTime = true;
    if (!m_AchievedPreviously) {
        GetGameScreensHooks().MarkOptionalGoalAchieved(CLevelOptions::SGetCurrent(), layout.goalIndex);
        GetGameScreensHooks().CountOptionalGoalAchieved();
    }
    m_StarPending = true;
    if (CPeriod* period = GetCurrentPeriod()) {
        CAudioPlaySettings settings;
        settings.pitch = 1.0f;
        settings.volume = 1.0f;
        GetAudioList().PlayAudioByIndex(period->m_OptionalGoalAchievedAudio, settings);
    }
    BroadcastToPlayfield("Optional Goal Achieved");
}

void CGoal::AddTextRun(CGoalLayout& layout, const CJString& text)
{
    if (layout.runs.size() <= layout.runIndex)
        layout.runs.resize(layout.runIndex + 1);
    CGoalRun& run = layout.runs[layout.runIndex];
    const int32_t limit = run.widthLimit > 0 ? SaturatingSub(run.widthLimit, layout.spacing) : kUnlimitedRunWidth;

    int32_t widest = 0;
    if (layout.font) {
        SParagraphLayout paragraph;
        paragraph.x = layout.penX;
        paragraph.width = limit;
        const int32_t height = layout.font->GetWrappedTextHeight(text, paragraph);
        widest = layout.font->GetWrappedTextWidth(text, paragraph);
        if (layout.drawing && layout.frame) {
            int32_t y = ClampToInt32(int64_t(layout.centreY) - height / 2 - 2);
            layout.font->DrawWrappedParagraphs(layout.frame, y, text, paragraph);
        }
    }

    int32_t advance = SaturatingAdd(widest, layout.spacing);
    if (run.widthLimit > 0 && advance > run.widthLimit)
        advance = run.widthLimit;
    layout.penX = SaturatingAdd(layout.penX, advance);
    run.advance = advance;
    run.isText = true;
    ++layout.runIndex;
}

void CGoal::AddImageRun(CGoalLayout& layout, CSequence* sequence, float frameValue, float /*extraValue*/, CRect* drawn,
                        CUpgrade* part)
{
    CFrame* frame = nullptr;
    if (sequence)
        frame = frameValue < 0.0f ? sequence->GetCurrentFrame() : sequence->GetFrameAtPosition(frameValue);
    if (part)
        frame = GetButtonPictureFrame(*part, frame);

    int32_t width = 0;
    if (frame) {
        CRect bounds{};
        frame->GetBounds(bounds);
        const int32_t frameWidth = bounds.GetWidth();
        const int32_t frameHeight = bounds.GetHeight();
        float scale = 1.0f;
        if (frameHeight > layout.maxImageHeight && frameHeight > 0)
            scale = float(layout.maxImageHeight) / float(frameHeight);
        width = int32_t(std::lrint(float(frameWidth) * scale));
        const int32_t height = int32_t(std::lrint(float(frameHeight) * scale));
        CRect target;
        target.left = layout.penX;
        target.top = ClampToInt32(std::lrint(float(layout.centreY) - float(frameHeight) * scale / 2.0f));
        target.right = SaturatingAdd(target.left, width);
        target.bottom = SaturatingAdd(target.top, height);
        if (layout.drawing) {
            // A blit draws at the source's size: a scaled picture goes
            // through the transformed blit, or it would cover the runs after it.
            if (layout.frame && sequence && width > 0 && height > 0) {
                if (scale == 1.0f) {
                    layout.frame->Blit(*frame, bounds, target, sequence->GetBlitType());
                } else {
                    CBlitXParams params(frame, float(target.left), float(target.top), 0.0f, scale, scale,
                                        CColor(255, 255, 255, 255), CBlitXParams::kFiltered, float(bounds.left),
                                        float(bounds.top), true);
                    layout.frame->Render(params);
                }
            }
            if (drawn)
                *drawn = target;
        }
    }

    if (layout.runs.size() <= layout.runIndex)
        layout.runs.resize(layout.runIndex + 1);
    CGoalRun& run = layout.runs[layout.runIndex];
    run.advance = SaturatingAdd(width, layout.spacing);
    run.isText = false;
    layout.penX = SaturatingAdd(layout.penX, run.advance);
    ++layout.runIndex;
}

void CGoal::LayOut(CGoalLayout& layout, const CJString& text, const CGoalTokens& tokens)
{
    const CGoalOptions& options = *CGoalOptions::SGetInstance();
    const int32_t limit = ClampToInt32(int64_t(options.m_Spacing) + options.m_MaxWidth + options.m_ContentOffset.x);

    const int32_t startX = layout.penX;
    const int32_t startY = layout.centreY;
    // Limits left from an earlier line would narrow the measurement itself.
    layout.runs.clear();
    layout.drawing = false;
    layout.runIndex = 0;
    AddFormattedText(layout, text, tokens);

    const int32_t measured = layout.penX;
    if (limit < measured) {
        const int32_t overflow = SaturatingSub(measured, limit);
        CGoalRun* widest = nullptr;
        for (CGoalRun& run : layout.runs)
            if (run.isText && (!widest || run.advance > widest->advance))
                widest = &run;
        if (widest && widest->advance > overflow)
            widest->widthLimit = widest->advance - overflow;
    }

    layout.penX = startX;
    layout.centreY = startY;
    layout.drawing = true;
    layout.runIndex = 0;
    AddFormattedText(layout, text, tokens);
}

void CGoal::AddFormattedText(CGoalLayout& layout, const CJString& text, const CGoalTokens& tokens)
{
    CJString rest = text;
    while (!rest.IsEmpty()) {
        const int start = rest.Find("%s[");
        if (start < 0) {
            AddTextRun(layout, rest);
            return;
        }
        if (start > 0) {
            AddTextRun(layout, rest.Left(start));
            rest = rest.Mid(start);
            continue;
        }
        const int close = rest.Find("]");
        if (close < 0)
            return;
        const CJString token = rest.Left(close + 1);
        rest = rest.Mid(close + 1);
        if (tokens.image1 && token.Compare(tokens.token1) == 0) {
            CRect drawn{};
            AddImageRun(layout, tokens.image1, -1.0f, 0.0f, &drawn, tokens.part1);
            if (layout.drawing) {
                layout.token1Rect = drawn;
                layout.hasToken1Rect = true;
            }
        } else if (tokens.image2 && token.Compare(tokens.token2) == 0) {
            AddImageRun(layout, tokens.image2, tokens.frameValue, tokens.extraValue, nullptr, tokens.part2);
        }
    }
}

void CRevenueGoal::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CRevenueGoal::m_Revenue, "Revenue", 0.0f).Units("Thousand $");
}

CRevenueGoal::CRevenueGoal()
{
    InitDeclaredProperties();
}

CRevenueGoal::~CRevenueGoal()
{
    DestroyDeclaredProperties();
}

namespace {

CJString RevenueInDollars(float thousands)
{
    CJString text;
    text.FormatThousands(WholeDollars(thousands));
    return text;
}

} // namespace

void CRevenueGoal::Draw(CGoalLayout& layout)
{
    const CGoalOptions& options = *CGoalOptions::SGetInstance();
    CJString text = options.m_RevenueText;
    text.Replace(CJString("%s[Revenue]"), RevenueInDollars(m_Revenue));
    CGoalTokens tokens;
    tokens.token1 = "%s[DollarSign]";
    tokens.image1 = CGoalOptions::GetSequence(options.m_RevenueSequence);
    LayOut(layout, text, tokens);
    AwardIfAchieved(layout);
}

void CRevenueGoal::Update(float /*seconds*/)
{
    if (!m_AchievedThisTime && CGameState::SGetCurrent()->m_RevenueK >= m_Revenue)
        m_AchievedThisTime = true;
}

void CRevenueGoal::GetDescription(CJString& out, const char* /*wordToRemove*/)
{
    out = "Revenue >= $";
    out.Append(RevenueInDollars(m_Revenue));
}

void AddGoalTextVariables(CTextSubstitutionList& list)
{
    CGameState* state = CGameState::SGetCurrent();
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    list.AddObjectProperties(*state, "%s[", "]");
    if (level)
        list.AddObjectProperties(*level, "%s[", "]");

    const float pending = level ? level->m_PendingRevenue : 0.0f;
    list.AddNumber("%s[Revenue]", WholeDollars(state->m_RevenueK - pending));
    list.AddNumber("%s[Goal1]", level ? WholeDollars(level->m_RequiredRevenue) : 0);
    list.AddNumber("%s[RevenueChanging]", pending > 0.0f ? 1 : 0);
    list.AddNumber("%s[Has3Goals]", level && level->m_OptionalGoals.GetCount() >= 3 ? 1 : 0);
}
