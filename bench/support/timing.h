#pragma once
// How the benchmarks measure: CPU time of the calling thread (what the work costs, whatever else a
// shared machine is doing) and wall time, per round; two ways of doing one thing are compared round by
// round, and a series of rounds is summed up by its median.

#include <QElapsedTimer>
#include <QList>
#include <algorithm>
#include <ctime>
#include <vector>

namespace bench {

inline double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Timing
{
    QList<double> cpu, wall;
    double bestCpu() const { return *std::min_element(cpu.begin(), cpu.end()); }
    double bestWall() const { return *std::min_element(wall.begin(), wall.end()); }
};

template <class F> void measure(Timing &t, F run)
{
    QElapsedTimer wall;
    const double c0 = cpuMs();
    wall.start();
    run();
    t.wall << double(wall.nsecsElapsed()) / 1e6;
    t.cpu << cpuMs() - c0;
}

// The median of the per-round ratios: each round runs both sides back to back, under the same load.
inline double medianRatio(const QList<double> &a, const QList<double> &b)
{
    QList<double> r;
    for (qsizetype i = 0; i < a.size(); ++i)
        r << a.at(i) / b.at(i);
    std::sort(r.begin(), r.end());
    return r.at(r.size() / 2);
}

} // namespace bench
