// The electronics side of a pseudo-terminal for link tests: COMn in a temporary SENSLINK_PORT_DIR points
// at the terminal, a thread answers each chunk the library writes through a scripted handler and records
// every byte it received.
#ifndef SENSLINK_TESTS_PTYPEER_H
#define SENSLINK_TESTS_PTYPEER_H

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using Bytes = std::vector<uint8_t>;

class PtyPeer {
public:
    // Answer to one chunk the library wrote (one write call arrives as one chunk); empty = stay silent.
    using Handler = std::function<Bytes(const Bytes &chunk)>;

    // Creates the terminal and a temporary port directory, links COM<com> there and sets SENSLINK_PORT_DIR.
    explicit PtyPeer(int com);
    ~PtyPeer();
    PtyPeer(const PtyPeer &) = delete;
    PtyPeer &operator=(const PtyPeer &) = delete;

    // Links another port number in the same directory to this terminal.
    void link(int com) const;
    const std::string &portDir() const { return dir_; }
    const std::string &terminalPath() const { return slavePath_; }
    // The peer's own descriptor of the terminal (the library's side), for inspecting terminal state.
    int terminalFd() const { return slaveKeep_; }

    void setHandler(Handler handler);
    void setSilent() { setHandler(nullptr); }
    // Sends bytes from the electronics side now.
    void send(const Bytes &bytes);

    Bytes received() const;
    std::vector<Bytes> chunks() const;
    void clearReceived();
    // Waits until at least count bytes have been received in total; false on time-out.
    bool waitReceived(size_t count, int timeoutMs) const;

private:
    void run();

    int master_ = -1;
    int slaveKeep_ = -1; // keeps the terminal alive while the library has it closed
    int wake_[2] = {-1, -1};
    std::string dir_;
    std::string slavePath_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    Handler handler_;
    Bytes received_;
    std::vector<Bytes> chunks_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

#endif
