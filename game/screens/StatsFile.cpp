// "Stats.dat": the profiles in the binary object form inside a compressed
// block, in the saved-data folder. It is the player's only copy of their
// progress, so a read never takes half a file, a file that cannot be read is
// never written over, and a write replaces the old file only once the new one
// is whole on disk (the object layer's atomic replace).
#include "game/screens/CStats.h"

#include "foundation/CFile.h"
#include "foundation/FileHelpers.h"
#include "foundation/FilePaths.h"
#include "platform/FileSystem.h"

#include <cstdio>
#include <memory>
#include <utility>

namespace {

constexpr const char* kStatsFileName = "Stats.dat";
constexpr uint32_t kStatsReadFlags = FILE_FOLDER_B | FILE_COMPRESSED | FILE_IN_MEMORY; // 0x4A00
constexpr uint32_t kStatsWriteFlags = FILE_FOLDER_B | FILE_COMPRESSED;                  // 0x4800

// Set while a "Stats.dat" that could not be read is still in place (it could
// not be moved aside): saving would destroy it, so saves are refused.
bool g_UnreadFileInPlace = false;

void Log([[maybe_unused]] const char* text, [[maybe_unused]] const char* detail)
{
#if !defined(OMBRISALT_FUZZING)
    std::fprintf(stderr, "%s: %s%s\n", kStatsFileName, text, detail);
#endif
}

} // namespace

bool CStats::Load()
{
    g_UnreadFileInPlace = false;
    // Read into a spare object: this one changes only when the whole file
    // could be taken.
    auto read = std::make_unique<CStats>();
    CJString error;
    if (read->ReadFromFile(kStatsFileName, kStatsReadFlags, &error)) {
        std::swap(static_cast<CPropertyArrayStorage&>(m_Players), static_cast<CPropertyArrayStorage&>(read->m_Players));
        m_CurrentPlayer = read->m_CurrentPlayer;
        return true;
    }
    const std::string path = DiskPathOf(kStatsFileName, FILE_FOLDER_B);
    plat::FileStatus status;
    if (!plat::GetFileStatus(path, status))
        return false; // the first run
    if (!status.isFolder && status.size == 0) {
        // What a first save killed before its file was in place leaves (the
        // stand-in its lock made): no profile was ever saved, so this is a
        // first run too, with nothing to keep.
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
        return false;
    }
    return true;
}
