#include "RealWindowSupport.h"

#include "platform/CPlatform.h"
#include "platform/Clock.h"
#include "platform/WindowDevice.h"
#include "shell/GameWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

CRealWindowChild::~CRealWindowChild()
{
    m_Root.reset();
    m_Frame.reset();
    if (m_Open)
        plat::GetPlatform().GetWindow().Destroy();
}

bool CRealWindowChild::Open(const char* title, CFont* font)
{
    if (plat::ChoosePlatformKind() != plat::PlatformKind::SDL) {
        [] { GTEST_SKIP() << "no display"; }();
        return false;
    }
    if (!std::getenv("OMBRISALT_XTEST_SCRIPT")) {
        ADD_FAILURE() << "no OMBRISALT_XTEST_SCRIPT";
        return false;
    }
    plat::CWindowDevice& device = plat::GetPlatform().GetWindow();
    if (!device.Create(title, 320, 240)) {
        ADD_FAILURE() << device.GetLastError();
        return false;
    }
    m_Open = true;
    m_Title = title;
    SetWindowState(true, false);
    m_Frame = CFrame::MakeOwned(320, 240, 32);
    m_Root = std::make_unique<CScreenWindow>(m_Frame.get(), font);
    return true;
}

void CRealWindowChild::Play(const std::string& steps, const std::function<bool()>& done,
                            const std::function<void()>& afterUpdate, const std::function<void()>& beforeUpdate)
{
    ASSERT_TRUE(PlayInputInBackground(m_Title, steps));
    for (int pass = 0; pass < 6000 && !done(); ++pass) {
        RunMessageLoop();
        if (beforeUpdate)
            beforeUpdate();
        m_Root->Update(1.0f / 60.0f);
        if (afterUpdate)
            afterUpdate();
        plat::SleepMs(5);
    }
}

bool LogHasLineStarting(const std::vector<std::string>& log, const std::string& start)
{
    return std::any_of(log.begin(), log.end(), [&start](const std::string& line) { return line.rfind(start, 0) == 0; });
}

void WriteLog(const std::vector<std::string>& log, const std::string& path)
{
    std::ofstream file(path);
    for (const std::string& line : log)
        file << line << "\n";
}
