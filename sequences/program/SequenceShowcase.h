#pragma once
// What the stand-in program shows of the sequence layer: the demo sequences
// of "Resources/Sequences" playing on the clock, the coin beside a copy
// recoloured by the "Coin Blue" style sheet, and the mouse cursor drawn from
// "Mouse Cursor". The first start builds every sequence's cache under
// "Cache/".

// Fills the stand-in's hooks; called by the launcher before the game starts.
void InstallSequenceShowcase();
