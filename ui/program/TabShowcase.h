#pragma once
// The tabbed window of the stand-in's demo: a frame window whose tab control
// holds a "Rows" page, with a column header whose widths are kept between
// runs, and a "Tree" page, for the list demos to fill; and the display
// options window, opened from the tabbed window and the menus.

class CJHeader;
class CJTabControl;
class CJWindow;

void InstallTabShowcase();
// Opens the display options window in front (or raises the open one).
void OpenDisplayOptions();

// Null until the stand-in's start has built the window (or without the demo
// data set).
CJTabControl* GetTabShowcaseTabs();
CJWindow* GetTabShowcasePage(const char* title);
CJHeader* GetTabShowcaseHeader();
