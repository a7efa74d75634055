#include "objects/CMessage.h"

#include "foundation/CDynamicList.h"
#include "objects/CObject.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// Records what it hears in a shared log; may act while it hears a message.
class CRecordingPlugIn : public CGamePlugIn {
public:
    CRecordingPlugIn(std::vector<std::string>& log, std::string name, bool handles = false)
        : m_Log(log)
        , m_Name(std::move(name))
        , m_Handles(handles)
    {
    }
    bool OnMessage(CMessage& message) override
    {
        m_Log.push_back(m_Name + ":" + GetMessageTypeName(message.GetType()));
        // The action may delete this plug-in: nothing of it is used after.
        const bool handles = m_Handles;
        if (const std::function<void(CMessage&)> action = m_Action)
            action(message);
        return handles;
    }
    std::function<void(CMessage&)> m_Action;

private:
    std::vector<std::string>& m_Log;
    std::string m_Name;
    bool m_Handles;
};

TEST(Message, TypeNamesAreCaseBlindAndKeepTheirIds)
{
    RegisterMessageTypes();
    const uint32_t id = CMessage::SGetMessageType("LevelCompleteForTest");
    EXPECT_EQ(CMessage::SGetMessageType("levelcompletefortest"), id);
    EXPECT_EQ(std::string(GetMessageTypeName(id)), "LevelCompleteForTest");
    EXPECT_EQ(CMessage::SGetMessageType("AnotherTypeForTest"), id + 1);
    EXPECT_EQ(GetMessageTypeName(id + 1000), nullptr);

    CMessage message = CMessage::CMessageByName("LEVELCOMPLETEFORTEST");
    EXPECT_EQ(message.GetType(), id);
    EXPECT_TRUE(message.IsType("levelCompleteForTest"));
    EXPECT_FALSE(message.IsType("AnotherTypeForTest"));

    CPlaySoundMessage sound("UI/Button Action.wav");
    EXPECT_TRUE(sound.IsType("cplaysoundmessage"));
    EXPECT_EQ(sound.GetType(), CMessage::SGetMessageType("CPlaySoundMessage"));
}

TEST(Message, BroadcastReachesEveryPlugInInRegistrationOrder)
{
    std::vector<std::string> log;
    CMessage message = CMessage::CMessageByName("Ping");
    EXPECT_FALSE(BroadcastMessageToPlugIns(message));

    CRecordingPlugIn first(log, "first", true);
    CRecordingPlugIn second(log, "second");
    EXPECT_TRUE(BroadcastMessageToPlugIns(message));
    EXPECT_EQ(log, (std::vector<std::string>{"first:Ping", "second:Ping"}));
}

TEST(Message, PlugInsMayComeAndGoDuringABroadcast)
{
    std::vector<std::string> log;
    // The object model's own receiver may be there already.
    const uint32_t before = GetPlugInCount();
    auto* a = new CRecordingPlugIn(log, "a");
    auto* b = new CRecordingPlugIn(log, "b");
    auto* c = new CRecordingPlugIn(log, "c", true);
    auto* d = new CRecordingPlugIn(log, "d");
    CRecordingPlugIn* late = nullptr;
    // b leaves by itself, takes c with it and brings a newcomer that first
    // hears the next message; a nested broadcast runs in between.
    b->m_Action = [&](CMessage& message) {
        if (!message.IsType("Ping"))
            return;
        delete c;
        late = new CRecordingPlugIn(log, "late");
        CMessage nested = CMessage::CMessageByName("Nested");
        BroadcastMessageToPlugIns(nested);
        delete b;
    };
    CMessage ping = CMessage::CMessageByName("Ping");
    EXPECT_FALSE(BroadcastMessageToPlugIns(ping));
    EXPECT_EQ(
        log,
        (std::vector<std::string>{"a:Ping", "b:Ping", "a:Nested", "b:Nested", "d:Nested", "late:Nested", "d:Ping"}));

    log.clear();
    EXPECT_FALSE(BroadcastMessageToPlugIns(ping));
    EXPECT_EQ(log, (std::vector<std::string>{"a:Ping", "d:Ping", "late:Ping"}));
    EXPECT_EQ(GetPlugInCount(), before + 3u);
    delete a;
    delete d;
    delete late;
    EXPECT_EQ(GetPlugInCount(), before);
}

TEST(Message, VirtualArraysAnnounceAddedItemsToPlugIns)
{
    RegisterObjectClasses();
    std::vector<std::string> log;
    CRecordingPlugIn listener(log, "listener", true);
    CVirtualArray* seenArray = nullptr;
    int32_t seenIndex = -1;
    listener.m_Action = [&](CMessage& message) {
        auto& added = static_cast<CItemAddedToVirtualArrayMessage&>(message);
        seenArray = added.GetArray();
        seenIndex = added.GetIndex();
    };
    CDynamicList list;
    list.Add("one");
    const int32_t index = list.Add("two");
    EXPECT_TRUE(list.BroadcastItemAdded(index));
    EXPECT_EQ(log, (std::vector<std::string>{"listener:CItemAddedToVirtualArrayMessage"}));
    EXPECT_EQ(seenArray, &list);
    EXPECT_EQ(seenIndex, 1);
}

} // namespace
