#pragma once
// A test AI for the head of a sprite's chain: notes the names of the
// messages the sprite hears and passes every call on.
#include "game/scripting/CSpriteAI.h"
#include "objects/CMessage.h"

#include <string>
#include <vector>

class CMessageEarAI : public CSpriteAI {
public:
    explicit CMessageEarAI(std::vector<std::string>& heard)
        : m_Heard(heard)
    {
    }
    void Update(CSpriteUpdateRecord& record) override { UpdateNextAI(record); }
    void HandleMessage(CMessage& message) override
    {
        m_Heard.push_back(GetMessageTypeName(message.GetType()));
        CSpriteAI::HandleMessage(message);
    }

private:
    std::vector<std::string>& m_Heard;
};
