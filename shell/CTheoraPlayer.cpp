#include "shell/CTheoraPlayer.h"

#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "foundation/CFile.h"
#include "foundation/CPerformanceMonitor.h"
#include "foundation/MillisecondClock.h"
#include "images/CFrameAsMipMapTexture.h"
#include "platform/CPlatform.h"
#include "platform/Debug.h"
#include "shell/CKeyboardState.h"
#include "shell/CMouseState.h"
#include "shell/CScreenDevice.h"
#include "shell/CScreenFrame.h"
#include "shell/GameWindow.h"
#include "sound/CSoundDevice.h"
#include "sound/CSoundList.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <string>
#include <vector>

OMBRISALT_IMPLEMENT_CLASS(CTheoraPlayer, 1.0)

void CTheoraPlayer::DeclareProperties(CPropertyDeclarer&) {}

namespace {

constexpr uint64_t kStallMilliseconds = 1000;
constexpr int64_t kLongestWait = 1000;
constexpr uint32_t kWaitStep = 5;
constexpr int64_t kSkipAfter = 1000;
constexpr int64_t kProgressInterval = 200;

std::vector<CTheoraPlayer*>& LivePlayers()
{
    static std::vector<CTheoraPlayer*> players;
    return players;
}

void Log(const std::string& text)
{
    plat::DebugOutput(text);
}

CBlitType& NormalScaleBlitType()
{
    CBlitTypeList& list = CBlitTypeList::SGetInstance();
    CBlitType* type = list.GetBlitType(list.Find("Normal Scale"));
    return type ? *type : GetNormalBlitType();
}

// A key down or pressed since the reset, or a held mouse button.
bool WantsSkip()
{
    return CKeyboardState::SGetInstance().TakeAnyKey() != 0 || CMouseState::SGetInstance().GetButtons() != 0;
}

// The screen: the players are drawn into a 32-bit frame of the screen's
// size, which is then drawn onto the screen and presented.
class CScreenVideoOutput final : public CVideoOutput {
public:
    CScreenVideoOutput()
        : m_Screen(CScreenFrame::SGetInstance())
    {
        m_Buffer.Create(std::max(m_Screen.GetWidth(), 1u), std::max(m_Screen.GetHeight(), 1u), 32);
    }
    void BeginFrame() override { m_Frame.BeginFrame(); }
    void Draw(CTheoraPlayer& player) override { m_Frame.Draw(player); }
    void EndFrame(float seconds) override
    {
        // The buffer's texture holds the previous picture.
        CFrameAsMipMapTexture::SRelease(m_Buffer);
        CRect bounds;
        m_Buffer.GetBounds(bounds);
        m_Screen.Blit(m_Buffer, bounds, bounds, GetNormalBlitType());
        m_Screen.SetFrameShown(true);
        m_Screen.Present();
        m_Screen.UpdateFade(seconds);
        RunMessageLoop();
    }

private:
    CScreenFrame& m_Screen;
    CFrame m_Buffer;
    CVideoFrameOutput m_Frame{m_Buffer};
};

} // namespace

void CVideoFrameOutput::BeginFrame()
{
    CColor black(0, 0, 0, 255);
    m_Buffer.Fill(black);
}

void CVideoFrameOutput::Draw(CTheoraPlayer& player)
{
    const int32_t width = int32_t(player.GetWidth());
    const int32_t height = int32_t(player.GetHeight());
    const int32_t screenWidth = int32_t(m_Buffer.GetWidth());
    const int32_t screenHeight = int32_t(m_Buffer.GetHeight());
    CRect source;
    player.GetBounds(source);
    switch (player.GetPlacement()) {
    case VideoPlacement::Stretched:
        m_Buffer.Blit(player, source, CRect{0, 0, screenWidth, screenHeight}, NormalScaleBlitType());
        break;
    case VideoPlacement::CentredWide: {
        const int32_t wide = width * 3 / 2;
        const int32_t left = (screenWidth - wide) / 2;
        const int32_t top = (screenHeight - height) / 2;
        m_Buffer.Blit(player, source, CRect{left, top, left + wide, top + height}, NormalScaleBlitType());
        break;
    }
    case VideoPlacement::Centred:
    default: {
        const int32_t left = (screenWidth - width) / 2;
        const int32_t top = (screenHeight - height) / 2;
        m_Buffer.Blit(player, source, CRect{left, top, left + width, top + height}, GetNormalBlitType());
        break;
    }
    }
}

