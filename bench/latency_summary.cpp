#include "bench/latency_summary.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <mutex>

namespace benchsupport {
namespace {

std::mutex rowsMutex;
std::vector<SummaryRow> rows;  // guarded by rowsMutex

}  // namespace

double Percentile(std::vector<double>& v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const auto rank = static_cast<std::size_t>(std::ceil(p * static_cast<double>(v.size())));
    return v[std::clamp<std::size_t>(rank, 1, v.size()) - 1];
}

void Report(benchmark::State& state, const std::string& name, std::vector<double> micros,
            std::int64_t lost, double aimUs, const std::string& counterPrefix) {
    const double median = Percentile(micros, 0.5);
    const double p99 = Percentile(micros, 0.99);
    const double max = micros.empty() ? 0 : micros.back();
    state.counters[counterPrefix + "median_us"] = median;
    state.counters[counterPrefix + "p99_us"] = p99;
    state.counters[counterPrefix + "max_us"] = max;
    state.counters[counterPrefix + "samples"] = static_cast<double>(micros.size());
    state.counters[counterPrefix + "lost"] = static_cast<double>(lost);
    const std::lock_guard<std::mutex> lock(rowsMutex);
    rows.push_back(SummaryRow{name, median, p99, max, aimUs, micros.size(), lost});
}

void PrintSummary(const char* title) {
    const std::lock_guard<std::mutex> lock(rowsMutex);
    std::printf("\n%s\n", title);
    std::printf("  %-44s %10s %10s %10s %8s %5s %10s\n", "measurement", "median_us", "p99_us",
                "max_us", "samples", "lost", "aim p99");
    for (const SummaryRow& r : rows) {
        char aim[32] = "-";
        if (r.aimUs > 0)
            std::snprintf(aim, sizeof aim, "<%.0f %s", r.aimUs,
                          r.p99Us < r.aimUs && r.lost == 0 ? "met" : "MISSED");
        std::printf("  %-44s %10.1f %10.1f %10.1f %8zu %5lld %10s\n", r.name.c_str(), r.medianUs,
                    r.p99Us, r.maxUs, r.samples, static_cast<long long>(r.lost), aim);
    }
    std::fflush(stdout);
}

}  // namespace benchsupport
