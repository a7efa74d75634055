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

// Whether what the mouse cursor holds matches every requirement set: the
// build phase and upgrade of a held upgrade button, and a class that the
// held AI or the button's upgrade is of. Nothing held (or a held sprite
// without an AI) is false; no requirement set is true.
class CUpgradeOnCursorExpression : public CExpression {
    OMBRISALT_REFLECTED(CUpgradeOnCursorExpression, CExpression)
public:
    CUpgradeOnCursorExpression();
    ~CUpgradeOnCursorExpression() override;
    void Evaluate(CScriptContext* context, CScriptValue& out) override;

    // Build phase list index; 0 counts as none, as the held phase starts at
    // 0, so the list's first phase can never be required on its own.
    int32_t m_RequiredBuildPhase = 0;
    int32_t m_RequiredUpgrade = 0;         // upgrade list index, 0 for none
    CClassInfo* m_RequiredClass = nullptr; // null for none
};

// Whether the lot at "Lot Grid Coordinate" of the current playfield's "Lot"
// layer has "Required Upgrade" among its building's parts. No lot layer, no
// lot there (outside the grid, say) or a lot without a building: false.
class CLotHasItemExpression : public CExpression {
    OMBRISALT_REFLECTED(CLotHasItemExpression, CExpression)
public:
    CLotHasItemExpression();
    ~CLotHasItemExpression() override;
    void Evaluate(CScriptContext* context, CScriptValue& out) override;

    int32_t m_RequiredUpgrade = 0;    // upgrade list index, 0 for none
    CPoint m_LotGridCoordinate{0, 0}; // (column, row)
};
