#pragma once

// The one registration call of the program, its tests and its fuzz targets:
// every library's classes in layer order and every upward hook installed
// (foundation/UpwardHook.h); idempotent. It lives in the top library; each
// new layer moves it up and adds its own Register…Classes().
void RegisterAllClasses();
