#pragma once
// The list demos on the tabbed window's pages: 100,000 generated rows under
// its column header, sorted by clicking the titles, and a tree of the data
// folder with icons and connector lines. Installed after the tab showcase.

class CJListBox;

void InstallListShowcase();

// Null until the stand-in's start has built them.
CJListBox* GetListShowcaseRows();
CJListBox* GetListShowcaseTree();
