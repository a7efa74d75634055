#pragma once
// Plug-ins, actions and a playfield stand-in for the script tests.
#include "game/scripting/CAction.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/CSpritePlugInContainers.h"
#include "game/scripting/ScriptingHooks.h"
#include "objects/CMessage.h"

#include <functional>
#include <string>
#include <vector>

// A leaf that counts what reaches it and reports done after "Done After"
// updates since its last restart (0: never). Hooks log "<name>:<hook>".
class CCountingPlugIn : public CSpritePlugIn {
    OMBRISALT_REFLECTED(CCountingPlugIn, CSpritePlugIn)
public:
    CCountingPlugIn();
    ~CCountingPlugIn() override;

    void HandleMessage(CMessage& message) override;
    void Update(CPlugInUpdateRecord& record) override;
    void Restart(CPlugInUpdateRecord& record) override;
    void Signal(uint8_t& flag) override;
    intptr_t Fold(intptr_t value, intptr_t argument) override;

    CJString m_Name;
    uint32_t m_DoneAfter;

    uint32_t m_Restarts = 0;
    uint32_t m_Updates = 0;        // since the last restart
    uint32_t m_TotalUpdates = 0;
    bool m_SawDoneOnEntry = false; // record.done as the last update found it
    uint32_t m_Messages = 0;
    bool m_TakesMessages = false;  // marks every message handled
    uint8_t m_SignalSets = 0;      // written into the flag
    std::function<void(CCountingPlugIn&)> m_OnUpdate;

    static std::vector<std::string>& Log();
};

CCountingPlugIn* Counting(const char* name, uint32_t doneAfter = 0);

// An action that counts its Perform calls and whom they were for.
class CCountingAction : public CAction {
public:
    void Perform(CActionRecord& record) override;

    uint32_t m_Performed = 0;
    std::vector<CSprite*> m_Sprites; // record.sprite of each call
};

// A sprite whose messages reach a plug-in block of its own and are counted.
class CScriptedSprite : public CSprite {
public:
    explicit CScriptedSprite(const char* name);
    ~CScriptedSprite() override;

    void HandleMessage(CMessage& message) override;

    CSpritePlugInSimultaneous* m_Block;
    uint32_t m_Messages = 0;
    std::function<void(CMessage&)> m_OnMessage;
};

// The current playfield, as the hooks see it: one layer of sprites.
class CFakePlayfieldHooks : public CScriptingHooks {
public:
    void FindSpritesByReference(const CScriptReferenceToTarget& reference, CArrayPOD<CSprite*>& out,
                                bool loose) override;
    void BroadcastToCurrentPlayfield(CMessage& message) override;
    bool GetReferencePosition(const CScriptReferenceToTarget& reference, CFPoint& out, CSprite* own) override;

    std::vector<CSprite*> m_Sprites; // not owned
    std::vector<bool> m_LooseFlags;  // of each search
    uint32_t m_Broadcasts = 0;
};

std::string Text(const CMessage& message);
