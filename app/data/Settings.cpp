#include "data/Settings.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Lines are written with CR LF, the line end of the files the program has always written; reading accepts
// CR LF, LF and CR.
constexpr const char *kLineEnd = "\r\n";

const char *const kDefaultDescriptions[] = {
    " 19.05mm - 10,000 CPR at x4 interp",
    " 31.75mm - 16,384 CPR at x4 interp",
    " 57.15mm - 32,768 CPR at x4 interp",
    " 107.95mm - 65,536 CPR at x4 interp",
};
constexpr int32_t kDefaultGratings[] = {10000, 16384, 32768, 65536};

struct ParseError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string joinPath(const std::string &dir, const char *name) {
    if (dir.empty()) return name;
    if (dir.back() == '/') return dir + name;
    return dir + "/" + name;
}

// Reads a whole file. False when it cannot be opened or read.
bool readFile(const std::string &path, std::string &content) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) return false;
    content = buffer.str();
    return true;
}

// Splits text into lines ending in CR LF, LF or CR. A final line end does not start another line.
std::vector<std::string> splitLines(const std::string &text) {
    std::vector<std::string> lines;
    std::string current;
    bool pending = false; // current holds a started line
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(current);
            current.clear();
            pending = false;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            current += c;
            pending = true;
        }
    }
    if (pending) lines.push_back(current);
    return lines;
}

// Removes leading and trailing blanks (spaces and control characters), then every space inside.
std::string normalise(const std::string &line) {
    size_t begin = 0;
    size_t end = line.size();
    while (begin < end && static_cast<unsigned char>(line[begin]) <= ' ')
        ++begin;
    while (end > begin && static_cast<unsigned char>(line[end - 1]) <= ' ')
        --end;
    std::string out;
    out.reserve(end - begin);
    for (size_t i = begin; i < end; ++i)
        if (line[i] != ' ') out += line[i];
    return out;
}

// Number conversions of the settings file. The whole text must be the number, nothing before or after it,
// in the C locale whatever the process locale:
//  - integers: an optional sign and decimal digits only, within the 32-bit signed range ("1.0", "0x10",
//    "12abc" and "" are errors);
//  - floats: an optional sign, then decimal digits with an optional "." fraction and an optional exponent
//    ("8", "0.187", ".5", "1e3"); a comma, hexadecimal floats, "inf" and "nan" are errors.
int32_t parseInt(const std::string &text) {
    const char *first = text.data();
    const char *last = first + text.size();
    const char *digits = first;
    if (digits != last && (*digits == '+' || *digits == '-')) ++digits;
    if (digits == last || !std::isdigit(static_cast<unsigned char>(*digits)))
        throw ParseError("invalid integer");
    if (*first == '+') ++first;
    int32_t value = 0;
    const auto [ptr, ec] = std::from_chars(first, last, value, 10);
    if (ec != std::errc() || ptr != last) throw ParseError("invalid integer");
    return value;
}

float parseFloat(const std::string &text) {
    const char *first = text.data();
    const char *last = first + text.size();
    const char *digits = first;
    if (digits != last && (*digits == '+' || *digits == '-')) ++digits;
    // Only digits or a point may start the number: this rules out "inf", "nan" and a doubled sign.
    if (digits == last || !(std::isdigit(static_cast<unsigned char>(*digits)) || *digits == '.'))
        throw ParseError("invalid float");
    if (*first == '+') ++first;
    float value = 0.0f;
    const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec != std::errc() || ptr != last || !std::isfinite(value)) throw ParseError("invalid float");
    return value;
}

std::string formatFixed(float value, int decimals) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    return std::string(buf, res.ptr);
}

std::string formatShortest(float value) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

std::string formatGeneral(float value, int significant) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, significant);
    return std::string(buf, res.ptr);
}

