#pragma once
// Whether a window was made anew. Never by comparing its address with the
// old one's: the allocator may put the new window where the old one was. A
// mark set on the old window is not carried by a new one.
#include "ui/CJWindow.h"

inline constexpr char kOldWindowMark[] = "(the window before)";

inline void MarkAsOld(CJWindow& window)
{
    window.SetTitle(CJString(kOldWindowMark));
}

inline bool IsMarkedAsOld(const CJWindow& window)
{
    return window.GetTitle().Compare(kOldWindowMark) == 0;
}
