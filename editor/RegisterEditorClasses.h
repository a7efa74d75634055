#pragma once

// The editors' start-up: their fixed texts, tables and message type, and the
// hooks they fill below (the level's undo history, the new-file dialog).
// Their reflected classes register here as they are built.
void RegisterEditorClasses();
