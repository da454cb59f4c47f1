#include "data/Settings.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string_view>
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

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Number conversions of the settings file, as the standard conversions read numbers: blanks before the
// number are skipped, then the whole rest of the text must be the number, nothing after it, in the C
// locale whatever the process locale:
//  - integers: an optional sign and decimal digits only, within the 32-bit signed range ("1.0", "0x10",
//    "12abc", "12 " and "" are errors; " 12" is 12);
//  - floats: an optional sign, then decimal digits with an optional "." fraction and an optional exponent
//    ("8", "0.187", ".5", "1e3"); a comma, hexadecimal floats, "inf" and "nan" are errors.
// Both return false for an error.
bool parseInt(std::string_view text, int32_t &value) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    const char *first = text.data();
    const char *last = first + text.size();
    const char *digits = first;
    if (digits != last && (*digits == '+' || *digits == '-')) ++digits;
    if (digits == last || !std::isdigit(static_cast<unsigned char>(*digits))) return false;
    if (*first == '+') ++first;
    int32_t parsed = 0;
    const auto [ptr, ec] = std::from_chars(first, last, parsed, 10);
    if (ec != std::errc() || ptr != last) return false;
    value = parsed;
    return true;
}

bool parseFloat(std::string_view text, float &value) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    const char *first = text.data();
    const char *last = first + text.size();
    const char *digits = first;
    if (digits != last && (*digits == '+' || *digits == '-')) ++digits;
    // Only digits or a point may start the number: this rules out "inf", "nan" and a doubled sign.
    if (digits == last || !(std::isdigit(static_cast<unsigned char>(*digits)) || *digits == '.'))
        return false;
    if (*first == '+') ++first;
    float parsed = 0.0f;
    const auto [ptr, ec] = std::from_chars(first, last, parsed, std::chars_format::general);
    if (ec != std::errc() || ptr != last || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

// A line as a message may quote it: at most 60 characters, control characters shown as '?'.
std::string quoted(const std::string &line) {
    std::string text = line.substr(0, 60);
    for (char &c : text)
        if (static_cast<unsigned char>(c) < ' ' || c == '\x7f') c = '?';
    return "\"" + text + (line.size() > 60 ? "...\"" : "\"");
}

// Reads the text of "KPD.ini" into `read` (and the descriptions from gratingPath when a "numgratings="
// line is met). Throws ParseError saying which line is wrong and why.
void parseSettings(const std::string &content, const std::string &gratingPath, Settings &read) {
    const std::vector<std::string> lines = splitLines(content);
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto fail = [&](size_t at, const char *what) {
            throw ParseError("line " + std::to_string(at + 1) + " " + quoted(lines[at]) + ": " + what);
        };
        const auto toInt = [&](std::string_view text, size_t at) {
            int32_t value = 0;
            if (!parseInt(text, value)) fail(at, "not an integer");
            return value;
        };
        const auto toFloat = [&](std::string_view text) {
            float value = 0.0f;
            if (!parseFloat(text, value)) fail(i, "not a number");
            return value;
        };
        const std::string line = normalise(lines[i]);
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq + 1);
        const std::string value = line.substr(eq + 1);
        if (key == "siglevelmult=") {
            read.siglevelmult = toFloat(value);
        } else if (key == "lissplot=") {
            read.lissplot = toInt(value, i);
        } else if (key == "positionplot=") {
            read.positionplot = toFloat(value);
            if (read.positionplot > 65.0f) read.positionplot = 65.0f;
        } else if (key == "minimumcircle=") {
            read.minimumcircle = toFloat(value);
        } else if (key == "maximumcircle=") {
            read.maximumcircle = toFloat(value);
        } else if (key == "showcircles=") {
            read.showcircles = toInt(value, i) != 0;
        } else if (key == "encodertype=") {
            read.encodertype = toInt(value, i);
        } else if (key == "unittype=") {
            read.unittype = toInt(value, i);
        } else if (key == "digits=") {
            read.digits = toInt(value, i);
        } else if (key == "units=") {
            read.units = value;
        } else if (key == "signalplot=") {
            read.signalplot = toInt(value, i);
        } else if (key == "gratingindex=") {
            read.gratingindex = toInt(value, i);
        } else if (key == "encoderplottype=") {
            read.encoderplottype = toInt(value, i);
        } else if (key == "positionplottype=") {
            read.positionplottype = toInt(value, i);
        } else if (key == "numgratings=") {
            const int32_t count = toInt(value, i);
            // The table holds MaxGratings entries; a larger or negative count makes the file malformed.
            if (count < 0 || count > Settings::MaxGratings) fail(i, "grating count out of range");
            read.numgratings = count;
            // The grating lines are not trimmed and keep their spaces; the integer conversion skips blanks
            // before the number, as the standard conversion does, and nothing may follow it.
            const size_t countLine = i;
            for (int32_t g = 0; g < count; ++g) {
                if (++i >= lines.size()) fail(countLine, "fewer grating lines follow than it announces");
                read.gratings[static_cast<size_t>(g)] = toInt(lines[i], i);
            }
            std::string descriptions;
            if (!readFile(gratingPath, descriptions))
                throw ParseError("\"" + std::string(Settings::GratingFileName) +
                                 "\" is missing or unreadable, and the gratings need their descriptions");
            read.gratingDescriptions = splitLines(descriptions);
        }
    }
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

