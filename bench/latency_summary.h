// Latency samples of the panel benchmarks: median and 99th percentile as
// benchmark counters, and one summary table printed after all runs.
#pragma once
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

namespace benchsupport {

struct SummaryRow {
    std::string name;
    double medianUs;
    double p99Us;
    double maxUs;
    double aimUs;  // 0: no aim
    std::size_t samples;
    std::int64_t lost;
};

// Nearest-rank percentile (0 < p <= 1) of `v`, which it sorts; 0 when empty.
double Percentile(std::vector<double>& v, double p);

// Sets median_us, p99_us, max_us, samples and lost (each name after
// `counterPrefix`) on `state` and adds a row to the summary table.
void Report(benchmark::State& state, const std::string& name, std::vector<double> micros,
            std::int64_t lost, double aimUs, const std::string& counterPrefix = "");

// The table of every Report so far, with the aims met or missed.
void PrintSummary(const char* title);

}  // namespace benchsupport
