#include "PtyPeer.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

PtyPeer::PtyPeer(int com) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) throw std::runtime_error("no pty");
    slavePath_ = ptsname(master_);
    slaveKeep_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slaveKeep_ < 0) throw std::runtime_error("cannot open pty slave");
    termios t{};
    tcgetattr(slaveKeep_, &t);
    cfmakeraw(&t);
    tcsetattr(slaveKeep_, TCSANOW, &t);
    char templ[] = "/tmp/senslink-test-XXXXXX";
    if (!mkdtemp(templ)) throw std::runtime_error("no temp dir");
    dir_ = templ;
    link(com);
    setenv("SENSLINK_PORT_DIR", dir_.c_str(), 1);
    if (pipe2(wake_, O_CLOEXEC) != 0) throw std::runtime_error("no pipe");
    thread_ = std::thread([this] { run(); });
}

PtyPeer::~PtyPeer() {
    stop_ = true;
    const char c = 0;
    (void)::write(wake_[1], &c, 1);
    thread_.join();
    ::close(wake_[0]);
    ::close(wake_[1]);
    ::close(slaveKeep_);
    ::close(master_);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

void PtyPeer::link(int com) const {
    const std::string path = dir_ + "/COM" + std::to_string(com);
    std::error_code ec;
    std::filesystem::remove(path, ec);
    std::filesystem::create_symlink(slavePath_, path);
}

void PtyPeer::setHandler(Handler handler) {
    std::lock_guard lock(mutex_);
    handler_ = std::move(handler);
}

void PtyPeer::send(const Bytes &bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        done += static_cast<size_t>(n);
    }
}

Bytes PtyPeer::received() const {
    std::lock_guard lock(mutex_);
    return received_;
}

std::vector<Bytes> PtyPeer::chunks() const {
    std::lock_guard lock(mutex_);
    return chunks_;
}

void PtyPeer::clearReceived() {
    std::lock_guard lock(mutex_);
    received_.clear();
    chunks_.clear();
}

bool PtyPeer::waitReceived(size_t count, int timeoutMs) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return received_.size() >= count; });
}

void PtyPeer::run() {
    uint8_t buf[4096];
    while (!stop_) {
        pollfd p[2] = {{master_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        const int pr = ::poll(p, 2, -1);
        if (pr < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (p[1].revents) return;
        if (!(p[0].revents & POLLIN)) continue;
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n <= 0) continue;
        Bytes chunk(buf, buf + n);
        Handler handler;
        {
            std::lock_guard lock(mutex_);
            received_.insert(received_.end(), chunk.begin(), chunk.end());
            chunks_.push_back(chunk);
            handler = handler_;
        }
        changed_.notify_all();
        if (handler) {
            const Bytes reply = handler(chunk);
            if (!reply.empty()) send(reply);
        }
    }
}
