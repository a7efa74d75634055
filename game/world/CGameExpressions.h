#pragma once
// Expressions that read the running game: the level's number, the upgrades
// received, what the player holds on the mouse cursor and what a lot holds.
// They ignore the context they are evaluated in and look the game's current
// objects up themselves.
#include "foundation/CPoint.h"
#include "game/scripting/CExpression.h"

#include <cstdint>

class CClassInfo;

// The 1-based number of the level in its level set; 0 on a tutorial level.
class CLevelExpression : public CExpression {
    OMBRISALT_REFLECTED(CLevelExpression, CExpression)
public:
    CLevelExpression();
    ~CLevelExpression() override;
    void Evaluate(CScriptContext* context, CScriptValue& out) override;
};

// Whether the current game state has received "Required Upgrade".
class CHasUpgradeExpression : public CExpression {
    OMBRISALT_REFLECTED(CHasUpgradeExpression, CExpression)
public:
    CHasUpgradeExpression();
    ~CHasUpgradeExpression() override;
    void Evaluate(CScriptContext* context, CScriptValue& out) override;

    int32_t m_RequiredUpgrade = 0; // upgrade list index, 0 for none
};
