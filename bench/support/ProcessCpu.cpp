#include "ProcessCpu.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace kpdbench {

double ProcessCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

std::set<int> ThreadIds() {
    std::set<int> ids;
    for (const auto &e : std::filesystem::directory_iterator("/proc/self/task"))
        ids.insert(std::atoi(e.path().filename().c_str()));
    return ids;
}

// utime + stime of one thread of this process, in seconds.
double ThreadCpuSeconds(int tid) {
    std::ifstream in("/proc/self/task/" + std::to_string(tid) + "/stat");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');
    if (close == std::string::npos) return 0.0;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    unsigned long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) utime = std::stoul(field);
        if (i == 15) stime = std::stoul(field);
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double CpuOf(const std::set<int> &tids) {
    double s = 0.0;
    for (int tid : tids)
        s += ThreadCpuSeconds(tid);
    return s;
}

std::set<int> ThreadsStartedSince(const std::set<int> &before) {
    std::set<int> started;
    for (int tid : ThreadIds())
        if (!before.count(tid)) started.insert(tid);
    return started;
}

} // namespace kpdbench
