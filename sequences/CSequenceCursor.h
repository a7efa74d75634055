#pragma once
// A sequence as the mouse cursor: the shell's cursor interface over a
// CSequence the caller keeps alive.

#include "shell/CMouseState.h"

class CSequence;

class CSequenceCursor final : public CCursorSequence {
public:
    explicit CSequenceCursor(CSequence& sequence)
        : m_Sequence(sequence)
    {
    }
    int32_t GetFrameCount() const override;
    int32_t GetCurrentFrame() const override;
    CFrameInterface* GetFrame(int32_t index) const override;
    CBlitType& GetBlitType() const override;

private:
    CSequence& m_Sequence;
};
