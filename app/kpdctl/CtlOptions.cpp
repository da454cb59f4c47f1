#include "kpdctl/CtlOptions.h"

#include "access/RegisterNames.h"
#include "platform/NumberFormat.h"
#include "session/CalibrationOptions.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <set>

namespace kpdctl {

namespace {

constexpr double kLongestSeconds = 86400.0;

struct CommandName {
    const char *name;
    CommandKind kind;
};

constexpr CommandName kCommands[] = {
    {"find", CommandKind::Find},           {"info", CommandKind::Info},     {"read", CommandKind::Read},
    {"write", CommandKind::Write},         {"status", CommandKind::Status}, {"record", CommandKind::Record},
    {"calibrate", CommandKind::Calibrate}, {"align", CommandKind::Align},
    {"ports", CommandKind::Ports},         {"lissajous", CommandKind::Lissajous}, {"plot", CommandKind::Plot},
};

// The options each command takes besides --port, --json and --help.
std::set<std::string> OptionsOf(CommandKind kind) {
    switch (kind) {
    case CommandKind::Write:
        return {"--yes"};
    case CommandKind::Status:
        return {"--watch", "--count"};
    case CommandKind::Record:
        return {"--seconds", "--output"};
    case CommandKind::Calibrate:
        return {"--limits", "--left-limit", "--right-limit", "--index",
                "--gop",    "--stop",       "--set-after",   "--timeout"};
    case CommandKind::Align:
        return {"--timeout"};
    case CommandKind::Lissajous:
        return {"--records", "--watch"};
    case CommandKind::Plot:
        return {"--output", "--size"};
    default:
        return {};
    }
}

std::optional<double> Seconds(const std::string &text, bool zeroAllowed) {
    const std::optional<double> v = platform::ParseDouble(text);
    if (!v || !std::isfinite(*v) || *v > kLongestSeconds) return std::nullopt;
    if (*v < 0.0 || (!zeroAllowed && *v == 0.0)) return std::nullopt;
    return v;
}

bool StartsWith(const std::string &s, const char *prefix) {
    return s.rfind(prefix, 0) == 0;
}

} // namespace

bool ParseRegister(const std::string &text, uint8_t &number) {
    if (const std::optional<uint8_t> named = reg::RegisterByName(text)) {
        number = *named;
        return true;
    }
    std::string digits = text;
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits = digits.substr(2);
        base = 16;
    } else if (digits.size() > 4 &&
               (StartsWith(digits, "Addr") || StartsWith(digits, "addr") || StartsWith(digits, "ADDR"))) {
        digits = digits.substr(4);
        base = 16;
    }
    if (digits.empty() || digits.size() > 4) return false;
    unsigned value = 0;
    for (char c : digits) {
        int d = -1;
        if (c >= '0' && c <= '9') d = c - '0';
        if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        if (d < 0) return false;
        value = value * unsigned(base) + unsigned(d);
    }
    if (value > 255) return false;
    number = static_cast<uint8_t>(value);
    return true;
}

