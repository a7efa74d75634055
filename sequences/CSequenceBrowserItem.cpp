#include "sequences/CSequenceBrowserItem.h"

#include "blit/CColor.h"
#include "blit/CFrameInterface.h"
#include "foundation/SaturatingArithmetic.h"
#include "objects/CClassInfo.h"
#include "objects/CObjectFileArray.h"
#include "objects/CPropertyArrayProperty.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"

namespace {

void DrawMarker(CFrameInterface& target, int32_t x, int32_t y, CColor colour)
{
    target.FillRect(CRect{x - 1, y - 1, x + 2, y + 2}, colour);
}

} // namespace

CSequenceBrowserItem::CSequenceBrowserItem(CVirtualArray* list, uint32_t index, CSequence* sequence)
    : CImageBrowserItemBridge(list, index)
    , m_Sequence(sequence)
{
}

uint32_t CSequenceBrowserItem::FrameCount() const
{
    return m_Sequence ? m_Sequence->GetFrameCount() : 0;
}

void CSequenceBrowserItem::PreviousFrame()
{
    const uint32_t count = FrameCount();
    const int32_t previous = int32_t(m_Position) - 1;
    m_Position = previous < 0 ? float(count > 0 ? count - 1 : 0) : float(previous);
}

void CSequenceBrowserItem::NextFrame()
{
    const uint32_t next = uint32_t(m_Position) + 1;
    m_Position = next >= FrameCount() ? 0.0f : float(next);
}

void CSequenceBrowserItem::Update(float seconds)
{
    const uint32_t count = FrameCount();
    if (!m_Playing || count == 0)
        return;
    m_Position += m_Sequence->GetFramesPerSecond() * seconds;
    // A negative or runaway rate must not spin here.
    if (!(m_Position >= 0.0f) || m_Position >= float(count) * 1000.0f) {
        m_Position = 0.0f;
        return;
    }
    while (m_Position >= float(count))
        m_Position -= float(count);
}

void CSequenceBrowserItem::Draw(CFrameInterface& target, CPoint point)
{
    if (!m_Sequence)
        return;
    const uint32_t frame = uint32_t(m_Position);
    m_Sequence->DrawFrame(target, int32_t(frame), point.x, point.y);
    if (m_ShowHotSpot || m_EditCoordinates)
        DrawMarker(target, point.x, point.y, CColor(255, 255, 255, 255));
    if (!m_EditCoordinates)
        return;
    CSequenceOfCoordinates* coordinates = GetSequenceCoordinates(*m_Sequence);
    if (coordinates && frame < coordinates->m_Coordinates.GetCount()) {
        const CFPoint& p = coordinates->m_Coordinates[frame];
        DrawMarker(target, SaturatingAdd(point.x, TruncateToInt32(p.x)), SaturatingAdd(point.y, TruncateToInt32(p.y)),
                   CColor(255, 0, 0, 255));
    }
}

bool CSequenceBrowserItem::Click(uint32_t button, CPoint point)
{
    if (!m_EditCoordinates || m_Playing || button != 0 || !m_Sequence)
        return false;
    CSequenceOfCoordinates* coordinates = GetSequenceCoordinates(*m_Sequence);
    auto* property = static_cast<CPropertyArrayProperty*>(
        CSequenceOfCoordinates::SGetClassInfo()->FindProperty("Coordinates"));
    if (!coordinates || !property)
        return false;
    const uint32_t frame = uint32_t(m_Position);
    const uint32_t had = property->GetCount(coordinates);
    if (had <= frame) {
        property->ArrayProperty_SetCount(coordinates, FrameCount() > frame ? FrameCount() : frame + 1);
        for (uint32_t i = had; i < coordinates->m_Coordinates.GetCount(); ++i)
            coordinates->m_Coordinates[i] = CFPoint{0.0f, 0.0f};
    }
    if (frame >= coordinates->m_Coordinates.GetCount())
        return false;
    coordinates->m_Coordinates[frame] = CFPoint{float(point.x), float(point.y)};
    return true;
}

void CSequenceBrowserItem::GetBounds(CRect& out)
{
    out = m_Sequence ? m_Sequence->GetBounds() : CRect{0, 0, 0, 0};
}

std::unique_ptr<CImageBrowserItemBridge> CSequenceBrowserItem::SCreate(CVirtualArray* list, uint32_t index)
{
    CSequence* sequence = nullptr;
    if (auto* objects = dynamic_cast<CObjectFileArray*>(list); objects && int32_t(index) < objects->GetCount())
        sequence = dynamic_cast<CSequence*>(objects->GetItemObject(int32_t(index)));
    return std::make_unique<CSequenceBrowserItem>(list, index, sequence);
}
