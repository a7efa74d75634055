#pragma once
// How scripts name other sprites and places. A target reference holds a
// sprite name, "this" standing for the script's own sprite; positions turn
// a point, a reference or the own sprite into a point at run time. Looking
// a name up in the playfield goes through the scripting hooks.
#include "foundation/CFPoint.h"
#include "objects/CObject.h"

#include <cstdint>

class CExpression;
class CSprite;

class CScriptReferenceToTarget : public CObject {
    OMBRISALT_REFLECTED(CScriptReferenceToTarget, CObject)
public:
    CScriptReferenceToTarget();
    ~CScriptReferenceToTarget() override;

    // Strict: equal ignoring case (two empty names are equal). Loose: neither
    // empty, and equal ignoring case once tabs, spaces and line breaks are
    // dropped.
    bool Matches(const CJString& spriteName, bool loose) const;
    bool Matches(CSprite* sprite, bool loose) const;

    CJString m_Name;
};

class CScriptPosition : public CObject {
    OMBRISALT_REFLECTED(CScriptPosition, CObject)
public:
    CScriptPosition();
    ~CScriptPosition() override;

    virtual void Touch(intptr_t) {}
    virtual CFPoint GetPosition(CSprite* sprite) = 0;
};

class CScriptPositionAbsolutePoint : public CScriptPosition {
    OMBRISALT_REFLECTED(CScriptPositionAbsolutePoint, CScriptPosition)
public:
    CScriptPositionAbsolutePoint();
    ~CScriptPositionAbsolutePoint() override;

    CFPoint GetPosition(CSprite*) override { return m_Position; }

    CFPoint m_Position{};
};

// The named sprite's position, or the given sprite's for "this" or no match;
// keeps the last answer when nothing is found ((-1, -1) at first).
class CScriptPositionNamedObject : public CScriptPosition {
    OMBRISALT_REFLECTED(CScriptPositionNamedObject, CScriptPosition)
public:
    CScriptPositionNamedObject();
    ~CScriptPositionNamedObject() override;

    CFPoint GetPosition(CSprite* sprite) override;
    // Takes the older key "Position Name" as the reference's name.
    void ReadCustomProperties(const CJString& name, const CJString& value, CObjectStream& stream) override;

    CScriptReferenceToTarget m_Position;
    CFPoint m_Cached{-1.0f, -1.0f};
};

class CScriptPositionThisSprite : public CScriptPosition {
    OMBRISALT_REFLECTED(CScriptPositionThisSprite, CScriptPosition)
public:
    CScriptPositionThisSprite();
    ~CScriptPositionThisSprite() override;

    CFPoint GetPosition(CSprite* sprite) override;

    CFPoint m_Cached{-1.0f, -1.0f};
};

// Holds "X" and "Y" for the editor; its position is the given sprite's own.
class CScriptPositionCalculatedPoint : public CScriptPosition {
    OMBRISALT_REFLECTED(CScriptPositionCalculatedPoint, CScriptPosition)
public:
    CScriptPositionCalculatedPoint();
    ~CScriptPositionCalculatedPoint() override;

    CFPoint GetPosition(CSprite* sprite) override;

    CExpression* m_X = nullptr;
    CExpression* m_Y = nullptr;
};
