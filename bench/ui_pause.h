#pragma once

// The longest pause of the UI thread while something runs: a 1 ms timer on the UI thread measures the gaps
// between its ticks. A window that keeps answering stays under a frame (16 ms); one that blocks for an
// exchange shows the exchange's whole wait as one gap.

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <vector>

#include "bench/bench_table.h"

namespace kvx::bench {

// Runs the event loop until `done` holds (checked every millisecond) or timeoutMs have passed; returns the
// gaps between two checks, in milliseconds.
inline std::vector<double> tickGapsUntil(const std::function<bool()>& done, int timeoutMs = 20000) {
    QEventLoop loop;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(1);
    auto last = Clock::now();
    const auto start = last;
    std::vector<double> gaps;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        gaps.push_back(msSince(last));
        last = Clock::now();
        if (done() || msSince(start) > timeoutMs) loop.quit();
    });
    tick.start();
    loop.exec();
    return gaps;
}

// The longest of those gaps.
inline double longestPauseUntil(const std::function<bool()>& done, int timeoutMs = 20000) {
    const std::vector<double> gaps = tickGapsUntil(done, timeoutMs);
    return gaps.empty() ? 0.0 : *std::max_element(gaps.begin(), gaps.end());
}

// The same measure over a while with nothing to do: what the machine's scheduling alone costs.
inline double longestIdlePause(int ms) {
    const auto start = Clock::now();
    return longestPauseUntil([&] { return msSince(start) > ms; });
}

// "max X ms, p50 Y ms" over the pauses of several runs.
inline std::string pauseFigure(const std::vector<double>& pauses) {
    return format("max %.1f ms", percentile(pauses, 1.0)) + format(", p50 %.1f ms", percentile(pauses, 0.5));
}

}  // namespace kvx::bench
