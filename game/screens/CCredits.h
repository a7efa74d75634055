#pragma once
// The credits: a text file shown as an endless, slowly rising scroll of
// centred lines and images that fade in over the bottom eighth of their box
// and out over the top eighth.
//
// File: one entry per line, in file order.
//   "//..."        a comment, skipped
//   "FRAME:name"   the frame library's frame of that name, as tall as the
//                  image; a name the library lacks shows as text
//   anything else  a text line (an empty one too), as tall as the font's
//                  point size; "left~right" (a "~" past the first character)
//                  draws two columns meeting at the centre, a leading "_" or
//                  "+" underlines the rest in red or green
//
// The scroll runs on the engine's millisecond clock from the reader's
// construction at 20 pixels a second; when the last entry has left the top
// it starts over from below, already moved up by the first entry's height.
// A file with no entries draws nothing.
//
// Lines are laid out once, when read: a frame draws only the entries inside
// the box, and of a line wider than any screen only the characters a screen
// could show (of characters that advance nothing, such as tabs, no more than
// a screen could hold of ones that do), so a file of any size costs a frame
// what the box shows.
#include "foundation/CJString.h"
#include "ui/CJWindow.h"
#include "ui/CMenuWindow.h"

#include <cstdint>
#include <memory>
#include <vector>

class CFont;
class CFrame;
class CFrameInterface;
class CJButton;

// Characters [from, from + count) of a text entry, drawn left-aligned from
// the centre plus x: the part of the line any screen can show.
struct SCreditsRun {
    int32_t from = 0;
    int32_t count = 0;
    int32_t x = 0;
};

struct SCreditsEntry {
    CJString text;
    CFrame* image = nullptr; // the frame library's, not owned; null for text
    uint32_t height = 0;     // pixels
    // Laid out once, when read: up to two runs, and the underline's half width.
    SCreditsRun runs[2];
    uint8_t runCount = 0;
    int32_t underlineHalf = -1; // -1: none
};

class CCreditsText {
public:
    // Reads the file (a missing one gives no entries); font: not owned.
    CCreditsText(const char* fileName, CFont* font);
    CCreditsText(const CCreditsText&) = delete;
    CCreditsText& operator=(const CCreditsText&) = delete;

    // The scroll for the clock's present moment.
    void Draw(CFrameInterface& frame);

    // One line of the file, parsed and appended.
    void AppendLine(const CJString& line);
    void Clear()
    {
        m_Entries.clear();
        m_Tops.clear();
    }
    // Scroll offset 0 is then, less the first entry's height.
    void Restart();

    const std::vector<SCreditsEntry>& GetEntries() const { return m_Entries; }
    double GetStartTime() const { return m_StartTime; }
    float GetSpeed() const { return m_Speed; }

private:
    void DrawEntry(CFrameInterface& frame, const SCreditsEntry& entry, int32_t centre, int32_t y);
    void LayOut(SCreditsEntry& entry);
    // The run of text[from, to) whose pen starts at start (from the centre).
    SCreditsRun Cut(const CJString& text, int32_t from, int32_t to, int64_t start);
    int64_t Width(const CJString& text, int32_t from, int32_t to);

    std::vector<SCreditsEntry> m_Entries;
    // Each entry's top below the first's: a frame finds the visible ones
    // without walking those above.
    std::vector<int64_t> m_Tops;
    double m_StartTime = 0.0; // milliseconds of MillisecondClock
    CFont* m_Font;
    float m_Speed; // pixels per clock tick
};

// A window hosting one reader, optionally in a sunken box with a background.
class CJCreditsControl : public CJWindow {
public:
    CJCreditsControl(CJWindow* parent, bool bevel, const char* fileName);
    ~CJCreditsControl() override;

    void Draw(CFrameInterface& frame) override;
    CCreditsText& GetReader() { return *m_Reader; }

private:
    std::unique_ptr<CCreditsText> m_Reader;
    bool m_Bevel;
};

// The menu screen with the scroll and a "Close" button.
class CCreditsWindow : public CMenuWindow {
public:
    CCreditsWindow(CJWindow* parent, const char* fileName);

    CJCreditsControl* GetControl() const { return m_Control; }
    CJButton* GetCloseButton() const { return m_Close; }

private:
    void CloseWindow();

    CJCreditsControl* m_Control = nullptr;
    CJButton* m_Close = nullptr;
};
