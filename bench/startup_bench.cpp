// Launcher start-up on a real display: from process start to both launcher windows mapped, and to
// the backdrop first drawn. Run by bench/run-startup.sh (Xvfb, openbox, the demo operator site).
#include <benchmark/benchmark.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

struct CStartup {
    double dMappedSeconds = -1;
    double dDrawnSeconds = -1;
};

long long MonotonicMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

// One start of the program; the trace file receives its windows' first maps and paints.
CStartup StartOnce() {
    const char* pszProgram = std::getenv("DRELK_BENCH_PROGRAM");
    const std::string strTrace = std::string(std::getenv("DRELK_BENCH_DIR")) + "/trace.txt";
    std::remove(strTrace.c_str());
    setenv("DRELK_STARTUP_TRACE", strTrace.c_str(), 1);
    char* argv[] = {const_cast<char*>(pszProgram), nullptr};
    const long long nStart = MonotonicMicroseconds();
    pid_t pid = 0;
    CStartup result;
    if (posix_spawn(&pid, pszProgram, nullptr, nullptr, argv, environ) != 0) {
        return result;
    }
    for (int i = 0; i < 300 && (result.dMappedSeconds < 0 || result.dDrawnSeconds < 0); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::ifstream trace(strTrace);
        std::string strEvent, strKind;
        long long nTime = 0;
        int nMaps = 0;
        while (trace >> strEvent >> strKind >> nTime) {
            if (strEvent == "map" && ++nMaps == 2) {
                result.dMappedSeconds = (nTime - nStart) / 1e6;
            } else if (strEvent == "draw") {
                result.dDrawnSeconds = (nTime - nStart) / 1e6;
            }
        }
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return result;
}

// Times one moment of each start: what (a member of CStartup) and what failing to see it means.
void TimeStartup(benchmark::State& state, double CStartup::*pMoment, const char* pszMissing) {
    for (auto _ : state) {
        const CStartup startup = StartOnce();
        if (startup.*pMoment < 0) {
            state.SkipWithError(pszMissing);
            break;
        }
        state.SetIterationTime(startup.*pMoment);
    }
}

void BM_StartToBothWindowsMapped(benchmark::State& state) {
    TimeStartup(state, &CStartup::dMappedSeconds, "the launcher windows did not appear");
}

void BM_StartToBackdropDrawn(benchmark::State& state) {
    TimeStartup(state, &CStartup::dDrawnSeconds, "the backdrop was not drawn");
}

double Minimum(const std::vector<double>& values) {
    double dMin = values.empty() ? 0 : values[0];
    for (double d : values) {
        dMin = d < dMin ? d : dMin;
    }
    return dMin;
}

} // namespace

BENCHMARK(BM_StartToBothWindowsMapped)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(7)
    ->ComputeStatistics("min", Minimum)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_StartToBackdropDrawn)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(7)
    ->ComputeStatistics("min", Minimum)
    ->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
