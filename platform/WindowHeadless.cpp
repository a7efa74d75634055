#include "platform/WindowHeadless.h"

#include "platform/Signals.h"

#include <cstddef>

namespace plat {

bool CWindowHeadless::Create(std::string_view title, int32_t width, int32_t height)
{
    if (m_FailCreate) {
        m_LastError = "the window was refused";
        return false;
    }
    InstallTerminationHandlers();
    m_Title = std::string(title);
    m_Width = width;
    m_Height = height;
    m_Created = true;
    ForgetHandedOut();
    // A new window comes up in front, as on a desktop.
    m_Focus = true;
    m_Minimised = false;
    return true;
}

void CWindowHeadless::Destroy()
{
    m_Created = false;
    m_Focus = false;
    m_Queue.clear();
}

void CWindowHeadless::SetClientSize(int32_t width, int32_t height)
{
    m_Width = width;
    m_Height = height;
}

bool CWindowHeadless::PollEvent(WindowEvent& event)
{
    if (m_Created && TakeTerminationRequest()) {
        event = WindowEvent{};
        event.kind = WindowEvent::Kind::Quit;
        NoteHandedOut(event);
        return true;
    }
    if (m_Queue.empty())
        return false;
    event = m_Queue.front();
    m_Queue.pop_front();
    NoteHandedOut(event);
    switch (event.kind) {
    case WindowEvent::Kind::Activated:
        m_Focus = true;
        break;
    case WindowEvent::Kind::Deactivated:
        m_Focus = false;
        break;
    case WindowEvent::Kind::Minimised:
        m_Minimised = true;
        break;
    case WindowEvent::Kind::Restored:
        m_Minimised = false;
        break;
    default:
        break;
    }
    return true;
}

bool CWindowHeadless::IsTerminationWaiting() const
{
    return IsTerminationRequested();
}

bool CWindowHeadless::Present(const PictureView& picture)
{
    if (!m_Created) {
        m_LastError = "no window";
        return false;
    }
    ++m_Presents;
    m_LastPictureWidth = picture.width;
    m_LastPicture.clear();
    if (picture.pixels && picture.width > 0 && picture.height > 0) {
        m_LastPicture.reserve(size_t(picture.width) * size_t(picture.height));
        for (int32_t y = 0; y < picture.height; ++y) {
            const uint32_t* row = picture.pixels + std::ptrdiff_t(y) * picture.pitch;
            m_LastPicture.insert(m_LastPicture.end(), row, row + picture.width);
        }
    }
    return true;
}

} // namespace plat
