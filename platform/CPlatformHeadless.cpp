#include "platform/CPlatformHeadless.h"

#include "platform/Clock.h"

#include <atomic>
#include <cstdio>

namespace plat {

namespace {

std::atomic<uint32_t> g_ManualTick{0};

uint32_t ReadManualTick()
{
    return g_ManualTick.load();
}

void WriteToStandardError(std::string_view caption, std::string_view text)
{
    std::fprintf(stderr, "%.*s\n%.*s\n", int(caption.size()), caption.data(), int(text.size()), text.data());
    std::fflush(stderr);
}

} // namespace

CPlatformHeadless::~CPlatformHeadless()
{
    StopManualClock();
}

void CPlatformHeadless::ShowMessageBox(std::string_view caption, std::string_view text)
{
    WriteToStandardError(caption, text);
    if (m_MessageBoxes.size() == kKeptMessageBoxes)
        m_MessageBoxes.erase(m_MessageBoxes.begin());
    m_MessageBoxes.push_back({std::string(caption), std::string(text)});
}

bool CPlatformHeadless::GetFreeDiskSpace(std::string_view folder, uint64_t& freeBytes)
{
    if (!m_FreeBytes)
        return CPlatform::GetFreeDiskSpace(folder, freeBytes);
    freeBytes = *m_FreeBytes;
    return true;
}

void CPlatformHeadless::Sleep(uint32_t milliseconds)
{
    m_Slept += milliseconds;
    if (m_ManualClock)
        AdvanceClock(milliseconds);
    else
        CPlatform::Sleep(milliseconds);
}

void CPlatformHeadless::StartManualClock(uint32_t start)
{
    g_ManualTick = start;
    SetMillisecondTickSource(ReadManualTick);
    m_ManualClock = true;
}

void CPlatformHeadless::AdvanceClock(uint32_t milliseconds)
{
    g_ManualTick += milliseconds;
}

void CPlatformHeadless::StopManualClock()
{
    if (!m_ManualClock)
        return;
    SetMillisecondTickSource(nullptr);
    m_ManualClock = false;
}

} // namespace plat