bool writeAll(int fd, const std::string &text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// Makes a rename or a new name in the directory of path durable.
void syncDirectoryOf(const std::string &path) {
    const auto slash = path.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

bool inGroup(gid_t gid) {
    if (gid == ::getegid()) return true;
    const int n = ::getgroups(0, nullptr);
    if (n <= 0) return false;
    std::vector<gid_t> groups(static_cast<size_t>(n));
    const int got = ::getgroups(n, groups.data());
    return got > 0 && std::find(groups.begin(), groups.begin() + got, gid) != groups.begin() + got;
}

// Whether the permission bits of a file let this process write it: the owner's bit when the process owns
// the file, the group's bit when one of its groups owns it, the others' bit otherwise. The bits bind root
// too: a save replaces the file by renaming a new one over it, which the directory allows whatever the
// file's bits say, so the bits are checked here rather than asking the system whether a write would be
// allowed (it always is for root).
bool permitsWriting(const struct stat &st) {
    if (st.st_uid == ::geteuid()) return (st.st_mode & S_IWUSR) != 0;
    if (inGroup(st.st_gid)) return (st.st_mode & S_IWGRP) != 0;
    return (st.st_mode & S_IWOTH) != 0;
}

// Writes text to path so that the old file survives any failure: a temporary file in the same directory
// is written, flushed to disk and renamed over path. A path that exists but is not a regular file, or a
// file that is read-only for this process (permitsWriting), is refused.
bool writeFileSafely(const std::string &path, const std::string &text) {
    mode_t mode = 0644;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode) || !permitsWriting(st)) return false;
        mode = st.st_mode & 07777;
    }
    std::string tmpl = path + ".XXXXXX";
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0) return false;
    bool ok = ::fchmod(fd, mode) == 0 && writeAll(fd, text);
    if (ok && ::fsync(fd) != 0) ok = false;
    if (::close(fd) != 0) ok = false;
    if (ok && ::rename(tmpl.c_str(), path.c_str()) != 0) ok = false;
    if (!ok) {
        ::unlink(tmpl.c_str());
        return false;
    }
    syncDirectoryOf(path);
    return true;
}

// ---- Keeping a settings file that cannot be used ----
//
// When "KPD.ini" cannot be used the defaults apply, and the next save would replace the user's file with
// them. Before that can happen the file is copied beside itself as "KPD.ini.malformed"; when that name
// holds a different earlier copy, as "KPD.ini.malformed.2", ".3", ... up to kMaxKeptCopies. An earlier
// copy is never overwritten, and a file already kept with the same contents is not copied again (the
// settings are loaded at start and at every connection). A save never replaces a file that could not be
// kept.

constexpr int kMaxKeptCopies = 100;

struct KeptCopy {
    bool kept = false; // a copy with the file's contents exists
    bool made = false; // ... and was made just now
    std::string name;  // its path
    std::string why;   // when not kept: why not
};

std::string keptName(const std::string &path, int n) {
    const std::string base = path + ".malformed";
    return n == 1 ? base : base + "." + std::to_string(n);
}

KeptCopy keepCopy(const std::string &path, const std::string &content, mode_t mode) {
    KeptCopy copy;
    for (int n = 1; n <= kMaxKeptCopies; ++n) {
        std::string earlier;
        if (readFile(keptName(path, n), earlier) && earlier == content) {
            copy.kept = true;
            copy.name = keptName(path, n);
            return copy;
        }
    }
    for (int n = 1; n <= kMaxKeptCopies; ++n) {
        const std::string name = keptName(path, n);
        // O_EXCL: an existing name (file, directory or link) is never written through.
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode & 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            copy.why = "cannot create \"" + name + "\": " + std::strerror(errno);
            return copy;
        }
        int error = 0;
        if (!writeAll(fd, content) || ::fsync(fd) != 0) error = errno;
        if (::close(fd) != 0 && error == 0) error = errno;
        if (error != 0) {
            ::unlink(name.c_str());
            copy.why = "cannot write \"" + name + "\": " + std::strerror(error);
            return copy;
        }
        syncDirectoryOf(name);
        copy.kept = copy.made = true;
        copy.name = name;
        return copy;
    }
    copy.why =
        "the names \"" + keptName(path, 1) + "\" to \"" + keptName(path, kMaxKeptCopies) + "\" are taken";
    return copy;
}

// Says on standard error that the settings file cannot be used and what became of it.
void reportUnusable(const std::string &path, const std::string &reason, const char *consequence,
                    const KeptCopy *copy) {
    std::string text =
        "KPD: the settings file \"" + path + "\" cannot be used (" + reason + "); " + consequence + ".";
    if (copy != nullptr && copy->kept) {
        text += " The file is kept as \"" + copy->name + "\".";
    } else if (copy != nullptr) {
        text += " It could not be kept (" + copy->why + "), so no save replaces it.";
    }
    std::fprintf(stderr, "%s\n", text.c_str());
}

