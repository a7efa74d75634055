#include "game/world/CGameApp.h"

#include "game/business/CThreeInARowCounter.h"
#include "game/scripting/CSprite.h"
#include "images/CFrame.h"
#include "render/SurfaceHelpers.h"
#include "sequences/CSequenceCursor.h"
#include "sequences/CSequenceList.h"
#include "sequences/HueRemap.h"
#include "shell/CMouseState.h"

#include <utility>
#include <vector>

namespace {

constexpr const char* kCursorNames[kCursorTableSize] = {
    "Mouse Cursor",          "Text Cursor",
    "Set X Cursor",          "Set Y Cursor",
    "Set XY Cursor",         "Can Move Cursor",
    "Moving Cursor",         "Can Move X Cursor",
    "Moving X Cursor",       "Can Move Y Cursor",
    "Moving Y Cursor",       "Can Resize Cursor",
    "Resizing Cursor",       "Can Resize Other Cursor",
    "Resizing Other Cursor", nullptr,
    "Page Up Cursor",        nullptr,
    "Page Down Cursor",      nullptr,
    "Page Left Cursor",      nullptr,
    "Page Right Cursor",
};

// Cursors of the game's own sequences ("Poke Cursor", the assist cursors)
// are made once and kept until the list goes.
CSequenceCursor* FindOrMakeCursor(CGameApp::CursorList& list, CSequence* sequence)
{
    for (auto& entry : list)
        if (entry.first == sequence)
            return entry.second.get();
    list.emplace_back(sequence, std::make_unique<CSequenceCursor>(*sequence));
    return list.back().second.get();
}

void ShowCursor(CSequenceCursor* cursor)
{
    CMouseState& mouse = CMouseState::SGetInstance();
    if (mouse.GetCursor() != cursor)
        mouse.SetCursor(cursor, CursorStart::Started, CursorStop::Running, CursorFrameSource::Sequence);
}

} // namespace

void CGameApp::LoadCursors()
{
    CMouseState& mouse = CMouseState::SGetInstance();
    for (uint32_t i = 0; i < kCursorTableSize; ++i) {
        SCursorEntry& entry = m_Cursors[i];
        entry.sequence = nullptr;
        entry.cursor.reset();
        if (!kCursorNames[i])
            continue;
        const int32_t index = GetSequenceList().Find(kCursorNames[i]);
        entry.sequence = index >= 0 ? GetSequenceList().GetObject(index) : nullptr;
        if (entry.sequence)
            entry.cursor = std::make_unique<CSequenceCursor>(*entry.sequence);
    }
    if (m_Cursors[0].cursor) {
        mouse.SetCursor(m_Cursors[0].cursor.get(), CursorStart::Started, CursorStop::AtLastFrame,
                        CursorFrameSource::Sequence);
        mouse.ShowCursor();
    }
}

void CGameApp::ReleaseCursors()
{
    CMouseState& mouse = CMouseState::SGetInstance();
    for (SCursorEntry& entry : m_Cursors) {
        if (entry.cursor && mouse.GetCursor() == entry.cursor.get())
            mouse.SetCursor(nullptr, CursorStart::NotStarted, CursorStop::Running, CursorFrameSource::MouseState);
        entry.cursor.reset();
        entry.sequence = nullptr;
    }
    if (m_BonusCursor && mouse.GetCursor() == m_BonusCursor.get())
        mouse.SetCursor(nullptr, CursorStart::NotStarted, CursorStop::Running, CursorFrameSource::MouseState);
    m_BonusCursor.reset();
    for (auto& entry : m_ExtraCursors)
        if (mouse.GetCursor() == entry.second.get())
            mouse.SetCursor(nullptr, CursorStart::NotStarted, CursorStop::Running, CursorFrameSource::MouseState);
    m_ExtraCursors.clear();
    m_BonusSequence = nullptr;
}

CSequenceCursor* CGameApp::CursorFor(const CSequence* sequence)
{
    if (!sequence)
        return nullptr;
    for (SCursorEntry& entry : m_Cursors)
        if (entry.sequence == sequence)
            return entry.cursor.get();
    if (m_BonusCursor && m_BonusSequence == sequence)
        return m_BonusCursor.get();
    return nullptr;
}

