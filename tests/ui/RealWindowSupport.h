#pragma once
// The second run of a real-window test (see support/VirtualDisplay.h): the
// real SDL window with a screen window over a frame of its size, pumped
// while the XTEST player's input arrives.

#include "support/VirtualDisplay.h"

#include "images/CFrame.h"
#include "ui/CScreenWindow.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CFont;

class CRealWindowChild {
public:
    CRealWindowChild() = default;
    CRealWindowChild(const CRealWindowChild&) = delete;
    CRealWindowChild& operator=(const CRealWindowChild&) = delete;
    // Closes the window after the tree has gone.
    ~CRealWindowChild();

    // Opens a 320 x 240 window titled title, its screen window's default
    // font font. False when this run has no display (the test is skipped) or
    // the window did not open (it fails).
    bool Open(const char* title, CFont* font = nullptr);

    CScreenWindow& Root() { return *m_Root; }
    CFrame& Frame() { return *m_Frame; }

    // Plays steps (see support/xtest-input.py) and pumps the window and
    // updates the tree until done() or half a minute has gone; beforeUpdate
    // and afterUpdate run on every pass around the tree's update.
    void Play(const std::string& steps, const std::function<bool()>& done,
              const std::function<void()>& afterUpdate = {}, const std::function<void()>& beforeUpdate = {});

private:
    const char* m_Title = nullptr;
    bool m_Open = false;
    std::unique_ptr<CFrame> m_Frame;
    std::unique_ptr<CScreenWindow> m_Root;
};

// Whether a line of the log starts with start.
bool LogHasLineStarting(const std::vector<std::string>& log, const std::string& start);
// Writes the log for the first run to read, a line each.
void WriteLog(const std::vector<std::string>& log, const std::string& path);