CTheoraPlayer::CTheoraPlayer()
{
    InitDeclaredProperties();
}

CTheoraPlayer::CTheoraPlayer(const char* videoFile, const char* soundName, uint32_t width, uint32_t height,
                             VideoPlacement placement)
{
    InitDeclaredProperties();
    Build(width, height, placement, soundName);
    CFile file;
    std::vector<uint8_t> data;
    if (file.Open(videoFile, FILE_READ)) {
        const int64_t size = file.GetSize();
        if (size > 0 && size < (int64_t(1) << 31)) {
            data.resize(size_t(size));
            data.resize(file.Read(data.data(), uint32_t(size)));
        }
        (void)file.Close();
    }
    if (data.empty()) {
        Log(std::string("Video \"") + videoFile + "\" is missing or empty; skipped.\n");
        return;
    }
    OpenVideo(data.data(), data.size(), videoFile);
}

CTheoraPlayer::CTheoraPlayer(const uint8_t* data, size_t size, const char* soundName, uint32_t width, uint32_t height,
                             VideoPlacement placement)
{
    InitDeclaredProperties();
    Build(width, height, placement, soundName);
    OpenVideo(data, size, "(memory)");
}

CTheoraPlayer::~CTheoraPlayer()
{
    std::vector<CTheoraPlayer*>& live = LivePlayers();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
    if (m_Sound) {
        CSound::DestroySound(std::move(m_Sound));
        CSoundList::SGetGlobal().DecrementCopyCount(m_SoundIndex);
    }
    DestroyDeclaredProperties();
}

void CTheoraPlayer::Build(uint32_t width, uint32_t height, VideoPlacement placement, const char* soundName)
{
    m_Placement = placement;
    if (Create(width, height, 32)) {
        CColor black(0, 0, 0, 255);
        Fill(black);
    }
    if (soundName && *soundName) {
        CSoundList& sounds = CSoundList::SGetGlobal();
        const int32_t index = sounds.Find(soundName);
        // The video plays without its sound rather than ending start-up.
        if (index < 0)
            Log(std::string("Video sound \"") + soundName + "\" is not in the sound list; playing without it.\n");
        else if ((m_Sound = sounds.NewCopyByIndex(index)))
            m_SoundIndex = index;
    }
    LivePlayers().push_back(this);
}

void CTheoraPlayer::OpenVideo(const uint8_t* data, size_t size, const char* name)
{
    const TheoraOpenResult result = m_Stream.Open(data, size);
    const std::string video = std::string("Video \"") + name + "\": ";
    switch (result) {
    case TheoraOpenResult::MissingHeaders:
        Log(video + "End of file while searching for codec headers.\n");
        return;
    case TheoraOpenResult::CorruptHeaders:
        Log(video + "Error parsing Theora stream headers; corrupt stream?\n");
        return;
    case TheoraOpenResult::Unsupported:
        Log(video + "unsupported pixel format or frame size; skipped.\n");
        return;
    case TheoraOpenResult::Ok:
        break;
    }
    char line[160];
    std::snprintf(
        line, sizeof line,
        "Ogg logical stream %" PRIx32 " is Theora %" PRIu32 "x%" PRIu32
        " %.02f fps video\nEncoded frame content is %" PRIu32 "x%" PRIu32 " with %" PRIu32 "x%" PRIu32 " offset\n",
        m_Stream.GetSerial(), m_Stream.GetFrameWidth(), m_Stream.GetFrameHeight(), m_Stream.GetFramesPerSecond(),
        m_Stream.GetPictureWidth(), m_Stream.GetPictureHeight(), m_Stream.GetPictureX(), m_Stream.GetPictureY());
    Log(line);
    m_Level = m_Stream.GetMaxPostProcessingLevel();
    m_Stream.SetPostProcessingLevel(m_Level);
    m_Playing = GetPixels() != nullptr;
}

