#pragma once
// Running a test half against the real SDL window on a virtual X display:
// the display, and a second run of this program (the platform is chosen
// once per process, and the test process is headless) that plays input
// with tests/ui/xtest-input.py.

#include "support/TestSupport.h"

#include <string>

// A virtual display of its own for the holder's life.
class CVirtualDisplay {
public:
    CVirtualDisplay() = default;
    CVirtualDisplay(const CVirtualDisplay&) = delete;
    CVirtualDisplay& operator=(const CVirtualDisplay&) = delete;
    ~CVirtualDisplay();
    // False when Xvfb is missing or did not come up; its errors go to
    // errorFile.
    bool Start(const std::string& errorFile);
    const std::string& Display() const { return m_Display; }

    static bool IsInstalled();

private:
    int m_Pid = 0;
    std::string m_Display;
};

// Runs this program's test childTest on the display with the input script
// in OMBRISALT_XTEST_SCRIPT, its working folder folder, its output in
// outputFile; the exit status, or -1 when it did not end in time (killed).
int RunChildOnDisplay(const CVirtualDisplay& display, const std::string& folder, const char* childTest,
                      const std::string& outputFile);