// Why the settings files in installDir cannot be used; empty when they load. `read` receives what the
// load reads.
std::string loadProblem(const std::string &content, const std::string &installDir, Settings &read) {
    try {
        parseSettings(content, joinPath(installDir, Settings::GratingFileName), read);
    } catch (const ParseError &error) {
        return error.what();
    }
    return {};
}

// Why the text of "KPDunits.ini" cannot be used; empty when it can. `pitch` receives the grating pitch
// (a finite number of 0 or more; the last "gratingpitch=" line counts). Other keys are left for later.
std::string unitsProblem(const std::string &content, float &pitch) {
    const std::vector<std::string> lines = splitLines(content);
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string line = normalise(lines[i]);
        if (line.rfind("gratingpitch=", 0) != 0) continue;
        float value = 0.0f;
        if (!parseFloat(std::string_view(line).substr(13), value) || value < 0.0f)
            return "line " + std::to_string(i + 1) + " " + quoted(lines[i]) + ": not a pitch of 0 or more";
        pitch = value;
    }
    return {};
}

// Before a save: makes sure a settings file (path) that cannot be used has been kept. False when it has
// not (the save must then leave it alone); true when it loads, has been kept, or is no regular file
// (missing, or something a save refuses to replace anyway). problemOf: why a text cannot be used.
bool keptBeforeReplacing(const std::string &path, const std::function<std::string(const std::string &)> &problemOf) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return true;
    std::string content;
    if (!readFile(path, content)) {
        reportUnusable(path, "it cannot be read", "the settings are not saved", nullptr);
        return false;
    }
    const std::string problem = problemOf(content);
    if (problem.empty()) return true;
    const KeptCopy copy = keepCopy(path, content, st.st_mode);
    if (copy.made || !copy.kept)
        reportUnusable(path, problem,
                       copy.kept ? "the settings are saved over it" : "the settings are not saved", &copy);
    return copy.kept;
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
    const bool loaded = LoadSettingsFile(installDir);
    LoadGratingPitch(installDir);
    return loaded;
}

bool Settings::LoadSettingsFile(const std::string &installDir) {
    const std::string path = joinPath(installDir, SettingsFileName);
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        SetDefaults();
        return false;
    }
    // Parse into a copy, so that an error leaves nothing half-read behind before the defaults are set.
    Settings read = *this;
    std::string content;
    const bool regular = ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    if (!regular || !readFile(path, content)) {
        SetDefaults();
        const KeptCopy unkept{false, false, {}, "a file that cannot be read cannot be copied"};
        reportUnusable(path, regular ? "it cannot be read" : "it is not a regular file",
                       "the default settings apply", regular ? &unkept : nullptr);
        return false;
    }
    const std::string problem = loadProblem(content, installDir, read);
    if (!problem.empty()) {
        SetDefaults();
        const KeptCopy copy = keepCopy(path, content, st.st_mode);
        reportUnusable(path, problem, "the default settings apply", &copy);
        return false;
    }
    *this = std::move(read);
    return true;
}

void Settings::LoadGratingPitch(const std::string &installDir) {
    const std::string path = joinPath(installDir, UnitsFileName);
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return;
    std::string content;
    const bool regular = ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    if (!regular || !readFile(path, content)) {
        const KeptCopy unkept{false, false, {}, "a file that cannot be read cannot be copied"};
        reportUnusable(path, regular ? "it cannot be read" : "it is not a regular file",
                       "the grating pitch is not read from it", regular ? &unkept : nullptr);
        return;
    }
    float pitch = 0.0f;
    const std::string problem = unitsProblem(content, pitch);
    if (!problem.empty()) {
        const KeptCopy copy = keepCopy(path, content, st.st_mode);
        reportUnusable(path, problem, "the grating pitch is not read from it", &copy);
        return;
    }
    gratingPitch = pitch;
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
    const auto settingsProblem = [&installDir](const std::string &content) {
        Settings scratch;
        return loadProblem(content, installDir, scratch);
    };
    if (!keptBeforeReplacing(joinPath(installDir, SettingsFileName), settingsProblem)) return false;
    if (!writeFileSafely(joinPath(installDir, SettingsFileName), text)) return false;
    std::string descriptions;
    for (const std::string &line : gratingDescriptions)
        descriptions += line + kLineEnd;
    if (!writeFileSafely(joinPath(installDir, GratingFileName), descriptions)) return false;
    // "KPDunits.ini" appears once there is a pitch to keep.
    const std::string unitsPath = joinPath(installDir, UnitsFileName);
    struct stat st {};
    if (gratingPitch == 0.0f && ::lstat(unitsPath.c_str(), &st) != 0) return true;
    const auto pitchProblem = [](const std::string &content) {
        float pitch = 0.0f;
        return unitsProblem(content, pitch);
    };
    return keptBeforeReplacing(unitsPath, pitchProblem) &&
           writeFileSafely(unitsPath, "gratingpitch=" + formatShortest(gratingPitch) + kLineEnd);
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
