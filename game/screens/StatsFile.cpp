// "Stats.dat": the profiles in the binary object form inside a compressed
// block, in the saved-data folder. It is the player's only copy of their
// progress, so a read never takes half a file, a file that cannot be read is
// never written over, and a write replaces the old file only once the new one
// is whole on disk (the object layer's atomic replace).
#include "game/screens/CStats.h"

#include "foundation/CFile.h"
#include "foundation/CompressedBlock.h"
#include "foundation/FileHelpers.h"
#include "foundation/FilePaths.h"
#include "foundation/LittleEndian.h"
#include "foundation/ShellServices.h"
#include "objects/ObjectFileCallbacks.h"
#include "platform/CPlatform.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "shell/CGameBase.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

namespace {

constexpr const char* kStatsFileName = "Stats.dat";
constexpr uint32_t kStatsReadFlags = FILE_FOLDER_B | FILE_COMPRESSED | FILE_IN_MEMORY; // 0x4A00
constexpr uint32_t kStatsWriteFlags = FILE_FOLDER_B | FILE_COMPRESSED;                  // 0x4800

// Set while a "Stats.dat" that could not be read is still in place (it could
// not be moved aside): saving would destroy it, so saves are refused.
bool g_UnreadFileInPlace = false;

// Far beyond any real profiles (one with every level played is a few
// kilobytes), and small enough that a file claiming more is refused before
// the start-up decodes gigabytes only to find it is no profile.
constexpr uint64_t kMaxStatsBytes = uint64_t(64) << 20;

// The file's size, or the size its compressed block declares, beyond any
// profiles.
bool IsOversized(const std::string& path)
{
    std::FILE* file = plat::OpenFile(path, "rb");
    if (!file)
        return false;
    uint8_t header[9];
    const size_t got = std::fread(header, 1, sizeof header, file);
    const bool seeked = std::fseek(file, 0, SEEK_END) == 0;
    const long size = seeked ? std::ftell(file) : -1;
    std::fclose(file);
    if (size < 0 || uint64_t(size) > kMaxStatsBytes)
        return true;
    return got == sizeof header && header[0] == kCompressedBlockMarker && ReadLE32(header + 5) > kMaxStatsBytes;
}

// The path as the player finds it: absolute.
std::string Shown(const std::string& path)
{
    if (!path.empty() && path[0] == '/')
        return path;
    return plat::GetCurrentFolder() + "/" + path;
}

// Why this account may not open the file (another account's, made 0600 on
// a folder both use); empty when it may, or when there is none.
std::string WhyNotOpened(const std::string& path)
{
    if (std::FILE* file = plat::OpenFile(path, "rb")) {
        std::fclose(file);
        return {};
    }
    return errno == EACCES || errno == EPERM ? std::strerror(errno) : std::string();
}

void Log([[maybe_unused]] const char* text, [[maybe_unused]] const char* detail)
{
#if !defined(OMBRISALT_FUZZING)
    std::fprintf(stderr, "%s: %s%s\n", kStatsFileName, text, detail);
#endif
}

// Standard error is no place the player looks: a failed save is told in
// the system's box, which stays in front of whatever screen opens next.
void TellNotSaved(const std::string& path)
{
    std::string text = "Could not save " + Shown(path) + ": " + WhyNotWritten(path) + ".";
    if (CGameBase::SIsShuttingDown())
        text += " The progress since the last save is lost.";
    else
        text += " Your progress stays in the game, and the next save writes it once the cause is gone; ending "
                "the game before then loses it.";
    ShowArrowCursor();
    plat::ShowMessageBox("Error", text);
}

} // namespace

bool CStats::Load()
{
    g_UnreadFileInPlace = false;
    // Read into a spare object: this one changes only when the whole file
    // could be taken.
    auto read = std::make_unique<CStats>();
    const std::string path = DiskPathOf(kStatsFileName, FILE_FOLDER_B);
    // Not this account's to read is no damage: the file stays, unwritten,
    // for the account it belongs to.
    if (const std::string why = WhyNotOpened(path); !why.empty()) {
        g_UnreadFileInPlace = true;
        Log("could not be opened: ", (why + "; it is kept as it is and not written in this run").c_str());
        ShowArrowCursor();
        plat::ShowMessageBox("Error", "Could not open " + Shown(path) + ": " + why
                                          + ". Its players are not shown, and it is kept as it is: nothing this run "
                                            "does is saved in it. Start the game from the account it belongs to, "
                                            "or let this account read and write it.");
        return false;
    }
    CJString error;
    if (IsOversized(path)) {
        error = "The file is larger than any profiles can be";
    } else if (read->ReadFromFile(kStatsFileName, kStatsReadFlags, &error)) {
        std::swap(static_cast<CPropertyArrayStorage&>(m_Players), static_cast<CPropertyArrayStorage&>(read->m_Players));
        m_CurrentPlayer = read->m_CurrentPlayer;
        NameScrapbookParts();
        return true;
    }
    plat::FileStatus status;
    if (!plat::GetFileStatus(path, status))
        return false; // the first run
    if (status.isRegular && status.size == 0) {
        // What a first save killed before its file was in place leaves (the
        // stand-in its lock made): no profile was ever saved, so this is a
        // first run too, with nothing to keep. A pipe has no size either.
        plat::DeleteFile(path);
        return false;
    }
    Log("could not be read: ", error.GetString());
    const CJString kept = KeepFileAside(kStatsFileName, FILE_FOLDER_B);
    if (kept.IsEmpty()) {
        g_UnreadFileInPlace = true;
        Log("could not be moved aside; it will not be written over in this run", "");
    } else {
        Log("kept as ", kept.GetString());
    }
    return false;
}

bool CStats::Save()
{
    m_NeedsSave = false;
    if (g_UnreadFileInPlace) {
        Log("not saved: the file there could not be read and is kept", "");
        return false;
    }
    const std::string path = DiskPathOf(kStatsFileName, FILE_FOLDER_B);
    if (plat::IsReadOnly(path))
        plat::SetReadOnly(path, false);
    if (!SaveToFile(kStatsFileName, kStatsWriteFlags)) {
        // The file on disk is as it was and the profiles stay in memory;
        // the next save tries again.
        Log("could not be written; the profiles on disk are the last saved ones", "");
        if (!m_NotSavedTold) {
            m_NotSavedTold = true;
            TellNotSaved(path);
        }
        return false;
    }
    // A failure after this success is news again.
    m_NotSavedTold = false;
    return true;
}
