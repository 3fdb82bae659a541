#pragma once

// What the benchmark programs share: rows of the one figures table, and the statistics they print.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace kvx::bench {

using Clock = std::chrono::steady_clock;

inline double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// One row of the table that scripts/bench.sh prints: what was measured, and the figure.
inline void row(const std::string& measure, const std::string& figure) {
    std::printf("| %s | %s |\n", measure.c_str(), figure.c_str());
    std::fflush(stdout);
}

inline std::string format(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

// The value below which the given share of the samples lie (nearest rank).
inline double percentile(std::vector<double> samples, double share) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    const auto rank = static_cast<size_t>(share * static_cast<double>(samples.size() - 1) + 0.5);
    return samples[std::min(rank, samples.size() - 1)];
}

}  // namespace kvx::bench
