// The simulated electronics' end of a serial line: a pseudo-terminal whose slave side is reached through a
// link portDir/COM<n>. The master side is what the electronics read and write.
#ifndef KPDSIM_PTYPORT_H
#define KPDSIM_PTYPORT_H

#include <string>

namespace kpdsim {

class PtyPort {
public:
    PtyPort() = default;
    ~PtyPort();
    PtyPort(const PtyPort &) = delete;
    PtyPort &operator=(const PtyPort &) = delete;

    // Opens the pseudo-terminal (raw, non-blocking master) and creates the link. False with error() set.
    bool open(const std::string &portDir, int com);
    // Removes the link (only if it still points at this device) and closes both sides.
    void close();

    // The application's side marks the line exclusive while it holds it; on a pseudo-terminal that mark
    // outlives its close and would lock out its next open, so the electronics' loop keeps lifting it.
    void releaseExclusive();
    int masterFd() const { return master_; }
    // The master side runs in packet mode when the system offers it: every read then starts with a control
    // byte, 0 before data, otherwise the status flags, among them the flushes of the application's side
    // (TIOCPKT_FLUSHREAD for a purge of its receive queue, TIOCPKT_FLUSHWRITE for its transmit queue).
    bool packetMode() const { return packet_; }
    // Bytes written by the electronics that wait unread in the application's receive queue; -1 unknown.
    int unreadBytes() const;
    const std::string &devicePath() const { return device_; }
    const std::string &linkPath() const { return link_; }
    const std::string &error() const { return error_; }

private:
    bool fail(const std::string &what);
    int master_ = -1;
    int slave_ = -1; // kept open so the line does not hang up between the application's opens
    bool packet_ = false;
    std::string device_;
    std::string link_;
    std::string error_;
};

} // namespace kpdsim

#endif // KPDSIM_PTYPORT_H
