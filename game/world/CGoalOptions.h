#pragma once
// The shared look of optional goals ("Goal Options" of the general objects)
// and the counting settings of the rewards screen. Sequences, fonts and
// sounds are indexes into their lists; -1 or 0 is none.
#include "foundation/CJString.h"
#include "game/world/CGeneralObjects.h"
#include "foundation/CPoint.h"
#include "objects/CObject.h"
#include "objects/CPropertyArrayProperty.h"

#include <cstdint>

class CFont;
class CSequence;

// A sequence or font reference whose "none" is no entry at all (-1), not
// the list's first entry; a named default the data lacks is none as well.
class CGoalLookReferenceProperty : public CDataReferenceProperty {
public:
    using CDataReferenceProperty::CDataReferenceProperty;
    int32_t DefaultOrNone() const { return GetDefaultName().IsEmpty() ? -1 : GetDefaultIndex(); }
    void SetToDefault(CObject* object) const override { Value(object) = DefaultOrNone(); }
    void SetValueFromText(CObject* object, const CJString& text, CObjectStream* stream) const override
    {
        if (text.IsEmpty())
            Value(object) = DefaultOrNone();
        else
            CDataReferenceProperty::SetValueFromText(object, text, stream);
    }
    bool ReadBinary(CObject* object, CObjectStream& stream) const override
    {
        CJString name;
        if (!stream.ReadCountedText(name))
            return false;
        Value(object) = name.IsEmpty() ? DefaultOrNone() : ResolveName(name, &stream);
        return true;
    }
};

class CGoalOptions : public CObject {
    OMBRISALT_REFLECTED(CGoalOptions, CObject)
public:
    CGoalOptions();
    ~CGoalOptions() override;

    // "Goal Options" of the general objects list; its absence is fatal.
    static CGoalOptions* SGetInstance();

    // Null for none (or an index past the list).
    static CSequence* GetSequence(int32_t index);
    static CFont* GetFont(int32_t index);

    int32_t m_AnyoneSequence = -1;
    int32_t m_EveryoneSequence = -1;
    int32_t m_RevenueSequence = -1;
    CJString m_RevenueText;
    int32_t m_TimerSequence = -1;
    CJString m_TextForTimer;
    int32_t m_TimerFont = -1;
    int32_t m_FullHeartSequence = -1;
    int32_t m_PartialHeartSequence = -1;
    CJString m_TextForInARow;
    int32_t m_BackgroundSequence = -1;
    int32_t m_AchievedSequence = -1;
    int32_t m_FailedSequence = -1;
    CPoint m_ContentOffset{44, 20};
    int32_t m_Font = -1;
    int32_t m_AchievedFont = -1;
    int32_t m_FailedFont = -1;
    int32_t m_Spacing = 2;
    int32_t m_MaxHeight = 34;
    int32_t m_MaxWidth = 150;
    float m_GoalCountDelay = 0.5f;
    int32_t m_GoalsPerSecond = 22;
    int32_t m_StartCountingAudio5 = 0;
    int32_t m_StartCountingAudio10 = 0;
    int32_t m_StartCountingAudio15 = 0;
    int32_t m_StartCountingAudio20 = 0;
    int32_t m_StartCountingAudio25 = 0;
    int32_t m_StartCountingAudio30 = 0;
    int32_t m_DoneCountingBasicAudio = 0;
    int32_t m_DoneCountingExpertAudio = 0;
    CJString m_SingleHeartText;
};
