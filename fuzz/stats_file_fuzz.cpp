// Reads the input as "Stats.dat" (a compressed block, or plain bytes as an
// uncompressed build writes them). Nothing in the file may end the program:
// a fatal report aborts. A file that reads must save and read back to the same
// bytes; one that does not must be kept aside byte for byte, with nothing
// left under the name.
//
// OMBRISALT_FUZZ_WRITE_SEEDS=<folder> writes the seed files there on the
// first input.
#include "foundation/FatalError.h"
#include "foundation/FilePaths.h"
#include "game/screens/CStats.h"
#include "game/world/CGameState.h"
#include "program/RegisterAllClasses.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

fs::path g_Folder;

[[noreturn]] void AbortOnFatal(const char*, const char*)
{
    std::abort();
}

void Write(const fs::path& path, const uint8_t* data, size_t size)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), std::streamsize(size));
}

std::string Read(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

template <typename T, typename Owner>
void Append(Owner& owner, CPropertyArray<T>& array, const char* property, T value)
{
    auto* declared = static_cast<CPropertyArrayProperty*>(Owner::SGetClassInfo()->FindProperty(property));
    const uint32_t n = array.GetCount();
    declared->ArrayProperty_SetCount(&owner, n + 1);
    array[n] = value;
}

void WriteSeeds(const char* folder)
{
    CStats stats;
    for (int p = 0; p < 2; ++p) {
        auto* player = new CPlayerStats;
        player->ResetToDefaults();
        player->m_Name = p ? CJString(u"Zo\u00eb \u5c71") : CJString("Ann");
        for (uint32_t level = 0; level < 3; ++level) {
            auto* record = new CPlayerStatsForLevel;
            record->SetOptionalGoalAchieved(level);
            record->m_HasBeenPlayed = true;
            if (level == 1)
                record->AdoptGameStateBeforeLevelStarted(new CGameState);
            Append(*player, player->m_pStatsForLevel, "Stats For Level List", record);
        }
        Append(stats, stats.m_Players, "Players", player);
    }
    if (!stats.Save())
        std::abort();
    const std::string compressed = Read(g_Folder / "Stats.dat");
    std::ofstream(fs::path(folder) / "two_players", std::ios::binary).write(compressed.data(),
                                                                            std::streamsize(compressed.size()));
    CStats empty;
    if (!empty.Save())
        std::abort();
    const std::string none = Read(g_Folder / "Stats.dat");
    std::ofstream(fs::path(folder) / "no_players", std::ios::binary).write(none.data(), std::streamsize(none.size()));
    fs::remove(g_Folder / "Stats.dat");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = [] {
        SetFatalTerminator(AbortOnFatal);
        RegisterAllClasses();
        std::string pattern = (fs::temp_directory_path() / "ombrisalt_stats_fuzz_XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        g_Folder = pattern;
        SetFolderB((pattern + "/").c_str());
        std::atexit([] { fs::remove_all(g_Folder); });
        if (const char* folder = std::getenv("OMBRISALT_FUZZ_WRITE_SEEDS"))
            WriteSeeds(folder);
        return true;
    }();
    (void)ready;
    if (size > (1u << 20))
        return 0;
    const fs::path file = g_Folder / "Stats.dat";
    const fs::path bad = g_Folder / "Stats.dat.bad";
    Write(file, data, size);
    CStats read;
    if (!read.Load()) {
        if (fs::exists(file) || Read(bad) != std::string(reinterpret_cast<const char*>(data), size))
            std::abort();
        fs::remove(bad);
        return 0;
    }
    if (!read.Save())
        std::abort();
    const std::string saved = Read(file);
    CStats again;
    if (!again.Load() || !again.Save() || Read(file) != saved)
        std::abort();
    fs::remove(file);
    return 0;
}
