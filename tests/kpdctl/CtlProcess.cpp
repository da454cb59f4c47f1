#include "CtlProcess.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace ctltest {

namespace {

[[noreturn]] void Exec(const std::vector<std::string> &args) {
    std::vector<std::string> copy = args;
    std::string program = KPDCTL_PROGRAM;
    std::vector<char *> argv;
    argv.push_back(program.data());
    for (std::string &a : copy)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
}

} // namespace

CtlProcess::CtlProcess(const std::vector<std::string> &args, Mode mode, bool closeInput) {
    if (mode == Mode::Terminal) {
        int master = -1;
        // A terminal in its usual (cooked) mode: Ctrl+C typed on it is SIGINT, Enter ends a line.
        pid_ = ::forkpty(&master, nullptr, nullptr, nullptr);
        if (pid_ == 0) Exec(args);
        out_fd_ = master;
        in_ = master;
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
        return;
    }
    int in[2], out[2], err[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0 || ::pipe(err) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(in[0], 0);
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        ::close(in[1]);
        ::close(out[0]);
        ::close(err[0]);
        Exec(args);
    }
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    in_ = in[1];
    out_fd_ = out[0];
    err_fd_ = err[0];
    ::fcntl(out_fd_, F_SETFL, ::fcntl(out_fd_, F_GETFL) | O_NONBLOCK);
    ::fcntl(err_fd_, F_SETFL, ::fcntl(err_fd_, F_GETFL) | O_NONBLOCK);
    if (closeInput) CloseInput();
}

CtlProcess::~CtlProcess() {
    if (pid_ > 0 && !exited_) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status_, 0);
    }
    if (in_ >= 0 && in_ != out_fd_) ::close(in_);
    if (out_fd_ >= 0) ::close(out_fd_);
    if (err_fd_ >= 0) ::close(err_fd_);
}

void CtlProcess::Pump(int timeoutMs) {
    pollfd fds[2];
    int n = 0;
    if (out_fd_ >= 0) fds[n++] = pollfd{out_fd_, POLLIN, 0};
    if (err_fd_ >= 0) fds[n++] = pollfd{err_fd_, POLLIN, 0};
    if (n == 0) return;
    if (::poll(fds, static_cast<nfds_t>(n), timeoutMs) <= 0) return;
    for (int i = 0; i < n; ++i) {
        if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
        char buf[4096];
        for (;;) {
            const ssize_t r = ::read(fds[i].fd, buf, sizeof buf);
            if (r <= 0) break;
            (fds[i].fd == out_fd_ ? out_ : err_).append(buf, static_cast<size_t>(r));
        }
    }
}

bool CtlProcess::WaitForOutput(const std::string &text, int timeoutMs, int times) {
    const auto seen = [&] {
        int n = 0;
        for (std::size_t at = out_.find(text); at != std::string::npos; at = out_.find(text, at + 1))
            ++n;
        return n >= times;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!seen()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        if (!exited_ && ::waitpid(pid_, &status_, WNOHANG) == pid_) exited_ = true;
        Pump(exited_ ? 0 : 20);
        if (exited_) {
            Pump(0);
            return seen();
        }
    }
    return true;
}

void CtlProcess::Type(const std::string &text) {
    if (in_ < 0) return;
    ssize_t done = 0;
    while (done < static_cast<ssize_t>(text.size())) {
        const ssize_t w = ::write(in_, text.data() + done, text.size() - static_cast<size_t>(done));
        if (w <= 0) return;
        done += w;
    }
}

void CtlProcess::CloseInput() {
    if (in_ >= 0 && in_ != out_fd_) {
        ::close(in_);
        in_ = -1;
    }
}

void CtlProcess::CloseOutput() {
    if (out_fd_ >= 0 && out_fd_ != in_) {
        ::close(out_fd_);
        out_fd_ = -1;
    }
}

void CtlProcess::Signal(int signal) {
    if (pid_ > 0 && !exited_) ::kill(pid_, signal);
}

int CtlProcess::Wait(int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!exited_) {
        if (::waitpid(pid_, &status_, WNOHANG) == pid_) {
            exited_ = true;
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status_, 0);
            exited_ = true;
            Pump(0);
            return -1;
        }
        Pump(20);
    }
    // What is still in the pipes (a pseudo-terminal reports EIO once the child has gone).
    for (int i = 0; i < 50; ++i) {
        const std::size_t before = out_.size() + err_.size();
        Pump(10);
        if (out_.size() + err_.size() == before) break;
    }
    if (WIFEXITED(status_)) return WEXITSTATUS(status_);
    if (WIFSIGNALED(status_)) return 128 + WTERMSIG(status_);
    return -1;
}

std::vector<QJsonObject> ParseJsonLines(const std::string &text) {
    std::vector<QJsonObject> objects;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty()) continue;
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << "not a JSON line: " << line;
        EXPECT_TRUE(doc.isObject()) << "not a JSON object: " << line;
        objects.push_back(doc.object());
    }
    return objects;
}

std::vector<QJsonObject> CtlProcess::JsonLines() const {
    return ParseJsonLines(out_);
}

std::vector<QJsonObject> CtlProcess::JsonErrors() const {
    return ParseJsonLines(err_);
}

CtlRun RunCtl(const std::vector<std::string> &args, int timeoutMs) {
    CtlProcess p(args);
    CtlRun r;
    r.code = p.Wait(timeoutMs);
    r.out = p.Out();
    r.err = p.Err();
    for (const std::string &a : args)
        if (a == "--json") r.json = p.JsonLines();
    return r;
}

} // namespace ctltest
