#include "program/ProgramOptions.h"

#include <charconv>
#include <string>

namespace kpd {

namespace {

bool ParseMilliseconds(const std::string &v, int &ms) {
    ms = -1;
    const auto [ptr, ec] = std::from_chars(v.data(), v.data() + v.size(), ms);
    return ec == std::errc() && ptr == v.data() + v.size() && ms >= 0;
}

int DisplayModeOf(const std::string &v) {
    static const char *const names[4] = {"status", "encoder", "strength", "plots"};
    for (int m = 0; m < 4; ++m)
        if (v == names[m] || v == std::to_string(m)) return m;
    return -1;
}

} // namespace

ProgramOptions ParseProgramOptions(const std::vector<std::string> &args) {
    ProgramOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (a == "--mode") {
            const int m = i + 1 < args.size() ? DisplayModeOf(args[i + 1]) : -1;
            if (m < 0) {
                o.error = "--mode needs status, encoder, strength or plots (or 0..3)";
                return o;
            }
            o.displayMode = m;
            ++i;
            continue;
        }
        if (a == "--screenshot-after") {
            if (i + 1 >= args.size() || !ParseMilliseconds(args[i + 1], o.screenshotAfterMs)) {
                o.error = "--screenshot-after needs a number of milliseconds";
                return o;
            }
            ++i;
            continue;
        }
        if (a == "--screenshot") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                o.error = "--screenshot needs a file name";
                return o;
            }
            o.screenshotFile = args[++i];
        } else if (a == "--quit-after") {
            if (i + 1 >= args.size()) {
                o.error = "--quit-after needs a number of milliseconds";
                return o;
            }
            const std::string &v = args[++i];
            int ms = -1;
            if (!ParseMilliseconds(v, ms)) {
                o.error = "--quit-after needs a number of milliseconds, not \"" + v + "\"";
                return o;
            }
            o.quitAfterMs = ms;
        }
    }
    return o;
}

} // namespace kpd
