#include "PtyPort.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace kpdsim {

PtyPort::~PtyPort() {
    close();
}

bool PtyPort::fail(const std::string &what) {
    error_ = what;
    close();
    return false;
}

bool PtyPort::open(const std::string &portDir, int com) {
    close();
    error_.clear();
    if (com < 1 || com > 256) return fail("port number " + std::to_string(com) + " is outside 1..256");
    struct stat st {};
    if (::stat(portDir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return fail("port directory " + portDir + " does not exist");

    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) return fail(std::string("cannot open a pseudo-terminal: ") + std::strerror(errno));
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
        return fail(std::string("cannot unlock the pseudo-terminal: ") + std::strerror(errno));
    char name[128] = {};
    if (::ptsname_r(master_, name, sizeof name) != 0) return fail("cannot name the pseudo-terminal");
    device_ = name;
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slave_ < 0) return fail(std::string("cannot open ") + device_ + ": " + std::strerror(errno));

    // Raw line: no echo, no line editing, no translation, 8 data bits with even parity as the real line.
    termios tio{};
    if (::tcgetattr(slave_, &tio) == 0) {
        ::cfmakeraw(&tio);
        tio.c_cflag |= PARENB | CLOCAL | CREAD;
        tio.c_cflag &= ~(PARODD | CSTOPB);
        ::cfsetispeed(&tio, B38400);
        ::cfsetospeed(&tio, B38400);
        ::tcsetattr(slave_, TCSANOW, &tio);
    }
    int on = 1;
    packet_ = ::ioctl(master_, TIOCPKT, &on) == 0;
    const int flags = ::fcntl(master_, F_GETFL);
    ::fcntl(master_, F_SETFL, flags | O_NONBLOCK);
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);

    std::string link = portDir;
    if (!link.empty() && link.back() != '/') link += '/';
    link += "COM" + std::to_string(com);
    if (::symlink(device_.c_str(), link.c_str()) != 0) {
        if (errno != EEXIST) return fail("cannot create " + link + ": " + std::strerror(errno));
        // A link left behind by a simulator that did not end cleanly points at nothing: replace it.
        struct stat lst {};
        const bool isLink = ::lstat(link.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode);
        struct stat tst {};
        if (!isLink || ::stat(link.c_str(), &tst) == 0) return fail(link + " is in use");
        ::unlink(link.c_str());
        if (::symlink(device_.c_str(), link.c_str()) != 0)
            return fail("cannot create " + link + ": " + std::strerror(errno));
    }
    link_ = link;
    return true;
}

int PtyPort::unreadBytes() const {
    int n = 0;
    if (slave_ < 0 || ::ioctl(slave_, FIONREAD, &n) != 0) return -1;
    return n;
}

void PtyPort::releaseExclusive() {
    if (slave_ >= 0) ::ioctl(slave_, TIOCNXCL);
}

void PtyPort::close() {
    if (!link_.empty()) {
        char target[256] = {};
        const ssize_t n = ::readlink(link_.c_str(), target, sizeof target - 1);
        if (n > 0 && device_ == std::string(target, static_cast<size_t>(n))) ::unlink(link_.c_str());
        link_.clear();
    }
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
    slave_ = master_ = -1;
    packet_ = false;
    device_.clear();
}

} // namespace kpdsim
