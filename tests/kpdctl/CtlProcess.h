// Runs the kpdctl program as a child process for the end-to-end tests: with its standard output and
// error on pipes (read separately), or on a pseudo-terminal of its own as an engineer's terminal would
// be (output and error together; Ctrl+C typed on it reaches the program as SIGINT). The child inherits
// the environment, so SENSLINK_PORT_DIR names the test's simulator directory.
#pragma once

#include <QJsonObject>

#include <string>
#include <sys/types.h>
#include <vector>

namespace ctltest {

class CtlProcess {
public:
    enum class Mode { Pipes, Terminal };

    // Starts kpdctl with args. In Pipes mode standard input is a pipe kept open until CloseInput (or
    // closed at once with closeInput).
    explicit CtlProcess(const std::vector<std::string> &args, Mode mode = Mode::Pipes,
                        bool closeInput = true);
    ~CtlProcess(); // kills a child still running
    CtlProcess(const CtlProcess &) = delete;
    CtlProcess &operator=(const CtlProcess &) = delete;

    // Reads output until `text` has appeared on standard output (the terminal in Terminal mode); false
    // after timeoutMs or when the program ended without it.
    // With `times`: until it has appeared that many times.
    bool WaitForOutput(const std::string &text, int timeoutMs = 20000, int times = 1);
    // Types on standard input (the terminal, or the input pipe).
    void Type(const std::string &text);
    void CloseInput();
    // Closes the reading end of standard output (Pipes mode): the program's next write finds no reader.
    void CloseOutput();
    void Signal(int signal);
    // Waits for the end; the exit code, 128 + signal for a child ended by a signal, -1 after timeoutMs
    // (the child is then killed).
    int Wait(int timeoutMs = 60000);

    const std::string &Out() const { return out_; }
    const std::string &Err() const { return err_; }
    // Standard output as JSON objects, one per line (an unparsable line fails the calling test).
    std::vector<QJsonObject> JsonLines() const;
    // The same for standard error.
    std::vector<QJsonObject> JsonErrors() const;
    pid_t Pid() const { return pid_; }

private:
    void Pump(int timeoutMs);

    pid_t pid_ = -1;
    int in_ = -1;
    int out_fd_ = -1;
    int err_fd_ = -1;
    bool exited_ = false;
    int status_ = 0;
    std::string out_;
    std::string err_;
};

// Runs kpdctl to its end and returns the process (exit code in `code`).
struct CtlRun {
    int code = -1;
    std::string out;
    std::string err;
    std::vector<QJsonObject> json; // standard output as JSON lines (only when asked for)
};
CtlRun RunCtl(const std::vector<std::string> &args, int timeoutMs = 60000);

// Parses lines of JSON; an unparsable line adds a test failure.
std::vector<QJsonObject> ParseJsonLines(const std::string &text);

} // namespace ctltest
