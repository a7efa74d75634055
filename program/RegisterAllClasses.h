#pragma once

// The one registration call of the program, its tests and its fuzz targets:
// every library's classes in layer order and every upward hook installed
// (foundation/UpwardHook.h); idempotent. It lives above every layer, in the
// program's own library; each new layer adds its Register…Classes() here.
void RegisterAllClasses();
