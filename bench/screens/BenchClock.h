#pragma once

#include <algorithm>
#include <ctime>
#include <vector>

// What the screen benchmarks measure with besides wall time.
namespace BenchClock {

// CPU time of the calling thread: the client's own work, whatever the machine's load.
inline double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// The nearest-rank percentile `p` (0 to 1) of `values`; 0 for none.
inline double percentile(std::vector<double> values, double p) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * (values.size() - 1) + 0.5))];
}

} // namespace BenchClock
