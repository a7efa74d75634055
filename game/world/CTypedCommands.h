#pragma once
// The words a developer or tester types during play (no prompt: the typed
// command list watches every character). Five switch the frame-rate line
// and the drawing caches, the rest change money, stars, the level's outcome,
// achievements and advice. The cheat words exist only while the developer
// option "CheatCodes" is on; every word but "zorpDepart" confirms with
// "Customer Moved In.Wav".

class CTypedCommandList;

// What the commands switch; read by the drawing and the building business.
struct STypedCommandSwitches {
    bool playfieldCache = false;         // the playfield drawn through a proxy frame
    bool customerCache = false;          // customer sprites drawn through a proxy frame
    bool debugBuild = false;             // the three-in-a-row factor answers 1
    bool levelFinishedByCommand = false; // customer arrival stops
    bool levelFailedByCommand = false;   // customer arrival zeroes the revenue
    bool adviceDebug = false;
};

STypedCommandSwitches& GetTypedCommandSwitches();

// Registers the words into the list (the cheat words only with cheats) and
// switches the list on. The game object does this once; later calls in the
// same run add nothing.
void RegisterGameTypedCommands(CTypedCommandList& list, bool cheats);
// Tests: the next registration registers again, and the switches are off.
void ResetGameTypedCommandsForTesting();
