#include "sequences/CSequenceCursor.h"

#include "images/CFrame.h"
#include "sequences/CSequence.h"

int32_t CSequenceCursor::GetFrameCount() const
{
    return int32_t(m_Sequence.GetFrameCount());
}

int32_t CSequenceCursor::GetCurrentFrame() const
{
    return int32_t(m_Sequence.GetCurrentFrameIndex());
}

CFrameInterface* CSequenceCursor::GetFrame(int32_t index) const
{
    return index < 0 ? nullptr : m_Sequence.GetFrame(uint32_t(index));
}

CBlitType& CSequenceCursor::GetBlitType() const
{
    return m_Sequence.GetBlitType();
}
