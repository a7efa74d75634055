#pragma once
// Optional goals a level may carry beside its required revenue. Only what
// the levels read and write is here: the four status flags and the revenue
// goal that older level files make from "Expert Goal". Drawing, awarding and
// the other kinds come with the goals themselves.
#include "objects/CObject.h"

#include <cstdint>

class CGoal : public CObject {
    OMBRISALT_REFLECTED(CGoal, CObject)
public:
    CGoal();
    ~CGoal() override;

    // Whether the goal is about that customer style (the level's one-value
    // acceptance test).
    virtual bool RefersToCustomer(int32_t /*customerStyle*/) { return false; }

    bool m_AchievedPreviously = false;
    bool m_AchievedThisTime = false;
    bool m_AwardedThisTime = false;
    bool m_Failed = false;
};

class CRevenueGoal : public CGoal {
    OMBRISALT_REFLECTED(CRevenueGoal, CGoal)
public:
    CRevenueGoal();
    ~CRevenueGoal() override;

    float m_Revenue = 0.0f; // thousands of $
};
