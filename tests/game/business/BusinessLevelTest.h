#pragma once
// A level of the building business in a temporary data folder, with this
// layer's hooks installed into the world for the test and customers played
// by a double. A test writes the data it needs (WriteObject), then calls
// StartLevel, which points every list at the folder and holds a fresh level
// with the default layers.
#include "game/business/BusinessHooks.h"
#include "sequences/SequenceTestSupport.h"
#include "tests/support/ScopedHooks.h"

#include <cstdint>
#include <string>
#include <vector>

class CLevelOptions;
class CLot;
struct CPoint;

// Customers as the business sees them: one may be held on the cursor, and
// every call is noted.
class CCustomerDouble : public CCustomerServices {
public:
    CSpriteAI* GetHeldCustomer() override { return held; }
    CSpriteAI* TakeHeldCustomer() override;
    void DropHeldCustomer() override;
    bool IsIdle(CSpriteAI* customer) override;
    void AddHearts(CSpriteAI* customer, float hearts) override;
    void MakeLeave(CSprite& sprite) override;

    CSpriteAI* held = nullptr;
    std::vector<CSpriteAI*> idle;
    std::vector<std::string> log;
    float heartsAdded = 0.0f;
};

class BusinessLevelTest : public SequenceFolderTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // "Resources/<path>" holding one object of the class; lines are
    // "Key=Value" lines, each ended by "\n".
    void WriteObject(const std::string& path, const std::string& className, const std::string& lines = "");
    // A one-frame sequence "Resources/Sequences/-<name>".
    void WriteSequence(const std::string& name, int width = 8, int height = 8);
    // A 4x4 frame "Resources/Frames/<name>.tga" of the frame library.
    void WriteFrame(const std::string& name, uint32_t bgra);
    // Points the lists at the folder and holds a fresh level; null only when
    // the data is broken.
    CLevelOptions* StartLevel();
    // A lot sprite on the "Lot" layer at the grid point, with these parts.
    CLot* AddLot(CPoint grid, const std::vector<int32_t>& parts = {});
    static void SetParts(CObject& owner, const char* key, CPropertyArray<int32_t>& array,
                         const std::vector<int32_t>& values);

    CCustomerDouble m_Customers;
    CBusinessLotHooks m_LotHooks;
    CBusinessHudHooks m_HudHooks;
    CBusinessCurrentLevelHooks m_LevelHooks;
    CBusinessGameAppHooks m_GameHooks;
    CBusinessTypedCommandHooks m_TypedHooks;
    CBusinessGameSongHooks m_SongHooks;
    CLevelOptions* m_Level = nullptr;

private:
    CScopedHook<SetCustomerServices> m_CustomersInstalled{&m_Customers};
    CScopedHook<SetLotHooks> m_LotInstalled{&m_LotHooks};
    CScopedHook<SetHudHooks> m_HudInstalled{&m_HudHooks};
    CScopedHook<SetCurrentLevelHooks> m_LevelInstalled{&m_LevelHooks};
    CScopedHook<SetGameAppHooks> m_GameInstalled{&m_GameHooks};
    CScopedHook<SetTypedCommandHooks> m_TypedInstalled{&m_TypedHooks};
    CScopedHook<SetGameSongHooks> m_SongInstalled{&m_SongHooks};
};
