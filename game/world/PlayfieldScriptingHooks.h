#pragma once
// What sprites and scripts ask of the current playfield, installed into the
// scripting hooks table at start-up (RegisterGameWorldClasses). With no
// current playfield every answer is the table's default: nothing found,
// nothing broadcast, the caller keeps a sprite it asked to place.

// Installs the playfield's answers; idempotent.
void InstallPlayfieldScriptingHooks();