ParseResult ParseArguments(const std::vector<std::string> &args) {
    ParseResult r;
    CtlOptions &o = r.options;
    const auto fail = [&r](std::string why) {
        r.ok = false;
        r.error = std::move(why);
        return r;
    };

    bool help = false;
    bool optionsEnded = false;
    std::vector<std::string> positionals;
    std::set<std::string> given; // options other than --port, --json and --help
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string a = args[i];
        std::string value;
        bool hasValue = false;
        if (!optionsEnded && StartsWith(a, "--") && a.find('=') != std::string::npos) {
            value = a.substr(a.find('=') + 1);
            a = a.substr(0, a.find('='));
            hasValue = true;
        }
        const auto takeValue = [&](const std::string &name) -> std::optional<std::string> {
            if (hasValue) return value;
            if (i + 1 >= args.size()) return std::nullopt;
            (void)name;
            return args[++i];
        };
        if (optionsEnded || a.empty() || a[0] != '-' || a == "-") {
            positionals.push_back(args[i]);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
        } else if (a == "--help" || a == "-h") {
            help = true;
        } else if (a == "--json") {
            o.json = true;
        } else if (a == "--port") {
            const auto v = takeValue(a);
            const auto n = v ? platform::ParseInteger(*v) : std::nullopt;
            if (!n || *n < 1 || *n > 256) return fail("--port needs a port number from 1 to 256");
            o.port = static_cast<int>(*n);
        } else if (a == "--device") {
            const auto v = takeValue(a);
            if (!v || v->empty()) return fail("--device needs the path of a serial device");
            o.device = *v;
        } else if (a == "--count") {
            const auto v = takeValue(a);
            const auto n = v ? platform::ParseInteger(*v) : std::nullopt;
            if (!n || *n < 1 || *n > 1000000000LL)
                return fail("--count needs a number of samples of 1 or more");
            o.count = static_cast<int>(*n);
            given.insert(a);
        } else if (a == "--seconds") {
            const auto v = takeValue(a);
            const auto s = v ? Seconds(*v, false) : std::nullopt;
            if (!s) return fail("--seconds needs a time in seconds above 0 (at most 86400)");
            o.seconds = *s;
            given.insert(a);
        } else if (a == "--records") {
            const auto v = takeValue(a);
            const auto n = v ? platform::ParseInteger(*v) : std::nullopt;
            if (!n || *n < kMinimumFitRecords || *n > kMaximumFitRecords)
                return fail("--records needs a number of records from " + std::to_string(kMinimumFitRecords) +
                            " to " + std::to_string(kMaximumFitRecords));
            o.records = static_cast<int>(*n);
            given.insert(a);
        } else if (a == "--size") {
            const auto v = takeValue(a);
            const std::size_t x = v ? v->find_first_of("xX") : std::string::npos;
            const auto width =
                x != std::string::npos ? platform::ParseInteger(v->substr(0, x)) : std::nullopt;
            const auto height =
                x != std::string::npos ? platform::ParseInteger(v->substr(x + 1)) : std::nullopt;
            if (!width || !height || *width < 16 || *width > 4096 || *height < 16 || *height > 4096)
                return fail("--size needs the plot area's WIDTHxHEIGHT in pixels (16 to 4096 each)");
            o.plotWidth = static_cast<int>(*width);
            o.plotHeight = static_cast<int>(*height);
            given.insert(a);
        } else if (a == "-o" || a == "--output") {
            const auto v = takeValue(a);
            if (!v || v->empty()) return fail("-o needs the name of the file to write");
            o.output = *v;
            given.insert("--output");
        } else if (a == "--set-after") {
            const auto v = takeValue(a);
            const auto s = v ? Seconds(*v, true) : std::nullopt;
            if (!s) return fail("--set-after needs a time in seconds of 0 or more (at most 86400)");
            o.setAfter = *s;
            given.insert(a);
        } else if (a == "--timeout") {
            const auto v = takeValue(a);
            const auto s = v ? Seconds(*v, false) : std::nullopt;
            if (!s) return fail("--timeout needs a time in seconds above 0 (at most 86400)");
            o.timeout = *s;
            given.insert(a);
        } else if (a == "--yes" || a == "--watch" || a == "--limits" || a == "--left-limit" ||
                   a == "--right-limit" || a == "--index" || a == "--gop" || a == "--stop") {
            if (hasValue) return fail(a + " takes no value");
            given.insert(a);
        } else {
            return fail("unknown option " + a + " (see kpdctl --help)");
        }
        if (hasValue && a != "--port" && a != "--device" && a != "--count" && a != "--seconds" && a != "--output" &&
            a != "--set-after" && a != "--timeout" && a != "--records" && a != "--size")
            return fail(a + " takes no value");
    }

    if (positionals.empty()) {
        if (help) {
            o.command = CommandKind::Help;
            r.ok = true;
            return r;
        }
        return fail("no command given (see kpdctl --help)");
    }
    const std::string command = positionals.front();
    positionals.erase(positionals.begin());
    const auto known = std::find_if(std::begin(kCommands), std::end(kCommands),
                                    [&](const CommandName &c) { return command == c.name; });
    if (known == std::end(kCommands)) return fail("unknown command \"" + command + "\" (see kpdctl --help)");
    o.command = known->kind;
    if (help) {
        o.command = CommandKind::Help;
        r.ok = true;
        return r;
    }

    if (o.port != 0 && !o.device.empty()) return fail("--port and --device name the same thing: give one");
    if (o.command == CommandKind::Ports && (o.port != 0 || !o.device.empty()))
        return fail("ports lists every port: --port and --device do not apply");
    const std::set<std::string> allowed = OptionsOf(o.command);
    for (const std::string &g : given)
        if (!allowed.count(g)) return fail("option " + g + " does not apply to " + command);

    switch (o.command) {
    case CommandKind::Find:
    case CommandKind::Info:
    case CommandKind::Ports:
        if (!positionals.empty()) return fail(command + " takes no arguments");
        break;
    case CommandKind::Read:
        if (positionals.empty()) return fail("read needs at least one register (a name or a number)");
        for (const std::string &p : positionals) {
            uint8_t number = 0;
            if (!ParseRegister(p, number))
                return fail("unknown register \"" + p +
                            "\" (a register name, 0..255, 0x00..0xFF or Addr00..AddrFF)");
            o.registers.push_back(number);
            o.registerArgs.push_back(p);
        }
        break;
    case CommandKind::Write:
        if (positionals.size() != 1) return fail("write needs one address word of 8 hexadecimal digits");
        o.word = positionals.front();
        o.yes = given.count("--yes") > 0;
        break;
    case CommandKind::Status:
        if (!positionals.empty()) return fail("status takes no arguments");
        o.watch = given.count("--watch") > 0;
        break;
    case CommandKind::Record: {
        if (positionals.size() != 1)
            return fail("record needs what to record: encoder, strength, plots or status");
        const std::string &k = positionals.front();
        if (k == "encoder")
            o.recordKind = RecordKind::Encoder;
        else if (k == "strength")
            o.recordKind = RecordKind::Strength;
        else if (k == "plots")
            o.recordKind = RecordKind::Plots;
        else if (k == "status")
            o.recordKind = RecordKind::Status;
        else
            return fail("record can record encoder, strength, plots or status, not \"" + k + "\"");
        if (!given.count("--seconds")) return fail("record needs --seconds S");
        if (!given.count("--output")) return fail("record needs -o FILE");
        break;
    }
    case CommandKind::Calibrate:
        if (!positionals.empty())
            return fail("calibrate takes options only (--limits, --index, --gop, --stop)");
        if (given.count("--limits"))
            o.calibrationMask |= kpd::calibration::kLeftLimit | kpd::calibration::kRightLimit;
        if (given.count("--left-limit")) o.calibrationMask |= kpd::calibration::kLeftLimit;
        if (given.count("--right-limit")) o.calibrationMask |= kpd::calibration::kRightLimit;
        if (given.count("--index")) o.calibrationMask |= kpd::calibration::kIndex;
        if (given.count("--gop")) o.calibrationMask |= kpd::calibration::kGop;
        o.calibrationStop = given.count("--stop") > 0;
        if (o.calibrationStop && (o.calibrationMask != 0 || given.count("--set-after")))
            return fail("calibrate --stop takes no other calibration option");
        if (!o.calibrationStop && o.calibrationMask == 0)
            return fail(
                "calibrate needs at least one of --limits, --left-limit, --right-limit, --index, --gop");
        break;
    case CommandKind::Align:
        if (positionals.size() != 1 || (positionals.front() != "on" && positionals.front() != "off"))
            return fail("align needs on (alignment mode, AGC off) or off (operational mode, AGC on)");
        o.alignOn = positionals.front() == "on";
        break;
    case CommandKind::Lissajous:
        if (positionals.size() > 1) return fail("lissajous takes at most one file (a .lis recording)");
        o.watch = given.count("--watch") > 0;
        if (!positionals.empty()) o.file = positionals.front();
        if (o.watch && !o.file.empty()) return fail("lissajous --watch reads the electronics, not a file");
        break;
    case CommandKind::Plot:
        if (positionals.size() != 1) return fail("plot needs one data file (.lis, .str or .pos)");
        o.file = positionals.front();
        if (!given.count("--output")) return fail("plot needs -o OUT.png");
        break;
    case CommandKind::Help:
        break;
    }
    r.ok = true;
    return r;
}