int64_t CTheoraPlayer::ReadClock()
{
    const uint64_t now = MillisecondClock();
    if (!m_ClockStarted) {
        m_ClockStarted = true;
        m_ClockBase = now;
        m_ClockLast = now;
    }
    if (now - m_ClockLast > kStallMilliseconds)
        m_ClockBase += now - m_ClockLast;
    m_ClockLast = now;
    const int64_t elapsed = int64_t(now - m_ClockBase);
    if (elapsed - m_LastProgressLog >= kProgressInterval) {
        m_LastProgressLog = elapsed;
        const int64_t hundredths = elapsed / 10;
        char line[64];
        std::snprintf(line, sizeof line, "   Playing: %d:%02d:%02d.%02d           \r", int(hundredths / 360000),
                      int(hundredths / 6000 % 60), int(hundredths / 100 % 60), int(hundredths % 100));
        Log(line);
    }
    return elapsed;
}

void CTheoraPlayer::UpdateFrame()
{
    static CPerformanceMonitor monitor("TheoraPlayer_UpdateFrame");
    CPerformanceMonitorScope zone(monitor);
    if (!m_Playing)
        return;
    while (!m_FrameReady) {
        if (m_LevelChange != 0) {
            m_Level = std::max(m_Level + m_LevelChange, 0);
            m_LevelChange = 0;
            m_Stream.SetPostProcessingLevel(m_Level);
        }
        int64_t frame = 0;
        const TheoraPacketResult result = m_Stream.DecodeNext(frame);
        if (result == TheoraPacketResult::End) {
            m_Playing = false;
            return;
        }
        if (result == TheoraPacketResult::Bad)
            continue;
        m_FrameTime = m_Stream.FrameStartMilliseconds(frame);
        if (ReadClock() > m_FrameTime) {
            ++m_Dropped;
            if (m_Level > 0)
                m_LevelChange = -1;
        } else {
            m_FrameReady = true;
        }
    }
    plat::CPlatform& platform = plat::GetPlatform();
    for (;;) {
        const int64_t now = ReadClock();
        if (now >= m_FrameTime || m_FrameTime - now > kLongestWait)
            break;
        platform.Sleep(kWaitStep);
    }
    SYCbCrPicture picture;
    if (m_Stream.GetPicture(picture))
        ConvertYCbCrPicture(picture, GetPixels(), GetPitch() * 4, GetWidth(), GetHeight());
    m_FrameReady = false;
    ++m_Shown;
}

void CTheoraPlayer::PlayAll()
{
    if (!IsScreenDeviceReady()) {
        Log("Video: no screen; skipped.\n");
        return;
    }
    CScreenVideoOutput output;
    PlayAll(output);
}

void CTheoraPlayer::PlayAll(CVideoOutput& output)
{
    std::vector<CTheoraPlayer*>& live = LivePlayers();
    auto anyPlaying
        = [&live] { return std::any_of(live.begin(), live.end(), [](CTheoraPlayer* p) { return p->IsPlaying(); }); };
    if (!anyPlaying())
        return;
    CKeyboardState::SGetInstance().Reset();
    for (CTheoraPlayer* player : live)
        if (player->m_Sound && player->m_Playing) {
            player->m_Sound->SetLooping(false);
            player->m_Sound->Play(0);
        }
    const uint64_t start = MillisecondClock();
    uint64_t last = start;
    while (anyPlaying()) {
        output.BeginFrame();
        // A player may end during the pass; the list does not change.
        for (size_t i = 0; i < live.size(); ++i) {
            CTheoraPlayer& player = *live[i];
            player.UpdateFrame();
            output.Draw(player);
        }
        const uint64_t now = MillisecondClock();
        output.EndFrame(float(now - last) / 1000.0f);
        last = now;
        if (int64_t(MillisecondClock() - start) >= kSkipAfter && WantsSkip())
            break;
    }
    for (CTheoraPlayer* player : live)
        if (player->m_Sound)
            player->m_Sound->Stop();
    CKeyboardState::SGetInstance().Reset();
}
