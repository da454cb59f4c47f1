#include "program/ProgramOptions.h"

#include <charconv>

namespace kpd {

ProgramOptions ParseProgramOptions(const std::vector<std::string> &args) {
    ProgramOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
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
            const auto [ptr, ec] = std::from_chars(v.data(), v.data() + v.size(), ms);
            if (ec != std::errc() || ptr != v.data() + v.size() || ms < 0) {
                o.error = "--quit-after needs a number of milliseconds, not \"" + v + "\"";
                return o;
            }
            o.quitAfterMs = ms;
        }
    }
    return o;
}

} // namespace kpd
