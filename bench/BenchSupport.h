#pragma once
// Equipment shared by the benchmarks: a fresh temporary folder, archives
// from the zip builder the tests use, and the ratio to a peer.

#include "tests/support/ZipBuilder.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace bench {

// An empty folder of that name below the system's temporary folder.
inline std::filesystem::path MakeFolder(const std::string& name)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("ombrisalt_bench_" + name);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

// A fresh folder of that name holding a copy of the demo data ("Data") with
// the pictures, sounds and music its generators make; aborts when one fails.
inline std::filesystem::path MakeDemoDataCopy(const std::string& name)
{
    const std::filesystem::path made = MakeFolder(name);
    const std::string source = OMBRISALT_SOURCE_DIR;
    if (std::system(("python3 " + source + "/tools/make_demo_data.py " + made.string() + " --from " + source
                     + "/data --quiet")
                        .c_str())
        != 0)
        std::abort();
    return made;
}

// A stored archive of the named members (name, data), written straight to
// disk.
inline void WriteZip(const std::filesystem::path& path, const std::vector<std::pair<std::string, std::string>>& members)
{
    std::vector<Member> zipMembers;
    for (const auto& [name, data] : members)
        zipMembers.push_back({name, data});
    const std::string bytes = BuildZip(zipMembers);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

// Pairs a benchmark with its peer (the standard library, the C library, the
// loose files) doing the same work. After the run, BenchMain prints the
// ratio of their times per iteration for every argument both ran with:
// below 1, ours is faster.
struct PeerPair {
    std::string ours;
    std::string peer;
};

inline std::vector<PeerPair>& PeerPairs()
{
    static std::vector<PeerPair> pairs;
    return pairs;
}

inline bool AddPeer(const char* ours, const char* peer)
{
    PeerPairs().push_back({ours, peer});
    return true;
}

} // namespace bench

#define OMBRISALT_BENCH_PEER(ours, peer) [[maybe_unused]] static const bool ours##_peer = bench::AddPeer(#ours, #peer)
