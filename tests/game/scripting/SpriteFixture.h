#pragma once
// Sprites over a small sequence folder ("Spr"): "!None" holds index 0, which
// sprites read as no sequence; "Block" is one opaque 8 x 8 frame, "Wide" one
// 8 x 4 frame, "Ten" ten 4 x 4 frames at 20 frames per second, "Empty" none.
// Frames are 32-bit. A recording AI writes each hook it sees to a log.
#include "game/scripting/CSprite.h"
#include "game/scripting/CSpriteAI.h"
#include "game/scripting/RegisterGameScriptingClasses.h"
#include "sequences/CSequenceList.h"
#include "sequences/SequenceTestSupport.h"

#include <functional>
#include <string>
#include <vector>

class SpriteFixture : public SequenceFolderTest {
protected:
    void SetUp() override
    {
        SequenceFolderTest::SetUp();
        RegisterGameScriptingClasses();
        WriteTga("Spr/-!None/a.tga", 1, 1);
        WriteTga("Spr/-Block/a.tga", 8, 8, 0xFF3060F0u);
        WriteBytes("Spr/-Block/Properties.txt", SequenceProperties("Dynamic Properties=1\n{\n\tY-Sort=5\n}"));
        WriteTga("Spr/-Wide/a.tga", 8, 4, 0xFF10C010u);
        for (int i = 0; i < 10; ++i)
            WriteTga("Spr/-Ten/f" + std::to_string(10 + i) + ".tga", 4, 4);
        WriteBytes("Spr/-Ten/Properties.txt", SequenceProperties("Frames Per Second=20"));
        WriteBytes("Spr/-Empty/Properties.txt", SequenceProperties("Frames Per Second=20"));
        GetSequenceList().SetSource(nullptr, "Spr", 0);
    }
    void TearDown() override
    {
        ClearDraggedSprite();
        GetSequenceList().SetSource(nullptr, "Nowhere", 0);
        SequenceFolderTest::TearDown();
    }

    static uint32_t Index(const char* name) { return uint32_t(GetSequenceList().Find(name)); }
    // A visible, solid sprite showing the named sequence at (x, y).
    static CSprite* MakeSprite(const char* sequence, float x, float y)
    {
        auto* sprite = new CSprite;
        sprite->SetImageSequence(Index(sequence));
        sprite->SetPosition(x, y);
        return sprite;
    }
};

// Writes "<name>:<hook>" for each hook; Update may run a test's action first.
class CRecordingAI : public CSpriteAI {
public:
    CRecordingAI(std::vector<std::string>& log, std::string name)
        : m_Log(log)
        , m_Name(std::move(name))
    {
    }

    void Update(CSpriteUpdateRecord& record) override
    {
        m_Log.push_back(m_Name + ":update");
        m_Seconds = record.seconds;
        if (m_OnUpdate)
            m_OnUpdate(record);
        else
            UpdateNextAI(record);
    }
    void OnPreDraw(CSprite*, CFrameInterface&) override { m_Log.push_back(m_Name + ":pre"); }
    void OnDraw(CSprite*, CFrameInterface&) override { m_Log.push_back(m_Name + ":draw"); }
    void OnPostDraw(CSprite*, CFrameInterface&) override { m_Log.push_back(m_Name + ":post"); }
    void GetBounds(CRect& rect) override
    {
        m_Log.push_back(m_Name + ":bounds");
        rect.right += 100;
    }
    void HandleMessage(CMessage& message) override
    {
        m_Log.push_back(m_Name + ":message");
        CSpriteAI::HandleMessage(message);
    }

    std::function<void(CSpriteUpdateRecord&)> m_OnUpdate;
    float m_Seconds = 0.0f;

private:
    std::vector<std::string>& m_Log;
    std::string m_Name;
};