void CGameApp::DrawCursor(CFrameInterface& target)
{
    CMouseState& mouse = CMouseState::SGetInstance();
    int32_t mx = 0;
    int32_t my = 0;
    mouse.GetPosition(mx, my);
    CSequenceCursor* attachmentCursor = CursorFor(m_CursorSequence);
    const bool showsAttachment = attachmentCursor && mouse.GetCursor() == attachmentCursor;
    if (m_DrawBeforeCursor && m_CursorAttached && showsAttachment)
        DrawAttached(target, mx, my);
    // The bonus cursor replaces the default one while the bonus lasts.
    CThreeInARowCounter* counter = GetThreeInARowCounter();
    const bool bonus = counter && counter->IsBonusActive();
    if (bonus && m_Cursors[0].cursor && mouse.GetCursor() == m_Cursors[0].cursor.get()) {
        SSparkleOptions options;
        if (!m_BonusCursor && GetThreeInARowSparkleOptions(options) && options.bonusCursor) {
            m_BonusCursor = std::make_unique<CSequenceCursor>(*options.bonusCursor);
            m_BonusSequence = options.bonusCursor;
        }
        if (m_BonusCursor)
            mouse.SetCursor(m_BonusCursor.get(), CursorStart::Started, CursorStop::Running,
                            CursorFrameSource::Sequence);
    } else if (!bonus && m_BonusCursor && mouse.GetCursor() == m_BonusCursor.get() && m_Cursors[0].cursor) {
        mouse.SetCursor(m_Cursors[0].cursor.get(), CursorStart::Started, CursorStop::AtLastFrame,
                        CursorFrameSource::Sequence);
    }
    CFrame* remapped = nullptr;
    if (m_CursorRemapper >= 0 && showsAttachment && mouse.IsCursorVisible())
        if (CFrame* frame = m_CursorSequence->GetCurrentFrame())
            remapped = GetHueRemappedFrame(*frame, m_CursorRemapper);
    if (remapped)
        BlitAt(target, *remapped, mx, my, m_CursorSequence->GetBlitType());
    else
        mouse.DrawCursor(target);
    if (!m_DrawBeforeCursor && m_CursorAttached && showsAttachment)
        DrawAttached(target, mx, my);
}

void CGameApp::DrawAttached(CFrameInterface& target, int32_t x, int32_t y)
{
    const CFPoint kept = m_CursorAttached->GetPosition();
    m_CursorAttached->SetPosition(float(x), float(y));
    m_CursorAttached->SetOpacity(m_CursorOpacity);
    m_CursorAttached->DrawAllPasses(target);
    m_CursorAttached->SetPosition(kept.x, kept.y);
}

void CGameApp::SetCursorAttachment(CSequence* cursor, int32_t hueRemapper, CSprite* attached, float opacity,
                                   bool drawBeforeCursor)
{
    m_CursorSequence = cursor;
    m_CursorRemapper = hueRemapper;
    m_CursorAttached = attached;
    m_CursorOpacity = opacity;
    m_DrawBeforeCursor = drawBeforeCursor;
}

CSequence* CGameApp::GetCursorSequence(uint32_t index) const
{
    return index < kCursorTableSize ? m_Cursors[index].sequence : nullptr;
}

void CGameApp::ShowSequenceAsCursor(CSequence* sequence)
{
    if (!sequence)
        sequence = m_Cursors[0].sequence;
    if (!sequence)
        return;
    CSequenceCursor* cursor = CursorFor(sequence);
    ShowCursor(cursor ? cursor : FindOrMakeCursor(m_ExtraCursors, sequence));
}

CSequence* GetCursorSequence(uint32_t index)
{
    const CGameApp* game = CGameApp::SGetInstance();
    return game ? game->GetCursorSequence(index) : nullptr;
}

void ShowSequenceAsCursor(CSequence* sequence)
{
    if (CGameApp* game = CGameApp::SGetInstance()) {
        game->ShowSequenceAsCursor(sequence);
        return;
    }
    // A level played without a game object (tests, tools) has no cursor
    // table; what it shows lives as long as the process.
    static CGameApp::CursorList s_WithoutGame;
    if (sequence)
        ShowCursor(FindOrMakeCursor(s_WithoutGame, sequence));
}