std::string formatInt(int32_t value) {
    char buf[16];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

// Writes text to path so that the old file survives any failure: a temporary file in the same directory
// is written, flushed to disk and renamed over path. A file that exists but is not writable is refused
// (the rename would otherwise bypass its protection).
bool writeFileSafely(const std::string &path, const std::string &text) {
    mode_t mode = 0644;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode) || ::access(path.c_str(), W_OK) != 0) return false;
        mode = st.st_mode & 07777;
    }
    std::string tmpl = path + ".XXXXXX";
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0) return false;
    bool ok = ::fchmod(fd, mode) == 0;
    size_t done = 0;
    while (ok && done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            ok = false;
        } else {
            done += static_cast<size_t>(n);
        }
    }
    if (ok && ::fsync(fd) != 0) ok = false;
    if (::close(fd) != 0) ok = false;
    if (ok && ::rename(tmpl.c_str(), path.c_str()) != 0) ok = false;
    if (!ok) {
        ::unlink(tmpl.c_str());
        return false;
    }
    // Make the rename itself durable.
    const auto slash = path.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

} // namespace

void Settings::SetDefaults() {
    siglevelmult = 1.15f;
    lissplot = 150;
    positionplot = 8.0f;
    minimumcircle = 0.187f;
    maximumcircle = 0.575f;
    showcircles = false;
    encodertype = 1;
    unittype = 0;
    digits = 0;
    units = "counts";
    signalplot = 500;
    gratingindex = 0;
    encoderplottype = 2;
    positionplottype = 0;
    numgratings = 4;
    gratings.fill(0);
    for (int i = 0; i < 4; ++i)
        gratings[static_cast<size_t>(i)] = kDefaultGratings[i];
    gratingDescriptions.assign(std::begin(kDefaultDescriptions), std::end(kDefaultDescriptions));
}

bool Settings::LoadSettings(const std::string &installDir) {
    std::string content;
    const std::string path = joinPath(installDir, SettingsFileName);
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        SetDefaults();
        return false;
    }
    // Parse into a copy, so that an error leaves nothing half-read behind before the defaults are set.
    Settings read = *this;
    try {
        if (!readFile(path, content)) throw ParseError("settings file unreadable");
        const std::vector<std::string> lines = splitLines(content);
        for (size_t i = 0; i < lines.size(); ++i) {
            const std::string line = normalise(lines[i]);
            const auto eq = line.find('=');
            if (eq == std::string::npos) continue;
            const std::string key = line.substr(0, eq + 1);
            const std::string value = line.substr(eq + 1);
            if (key == "siglevelmult=") {
                read.siglevelmult = parseFloat(value);
            } else if (key == "lissplot=") {
                read.lissplot = parseInt(value);
            } else if (key == "positionplot=") {
                read.positionplot = parseFloat(value);
                if (read.positionplot > 65.0f) read.positionplot = 65.0f;
            } else if (key == "minimumcircle=") {
                read.minimumcircle = parseFloat(value);
            } else if (key == "maximumcircle=") {
                read.maximumcircle = parseFloat(value);
            } else if (key == "showcircles=") {
                read.showcircles = parseInt(value) != 0;
            } else if (key == "encodertype=") {
                read.encodertype = parseInt(value);
            } else if (key == "unittype=") {
                read.unittype = parseInt(value);
            } else if (key == "digits=") {
                read.digits = parseInt(value);
            } else if (key == "units=") {
                read.units = value;
            } else if (key == "signalplot=") {
                read.signalplot = parseInt(value);
            } else if (key == "gratingindex=") {
                read.gratingindex = parseInt(value);
            } else if (key == "encoderplottype=") {
                read.encoderplottype = parseInt(value);
            } else if (key == "positionplottype=") {
                read.positionplottype = parseInt(value);
            } else if (key == "numgratings=") {
                const int32_t count = parseInt(value);
                // The table holds MaxGratings entries; a larger or negative count makes the file malformed.
                if (count < 0 || count > MaxGratings) throw ParseError("grating count out of range");
                read.numgratings = count;
                // The grating lines are taken as they are, without trimming or space removal.
                for (int32_t g = 0; g < count; ++g) {
                    if (++i >= lines.size()) throw ParseError("grating list truncated");
                    read.gratings[static_cast<size_t>(g)] = parseInt(lines[i]);
                }
                std::string descriptions;
                if (!readFile(joinPath(installDir, GratingFileName), descriptions))
                    throw ParseError("grating file missing");
                read.gratingDescriptions = splitLines(descriptions);
            }
        }
    } catch (const ParseError &) {
        SetDefaults();
        return false;
    }
    *this = std::move(read);
    return true;
}

