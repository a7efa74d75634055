#pragma once
// Tests against a real window on a virtual X display: the display itself,
// the environment a program needs to open its window there, the XTEST
// player of a person's input (tests/support/xtest-input.py), and a second
// run of this test program on the display (the platform is chosen once per
// process, and test processes are headless).

#include "TestSupport.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// A virtual display of its own for the holder's life.
class CVirtualDisplay {
public:
    // screen: Xvfb's WIDTHxHEIGHTxDEPTH.
    explicit CVirtualDisplay(const char* screen = "640x480x24")
        : m_Screen(screen)
    {
    }
    CVirtualDisplay(const CVirtualDisplay&) = delete;
    CVirtualDisplay& operator=(const CVirtualDisplay&) = delete;
    ~CVirtualDisplay();
    // False when Xvfb is missing or did not come up; its errors go to
    // errorFile.
    bool Start(const std::string& errorFile);
    const std::string& Display() const { return m_Display; }

    // Whether Xvfb is installed; says so on standard output when not
    // (scripts/setup installs it).
    static bool IsInstalled();

private:
    const char* m_Screen;
    int m_Pid = 0;
    std::string m_Display;
};

// Variables a program on the display needs (its working folder is folder),
// and those that would keep it off the display.
std::map<std::string, std::string> DisplayEnvironment(const CVirtualDisplay& display, const std::string& folder);
const std::vector<std::string>& VariablesOffTheDisplay();

// The XTEST player; its steps are described in the script.
std::string XtestScript();

// Runs this program's test childTest on the display with the XTEST player
// in OMBRISALT_XTEST_SCRIPT, its working folder folder, its output in
// outputFile; the exit status, or -1 when it did not end within the
// seconds (it is killed then).
int RunChildOnDisplay(const CVirtualDisplay& display, const std::string& folder, const char* childTest,
                      const std::string& outputFile, int seconds = 90);

// In such a child: plays steps into the window titled title in the
// background, so the caller can pump the window meanwhile. False when the
// player could not be started.
bool PlayInputInBackground(const std::string& title, const std::string& steps);

// What the display shows, dumped by xwd into dumpFile: 0x00RRGGBB pixels,
// rows top first. False when xwd is missing or its dump cannot be read.
struct SDisplayPicture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};
bool GrabDisplay(const std::string& display, const std::string& dumpFile, SDisplayPicture& picture);

// The first run of such a test, in a temporary folder.
class CRealWindowTest : public CTempFolderTest {
protected:
    // Runs this program's test childTest on a virtual display of its own and
    // expects it to end well. False when the test is skipped (no Xvfb) or has
    // failed (no display).
    bool RunChildOnOwnDisplay(const char* childTest);
    // What the child wrote to its standard output and error.
    std::string ChildOutput() const { return ReadBytes(PathOf("child.out")); }
};
