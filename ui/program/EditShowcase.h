#pragma once
// What the text edits show in the stand-in: a form of text fields (a name,
// a number with a range, a password and multi-line notes with the context
// menu and the F2 zoom editor), whose labels hand their Alt hot keys to the
// field after them. Installed after the toolkit's own showcase, whose
// textures, font and theme it uses.
void InstallEditShowcase();