std::vector<std::string> Settings::SettingsLines() const {
    std::vector<std::string> lines;
    lines.push_back("siglevelmult=" + formatFixed(siglevelmult, 3));
    lines.push_back("lissplot=" + formatInt(lissplot));
    lines.push_back("positionplot=" + formatShortest(positionplot));
    lines.push_back("minimumcircle=" + formatGeneral(minimumcircle, 6));
    lines.push_back("maximumcircle=" + formatGeneral(maximumcircle, 6));
    lines.push_back(std::string("showcircles=") + (showcircles ? "1" : "0"));
    lines.push_back("encodertype=" + formatInt(encodertype));
    lines.push_back("unittype=" + formatInt(unittype));
    lines.push_back("digits=" + formatInt(digits));
    lines.push_back("units=" + units);
    lines.push_back("signalplot=" + formatInt(signalplot));
    lines.push_back("gratingindex=" + formatInt(gratingindex));
    lines.push_back("encoderplottype=" + formatInt(encoderplottype));
    lines.push_back("positionplottype=" + formatInt(positionplottype));
    // The count written always matches the entries that follow, so the file reads back.
    const int32_t count = numgratings < 0 ? 0 : (numgratings > MaxGratings ? MaxGratings : numgratings);
    lines.push_back("numgratings=" + formatInt(count));
    for (int32_t g = 0; g < count; ++g)
        lines.push_back(formatInt(gratings[static_cast<size_t>(g)]));
    return lines;
}

bool Settings::SaveSettings(const std::string &installDir) const {
    std::string text;
    for (const std::string &line : SettingsLines())
        text += line + kLineEnd;
    if (!writeFileSafely(joinPath(installDir, SettingsFileName), text)) return false;
    std::string descriptions;
    for (const std::string &line : gratingDescriptions)
        descriptions += line + kLineEnd;
    return writeFileSafely(joinPath(installDir, GratingFileName), descriptions);
}

void Settings::ComputePositionScale(int s) {
    // The interpolation depth enters the scale only for electronics of generation 2 or earlier.
    const int64_t k = generation <= 2 ? s : 0;
    const int64_t steps = k + 1;
    if (encodertype == 0 && unittype >= 0 && unittype <= 5 && steps > 0) {
        const double pitch = gratingPitch;
        const double thousandSteps = static_cast<double>(steps * 1000); // formed in integers
        switch (unittype) {
        case 0:
            resolutionMultiplier = static_cast<float>(pitch * 1000.0 / static_cast<double>(steps));
            digits = 2;
            break;
        case 1:
            resolutionMultiplier = static_cast<float>(pitch / static_cast<double>(steps));
            digits = 5;
            break;
        case 2:
            resolutionMultiplier = static_cast<float>(pitch / thousandSteps);
            digits = 8;
            break;
        case 3:
            resolutionMultiplier = static_cast<float>(pitch * 1000000.0 / (thousandSteps * 25.4));
            digits = 4;
            break;
        case 4:
            resolutionMultiplier = static_cast<float>(pitch * 1000.0 / (thousandSteps * 25.4));
            digits = 7;
            break;
        case 5:
            resolutionMultiplier = static_cast<float>(pitch / (thousandSteps * 25.4));
            digits = 10;
            break;
        }
    } else if (encodertype == 1) {
        resolutionMultiplier = 1.0f;
        digits = 0;
    }
    interpolationMultiplier = 1.0f;
}
