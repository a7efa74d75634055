#pragma once
// Upward hooks: how a library calls a service of a library above it, which it
// may not include.
//
// The lower library owns the hook. Its .cpp holds a function pointer (or a
// small table of them) that is empty until installed; every call site does
// nothing, or a documented default, while it is empty. Its header declares
// the type, a setter that answers the hook it replaces, and the marker:
//
//     using FloatLineDrawer = void (*)(CFrame& frame, ...);
//     FloatLineDrawer SetFloatLineDrawer(FloatLineDrawer drawer);
//     OMBRISALT_UPWARD_HOOK(SetFloatLineDrawer);
//
// The library that provides the service installs it in its own
// Register…Classes() (render/RegisterRenderClasses.cpp installs the line
// drawer), never in a constructor or on first use, so that after
// RegisterAllClasses() every hook the program has is in place before the
// first frame is drawn. The layers to come (sequences, ui, game, editor) do
// the same: their registration call installs what they fill below, and
// RegisterAllClasses() (program/, above every layer) calls each library's
// registration in layer order. The one exception is a hook that is an
// object of the program's own lifetime: the application object installs
// itself as the object model's host (CObjectModelHost) when it is made.
//
// Tests replace a hook for a scope with CScopedHook<Set…>
// (tests/support/ScopedHooks.h); that is why the setter answers the hook it
// replaces.
//
// The marker names the setter for the hook table test
// (tests/shell/UpwardHooks_test.cpp), which reads every marker in the sources
// and fails for a hook its table of installers does not list, or one that
// RegisterAllClasses() leaves empty although the table names its installer.
#define OMBRISALT_UPWARD_HOOK(setter) static_assert(sizeof(&setter) != 0, #setter " is an upward hook")
