#pragma once
// The designer's preferences for the level editor: one object, kept in its
// own text file "./EditorOptions.txt" and edited through the object editor,
// whose ordinary save writes it back there (a file-name callback answers for
// this one object). The file is the designer's: it is read quietly, so a
// damaged file or a font the data no longer has costs the defaults, never
// the program. Values changed in memory (the 'X' key's handles toggle) are
// written only when the options are next saved.
#include "blit/CColor.h"
#include "objects/CObject.h"

#include <cstdint>

class CFont;

class CLevelEditorOptions : public CObject {
    OMBRISALT_REFLECTED(CLevelEditorOptions, CObject)
public:
    static constexpr const char* kFileName = "./EditorOptions.txt";

    CLevelEditorOptions();
    ~CLevelEditorOptions() override;

    // The one instance: made at the first call (defaults, then the file when
    // it reads) and destroyed at exit.
    static CLevelEditorOptions& SGetInstance();
    // Tests: the next SGetInstance makes and reads the options afresh.
    static void SResetInstanceForTesting();

    // Defaults, then the file; false (defaults kept) when it is missing or
    // does not read.
    bool Load();
    // The font of "Editor Font"; null when the index names none.
    CFont* GetEditorFont() const;

    // Members in the order the editor's code reads them.
    bool m_EnableUndo = true;
    bool m_ShowLotGridConnections = true;
    bool m_SnapToNearestPoint = true;
    bool m_AddRotateAndScaleHandles = true;
    uint32_t m_SnapDistance = 6;
    int32_t m_EditorFont = 0; // index into the font list
    float m_DurationToShowSelection = 3.0f;
    bool m_OutlineSelectedItems = true;
    float m_SelectedItemScale = 1.05f;
    CColor m_SelectedItemTint{0, 0, 0, 190};
    bool m_ShowYSort = false;
    bool m_ShowPolygons = false;
    bool m_ShowCustomerSpawnLimiting = false;
};

// Lets the options answer for their own file (see ObjectFileCallbacks.h);
// RegisterEditorClasses calls it once.
void RegisterLevelEditorOptionsFileName();

// The options the lower layers ask for through their hooks (installed by
// RegisterEditorClasses).
bool IsShowLotGridConnectionsOn();
bool IsShowCustomerSpawnLimitingOn();
