#pragma once
// How the benchmarks measure: CPU time of the calling thread (what the work costs, whatever else the
// machine is doing), and the median of several rounds.

#include <algorithm>
#include <ctime>
#include <vector>

namespace bench {

inline double cpuMs()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace bench
