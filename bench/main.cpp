// Runs every benchmark, then prints one table of ratios against the baselines.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/ratio.h"

namespace bench {

std::map<std::string, double>& Targets() {
    static std::map<std::string, double> targets;
    return targets;
}

namespace {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            const std::string name = run.benchmark_name();
            const auto slash = name.rfind('/');
            if (slash == std::string::npos) continue;
            // The unit goes into the row's name: each benchmark picks its own.
            const std::string group =
                name.substr(0, slash) + " [" + benchmark::GetTimeUnitString(run.time_unit) + "]";
            times_[group][name.substr(slash + 1)] = run.GetAdjustedCPUTime();
        }
    }

    void PrintRatios() const {
        std::printf("\n%-44s %14s %14s %8s %8s\n", "benchmark", "baseline", "briskjot", "ratio",
                    "target");
        for (const auto& [group, sides] : times_) {
            const auto base = sides.find("baseline");
            const auto ours = sides.find("briskjot");
            if (base == sides.end() || ours == sides.end() || base->second <= 0) continue;
            const double ratio = ours->second / base->second;
            const auto target = Targets().find(group.substr(0, group.rfind(" [")));
            char targetText[32] = "-";
            if (target != Targets().end())
                std::snprintf(targetText, sizeof targetText, "%.2f%s", target->second,
                              ratio <= target->second ? "" : " !");
            std::printf("%-44s %14.0f %14.0f %8.2f %8s\n", group.c_str(), base->second,
                        ours->second, ratio, targetText);
        }
    }

private:
    std::map<std::string, std::map<std::string, double>> times_;
};

}  // namespace
}  // namespace bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
