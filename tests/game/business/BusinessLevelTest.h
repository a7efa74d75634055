#pragma once
// A level of the building business in a temporary data folder. A test
// writes the data it needs (WriteObject), then calls StartLevel, which
// points every list at the folder and holds a fresh level with the default
// layers. The level plays without the screens above the business; a test
// that wants them installs its own table for its scope.
#include "foundation/CPoint.h"
#include "game/world/WorldHooks.h"
#include "objects/CPropertyArrayProperty.h"
#include "sequences/SequenceTestSupport.h"
#include "tests/support/ScopedHooks.h"

#include <cstdint>
#include <string>
#include <vector>

class CLevelOptions;
class CLot;
class CObject;

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

    CLevelOptions* m_Level = nullptr;

private:
    CScopedHook<SetGameScreensHooks> m_WithoutScreens{nullptr};
};
