#pragma once
// The window without a display: test equipment. Input comes only from a
// queue the test fills; focus and minimising follow the events taken from
// it; presented pictures are counted and the last one kept. A termination
// signal (SIGTERM, SIGINT, SIGHUP), caught once the window exists, arrives
// as a Quit event.

#include "platform/WindowDevice.h"

#include <deque>
#include <string>
#include <vector>

namespace plat {

class CWindowHeadless final : public CWindowDevice {
public:
    bool Create(std::string_view title, int32_t width, int32_t height) override;
    bool IsCreated() const override { return m_Created; }
    void Destroy() override;
    void SetClientSize(int32_t width, int32_t height) override;
    bool PollEvent(WindowEvent& event) override;
    bool HasFocus() const override { return m_Focus; }
    bool IsMinimised() const override { return m_Minimised; }
    bool Present(const PictureView& picture) override;
    void ShowSystemCursor(bool show) override { m_CursorShown = show; }
    void WarpCursor(int32_t x, int32_t y) override { m_WarpX = x, m_WarpY = y, ++m_Warps; }
    std::string_view GetLastError() const override { return m_LastError; }

    // Queued after everything queued before.
    void PushEvent(const WindowEvent& event) { m_Queue.push_back(event); }
    // A window that cannot be opened, to test the start-up report.
    void FailCreation(bool fail) { m_FailCreate = fail; }

    const std::string& GetTitle() const { return m_Title; }
    int32_t GetWidth() const { return m_Width; }
    int32_t GetHeight() const { return m_Height; }
    bool IsCursorShown() const { return m_CursorShown; }
    // Where the last WarpCursor put the pointer, and how many there were.
    int32_t GetWarpX() const { return m_WarpX; }
    int32_t GetWarpY() const { return m_WarpY; }
    uint32_t GetWarpCount() const { return m_Warps; }
    uint64_t GetPresentCount() const { return m_Presents; }
    // The last picture, packed (pitch = width).
    const std::vector<uint32_t>& GetLastPicture() const { return m_LastPicture; }
    int32_t GetLastPictureWidth() const { return m_LastPictureWidth; }

protected:
    bool IsTerminationWaiting() const override;

private:
    std::deque<WindowEvent> m_Queue;
    std::string m_Title;
    std::string m_LastError;
    std::vector<uint32_t> m_LastPicture;
    int32_t m_LastPictureWidth = 0;
    int32_t m_Width = 0;
    int32_t m_Height = 0;
    uint64_t m_Presents = 0;
    int32_t m_WarpX = 0;
    int32_t m_WarpY = 0;
    uint32_t m_Warps = 0;
    bool m_Created = false;
    bool m_FailCreate = false;
    bool m_Focus = false;
    bool m_Minimised = false;
    bool m_CursorShown = true;
};

} // namespace plat
