// CPU time of this process and of some of its threads, for the benchmarks that must tell the program's
// own CPU time from that of a simulator running in the same process.
#pragma once

#include <set>

namespace kpdbench {

// utime + stime of the whole process, seconds.
double ProcessCpuSeconds();
// Ids of the threads of this process now.
std::set<int> ThreadIds();
// utime + stime of one thread of this process, seconds.
double ThreadCpuSeconds(int tid);
// Threads of this process now that were not in `before` (those a simulator started, say).
std::set<int> ThreadsStartedSince(const std::set<int> &before);
// Sum of ThreadCpuSeconds over tids.
double CpuOf(const std::set<int> &tids);

} // namespace kpdbench
