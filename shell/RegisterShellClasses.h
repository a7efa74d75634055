#pragma once

// Registers the classes of shell/ (and of every library below it), in a
// fixed order, and installs what the layers below ask of the shell: the
// cursor around message boxes and the frame library that texturizing frame
// effects take their textures from; idempotent.
void RegisterShellClasses();
