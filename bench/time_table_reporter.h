// A console reporter that also keeps each benchmark's CPU time by name, so that a program
// can print its table of ratios after the runs. With repetitions the median is kept (the
// machine is shared), otherwise the single run.
#pragma once

#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace mobu::bench {

class TTimeTableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const std::string& name = run.run_name.function_name;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians_[name] = run.GetAdjustedCPUTime();
            else if (run.run_type == Run::RT_Iteration)
                times_[name] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // The CPU time of the named benchmark in its own unit; NaN when it did not run.
    double Time(const std::string& name) const
    {
        if (auto it = medians_.find(name); it != medians_.end()) return it->second;
        auto it = times_.find(name);
        return it == times_.end() ? std::nan("") : it->second;
    }

private:
    std::map<std::string, double> times_, medians_;
};

}  // namespace mobu::bench