std::string HelpText() {
    return R"(Usage: kpdctl COMMAND [ARGUMENTS] [OPTIONS]

The KPD Digital Sensor electronics from a terminal or a script, through the same access layer, status
evaluation and data files as KPD.

Commands:
  find                      search COM1..COM256 as KPD does (the ports side by side, the lowest port
                            that answers wins) and print the port, model, sensor type, interpolation,
                            firmware and processor versions of the electronics found (nothing is
                            written to the electronics)
  ports                     list every port COM1..COM256 whose device exists: the device file, its
                            /dev/serial/by-id name where it has one, and whether it can be opened (or
                            why not: permission, with the group owning it, or held by another program)
  info                      the information command: serial number, firmware, processor version,
                            power-on time and cycles, port and baud rate (sets bit 0 of Config when it
                            is clear, as KPD's information command does)
  read REG...               read registers; REG is a register name (Magnitude, Status, InterpDepth, ...,
                            any case), a number (66, 0x42) or the engineering display's AddrNN
  write WORD --yes          write the 32-bit address word WORD (8 hexadecimal digits: modifier,
                            register, data; 00800043 writes 0x0043 to Command); refused without --yes
                            and refused for anything but 8 hexadecimal digits, as the engineering
                            display refuses it
  status [--watch] [--count N]
                            status samples decoded as KPD shows them: time, position in the units of
                            KPD.ini, operating-state text, index and limit lamps, signal magnitude and
                            zone, over-signal lamp. Without --watch one sample (N with --count); with
                            --watch until Ctrl+C (or N samples). The first sample shown is the first on
                            which KPD's signal evaluation has run (every fourth sample), so its zone is
                            known.
  record encoder|strength|plots|status --seconds S -o FILE
                            record a display mode's data for S seconds and write FILE in the format KPD
                            writes (.lis, .str, .pos, .man; KPD loads it). The file is written to a
                            temporary file beside FILE and renamed over it once the recording is
                            complete; Ctrl+C stops the recording and writes nothing. A progress line is
                            shown on a terminal.
  calibrate [--limits] [--left-limit] [--right-limit] [--index] [--gop] [--set-after S] [--timeout S]
                            run the electronics' calibration (Start Cal with the selection), print each
                            operating-state text as it changes, send Set where the procedure asks for
                            it (after Enter on the terminal, or S seconds after the request with
                            --set-after), and end with Stop Cal once the electronics report the end
                            (" Calibration Complete" or an error). --limits selects both limits.
  calibrate --stop          send Stop Cal (leave a calibration that was left running)
  align on|off [--timeout S]
                            on: alignment mode (AGC off, KPD's "AGC Off"); off: operational mode (AGC
                            on, KPD's "AGC On"); waits until the electronics report the new mode
  lissajous [--records N] [--watch]
                            read N encoder-signal records (default 2000, 50..10000) and print the
                            least-squares ellipse fit of the adjusted pair (XAdcAdj, YAdcAdj): centre
                            offsets X and Y in % of the half range (2048 ADC steps = 100 %), amplitude
                            ratio Y/X, phase error in degrees (0 = quadrature), mean radius in volts,
                            radius ripple in %, records used; with the signal written as
                            X = cx + A cos t, Y = cy + r A sin(t + p). --watch fits every N new
                            records until Ctrl+C. --json keys: offset_x_pct, offset_y_pct,
                            amplitude_ratio, phase_error_deg, radius_v, ripple_pct, records.
                            Records that give no fit (too few, in one place, on a line) are an error.
  lissajous FILE.lis [--records N]
                            the same fit of the last N records of a recording
  plot FILE -o OUT.png [--size WxH]
                            draw a recorded .lis, .str or .pos file through KPD's plot engine, without a
                            display, as KPD shows it after loading the file (KPD.ini's plot settings,
                            the file's units; the fit readout beside the encoder signal) and write the
                            picture as PNG. --size: the plot area in pixels (default the medium
                            layout's: 400x400 for .lis, square; 500x400 for .str and .pos)

Options:
  --port N                  use COM N (1..256) instead of searching COM1..COM256
  --device PATH             use the port whose device PATH is (a /dev/serial/by-id/... link, /dev/ttyUSB0)
  --json                    one JSON object per line on standard output (errors as JSON objects with
                            "type":"error" on standard error)
  --timeout S               calibrate: give up after S seconds (default: no limit); align: wait at most
                            S seconds for the new mode (default 5)
  -h, --help                this text

Ctrl+C stops a stream or a recording and leaves the electronics as KPD's Stop does (the stream's stop
burst and a handshake); a calibration is ended with Stop Cal. Errors go to standard error.
The serial ports are those of the link library ($SENSLINK_PORT_DIR/COMn when set); KPD.ini is read from
KPD's install directory.

Exit codes:
  0  success (also a status --watch ended with Ctrl+C, or by a reader that closed its output)
  1  the electronics did not answer or failed (link failure), a --device that no port reaches, a
     refused request (write without --yes, a malformed word, a mode the electronics are not in), a
     failed calibration, a recording that was interrupted or could not be written, a lissajous fit
     without a result, or a data file or picture that could not be read or written
  2  bad command line
  3  find: no electronics answered on any port
)";
}

} // namespace kpdctl
