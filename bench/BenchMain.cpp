// The benchmark programs' main: Google Benchmark's console output, then one
// line per pair registered with OMBRISALT_BENCH_PEER giving the ratio of
// ours to the peer's real time per iteration, from the same run.
#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

class CRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                m_Times[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (const bench::PeerPair& pair : bench::PeerPairs()) {
            for (const auto& [name, ours] : m_Times) {
                // The same arguments: "BM_Ours/64" goes with "BM_Peer/64".
                if (name.compare(0, pair.ours.size(), pair.ours) != 0
                    || (name.size() > pair.ours.size() && name[pair.ours.size()] != '/'))
                    continue;
                const std::string peerName = pair.peer + name.substr(pair.ours.size());
                const auto peer = m_Times.find(peerName);
                if (peer == m_Times.end() || peer->second <= 0)
                    continue;
                std::printf("ratio %-50s over %-40s %8.3f\n", name.c_str(), peerName.c_str(), ours / peer->second);
            }
        }
        std::fflush(stdout);
    }

private:
    std::map<std::string, double> m_Times;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
