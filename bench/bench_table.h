#pragma once

// What the benchmark programs share: rows of the one figures table, and the statistics they print.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace kvx::bench {

// The table goes to standard output as it was at the program's start. The code under test writes its own
// diagnostics to standard output ("readLen = 73"); those go to /dev/null from then on, so that they cannot
// cut into the table.
inline FILE* takeStandardOutputForTable() {
    std::fflush(stdout);
    FILE* table = fdopen(dup(STDOUT_FILENO), "w");
    const int nothing = open("/dev/null", O_WRONLY);
    dup2(nothing, STDOUT_FILENO);
    close(nothing);
    return table ? table : stdout;
}
inline FILE* const tableOutput = takeStandardOutputForTable();

using Clock = std::chrono::steady_clock;

inline double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// One row of the table that scripts/bench.sh prints: what was measured, the figure, and the figure aimed at
// where there is one. A program adds rows by calling this; scripts/bench.sh runs every *_bench program.
inline void row(const std::string& measure, const std::string& figure, const std::string& target = "") {
    std::fprintf(tableOutput, "| %s | %s | %s |\n", measure.c_str(), figure.c_str(), target.c_str());
    std::fflush(tableOutput);
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
