// The command line of kpdctl: the command, its arguments and the options, checked in full before anything
// talks to the electronics. Plain C++.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kpdctl {

enum class CommandKind { Help, Find, Info, Read, Write, Status, Record, Calibrate, Align, Ports, Lissajous, Plot };

// What `record` records: the data of a display mode (and the data set of the same number).
enum class RecordKind { Status = 0, Encoder = 1, Strength = 2, Plots = 3 };

struct CtlOptions {
    CommandKind command = CommandKind::Help;
    int port = 0;      // --port N (1..256); 0: search COM1..COM256
    std::string device; // --device PATH: the port whose device PATH is (instead of --port)
    bool json = false; // --json: one JSON object per line

    std::vector<uint8_t> registers;        // read: the registers, in the order given
    std::vector<std::string> registerArgs; // read: the arguments as typed
    std::string word;                      // write: the address word as typed
    bool yes = false;                      // write: --yes

    bool watch = false; // status: --watch
    int count = 0;      // status: --count N (0: not given)

    RecordKind recordKind = RecordKind::Status;
    double seconds = 0.0; // record: --seconds S
    std::string output;   // record: -o FILE

    int calibrationMask = 0;      // calibrate: the selection (kpd::calibration bits)
    bool calibrationStop = false; // calibrate --stop
    double setAfter = -1.0;       // calibrate: --set-after S (negative: ask on the terminal)
    double timeout = 0.0;         // calibrate, align: --timeout S (0: the command's default)
    bool alignOn = false;         // align on|off

    int records = 2000; // lissajous: --records N
    std::string file;   // lissajous FILE.lis, plot FILE: the data file
    int plotWidth = 0;  // plot: --size WxH (0: the medium layout's plot area)
    int plotHeight = 0;
};

// Records a lissajous fit may take: the ring's slots stay readable behind a running stream.
constexpr int kMinimumFitRecords = 50;
constexpr int kMaximumFitRecords = 10000;

struct ParseResult {
    bool ok = false;
    CtlOptions options;
    std::string error; // what is wrong with the command line (when !ok)
};

// args: the arguments after the program name.
ParseResult ParseArguments(const std::vector<std::string> &args);

// A register as typed: a name of the register map (any case), a number in decimal or with 0x, or the
// engineering display's caption form "AddrNN" (hexadecimal). Nothing for anything else or above 255.
bool ParseRegister(const std::string &text, uint8_t &number);

// The text of kpdctl --help.
std::string HelpText();

} // namespace kpdctl
