#include "game/business/CWorkInProgress.h"

#include "blit/CColor.h"
#include "blit/CFrameInterface.h"
#include "game/world/CPowerUpText.h"
#include "images/CFont.h"
#include "objects/CPropertyDeclarer.h"
#include "render/SurfaceHelpers.h"

#include <algorithm>
#include <limits>

namespace {

constexpr int32_t kLineSpacing = 2;
constexpr int32_t kBoxMargin = 10;
constexpr int32_t kOutlineMargin = 2;

CRect Grown(const CRect& rect, int32_t by)
{
    return CRect{rect.left - by, rect.top - by, rect.right + by, rect.bottom + by};
}

} // namespace

OMBRISALT_IMPLEMENT_CLASS(CWorkInProgress, 1.0)

void CWorkInProgress::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CWorkInProgress;
    d.Add(&C::m_Message, "Message", "Work In Progress");
    d.Add(&C::m_Width, "Width", 200u).Units("pixels");
}

CWorkInProgress::CWorkInProgress()
{
    InitDeclaredProperties();
}

CWorkInProgress::~CWorkInProgress()
{
    DestroyDeclaredProperties();
}

void CWorkInProgress::Update(CSpriteUpdateRecord& record)
{
    UpdateNextAI(record);
}

void CWorkInProgress::Draw(CSpriteDrawRecord& record)
{
    if (record.spriteFrame)
        DrawWith(CPowerUpTextDisplayOptions::SGetInstance().GetFont(), *record.spriteFrame);
}

void CWorkInProgress::DrawWith(CFont* font, CFrameInterface& spriteSpace)
{
    if (!font)
        return;
    // A width past what the font code measures in would wrap nowhere anyway.
    const int32_t wrapWidth = int32_t(std::min<uint32_t>(m_Width, uint32_t(std::numeric_limits<int32_t>::max())));
    m_LaidOutText = font->WrapText(m_Message, wrapWidth, TrailingSpaces::Cut);
    const int32_t w = font->GetMultiLineTextWidth(m_LaidOutText);
    const int32_t h = font->GetTextBlockHeight(m_LaidOutText, kLineSpacing);
    m_TextRect = CRect{-(w / 2), -(h / 2), w - w / 2, h - h / 2};
    m_BackgroundRect = Grown(m_TextRect, kBoxMargin);

    CColor neutral(255, 255, 255, 255);
    spriteSpace.FillRect(m_BackgroundRect, neutral);
    CColor outline(0, 0, 0, 255);
    DrawRect(spriteSpace, Grown(m_TextRect, kOutlineMargin), outline);
    font->DrawMultiLineText(spriteSpace, m_TextRect.left + w / 2, m_TextRect.top, m_LaidOutText, kLineSpacing,
                            TextAlign::Centre, nullptr);
}
