#pragma once
// Named script variables kept on sprites. A sprite's variables hang on it as
// the dynamic property "Local Variables" (absent until the first is set), so
// they are saved, loaded, copied and destroyed with the sprite and sprites
// without variables carry nothing. Each variable keeps its value as text
// with the value's type tag, so a number set as an integer reads back as an
// integer and a text stays a text. Names are compared case-blind; the first
// match in creation order wins, and setting an unknown name appends it.
//
// Scripts reach the variables of their own sprite ("$Name") and of another
// sprite named by a target reference ("@Sprite.$Name"). Reading a variable
// that does not exist, or of a sprite that is not there, gives the empty
// text; setters without a target do nothing and report done.
#include "game/scripting/CAction.h"
#include "game/scripting/CExpression.h"
#include "game/scripting/CScriptPosition.h"
#include "game/scripting/CSpritePlugIn.h"
#include "objects/CPropertyArrayProperty.h"

#include <cstdint>

class CSprite;

class CLocalVariable : public CObject {
    OMBRISALT_REFLECTED(CLocalVariable, CObject)
public:
    CLocalVariable();
    ~CLocalVariable() override;

    // "Name = Value (Type)".
    void GetDescription(CJString& out, const char* wordToRemove = nullptr) override;

    CJString m_Name;
    CJString m_Value;
    int32_t m_Type = 0; // a CScriptValue type tag
};

class CLocalVariables : public CObject {
    OMBRISALT_REFLECTED(CLocalVariables, CObject)
public:
    CLocalVariables();
    ~CLocalVariables() override;

    // The first variable named so, case-blind; null when none is.
    CLocalVariable* Find(const CJString& name) const;
    // Takes ownership; appended last.
    void Add(CLocalVariable* variable);

    CPropertyArray<CLocalVariable*> m_LocalVariables; // "Variable List"
};

// The sprite's set; when it is missing, made and stored (Create) or null
// (Leave).
enum class MissingSet { Leave, Create };
CLocalVariables* GetLocalVariables(CSprite* sprite, MissingSet missing);
// out = the empty text, then the variable's value and type; false without a
// sprite, a set or a variable of that name.
bool GetVariable(CSprite* sprite, const CJString& name, CScriptValue& out);
// The first variable of that name takes the value; else one is appended.
void SetVariable(CLocalVariables& set, const CJString& name, const CScriptValue& value);
// Nothing without a sprite.
void SetSpriteVariable(CSprite* sprite, const CJString& name, const CScriptValue& value);

class CExpressionLocalVariable : public CExpression {
    OMBRISALT_REFLECTED(CExpressionLocalVariable, CExpression)
public:
    CExpressionLocalVariable();
    ~CExpressionLocalVariable() override;

    // The context's sprite's variable.
    void Evaluate(CScriptContext* context, CScriptValue& out) override;
    void GetDescription(CJString& out, const char* wordToRemove = nullptr) override;

    CJString m_VariableName;
};

class CExpressionForeignVariable : public CExpression {
    OMBRISALT_REFLECTED(CExpressionForeignVariable, CExpression)
public:
    CExpressionForeignVariable();
    ~CExpressionForeignVariable() override;

    // The named sprite's variable; an empty name or "this" (any case) reads
    // the context's own sprite.
    void Evaluate(CScriptContext* context, CScriptValue& out) override;
    void GetDescription(CJString& out, const char* wordToRemove = nullptr) override;

    CScriptReferenceToTarget m_TargetSprite; // "Sprite"
    CExpression* m_VariableName = nullptr;

private:
    CScriptValue m_Name; // reused per evaluation
};

class CSetLocalVariable : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CSetLocalVariable, CSpritePlugIn)
public:
    CSetLocalVariable();
    ~CSetLocalVariable() override;

    // Sets the variable and reports done.
    void Update(CPlugInUpdateRecord& record) override;
    void GetDescription(CJString& out, const char* wordToRemove = nullptr) override;

    CJString m_VariableName;
    CExpression* m_Value = nullptr;
};

// The target is the first sprite the reference names; "this" has no special
// meaning here.
class CSetForeignVariable : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CSetForeignVariable, CSpritePlugIn)
public:
    CSetForeignVariable();
    ~CSetForeignVariable() override;

    // Sets the target's variable and reports done.
    void Update(CPlugInUpdateRecord& record) override;
    void GetDescription(CJString& out, const char* wordToRemove = nullptr) override;

    CScriptReferenceToTarget m_TargetSprite; // "Sprite"
    CExpression* m_VariableName = nullptr;
    CExpression* m_Value = nullptr;
};

class CSetForeignVariableAction : public CAction {
    OMBRISALT_REFLECTED(CSetForeignVariableAction, CAction)
public:
    CSetForeignVariableAction();
    ~CSetForeignVariableAction() override;

    // Handled once the target's variable is set.
    void Perform(CActionRecord& record) override;
    void GetDescription(CJString& out, const char* wordToRemove = nullptr) override;

    CScriptReferenceToTarget m_TargetSprite; // "Sprite"
    CJString m_VariableName;
    CExpression* m_Value = nullptr;
};

// Moves a variable from its start value by "Amount To Increment" over
// "Seconds To Shift", counting the record's seconds; done once they have
// passed. A restart does not reset the elapsed time, so a second pass
// through the same plug-in is done at once.
class CSpritePlugInLocalVariableOverTime : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CSpritePlugInLocalVariableOverTime, CSpritePlugIn)
public:
    CSpritePlugInLocalVariableOverTime();
    ~CSpritePlugInLocalVariableOverTime() override;

    void Update(CPlugInUpdateRecord& record) override;

    CJString m_VariableName;
    CExpression* m_AmountToIncrement = nullptr;
    float m_SecondsToShift = 0.0f;
    float m_SecondsShifting = 0.0f;
    // Empty (0): the plug-in is made before it has a sprite to read from.
    CScriptValue m_StartValue;
};

// The variable classes and the sprites' "Local Variables"; idempotent.
void RegisterSpriteVariableClasses();
