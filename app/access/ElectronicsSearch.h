// ElectronicsSearch: the search for the electronics over the serial ports, shared by the program's search
// (at start, from the menu, Retry and the link-failure question's "All") and kpdctl.
//
// The ports are probed side by side: Run starts one thread per port, and each thread runs Connect (open,
// configure, stop burst, handshake, processor version, model code, settings) on an access object of its
// own, so a port that does not answer costs its own time-out and not the sum of all of them. The result
// is still the one a search port by port would give: the electronics on the lowest port that identifies
// itself. The calling thread walks the ports in order, waiting on each until its probe has ended; a
// failed port is passed, the first connected port is the result. The search then decides at once: every
// higher probe still in its sequence is told to end (it ends at its next handshake attempt and closes
// its port), and higher ports already connected are closed. A port whose probe failed is closed by its
// thread.
//
// Who owns which port: each probe thread owns its port from its open until it has ended (it alone calls
// the link library for that port); the calling thread owns the port it keeps from the moment Run returns
// it, and the ports of higher connections that it closes. The link library allows calls on different
// ports at the same time (see senslink.h); nothing else is shared between the probes but the search's
// mutex-guarded outcome table.
//
// The first handshake of each probe waits 50 ms per attempt (the link library's resynchronisation
// time-out) instead of the port's 200 ms, so a silent port is given up on after 13 x 50 ms; every later
// step keeps the 200 ms of the connection.
#pragma once

#include "access/ComData.h"
#include "access/PortOpenFailure.h"
#include "data/DataSets.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class ElectronicsSearch {
public:
    static constexpr int FirstPort = 1;
    static constexpr int LastPort = 256;
    // Read time-out of each attempt of a probe's first handshake.
    static constexpr int ProbeHandshakeTimeoutMs = 50;

    // The access objects are made on `data` (the recordings outlive the search).
    explicit ElectronicsSearch(DataSets &data);
    // Tells the probes still running to end, waits for them and closes the ports of connections that were
    // not taken.
    ~ElectronicsSearch();
    ElectronicsSearch(const ElectronicsSearch &) = delete;
    ElectronicsSearch &operator=(const ElectronicsSearch &) = delete;

    // Searches first..last (once per object) and returns the connected access object of the lowest port
    // whose electronics identified themselves, or null. polling(n) is called on the calling thread for
    // every port n in order as the search reaches it: from then until the next call, n is the lowest port
    // still being polled. When polling or `interrupted` (asked every few milliseconds while the search
    // waits) returns false / true, the search ends with nothing found.
    std::unique_ptr<ComData> Run(int first, int last, const std::function<bool(int port)> &polling = {});
    std::function<bool()> interrupted;

    // The found message of the result (with its port number); empty without a result.
    const std::string &Message() const { return message_; }
    // Why the ports below the result (all ports when nothing was found) that could not be opened failed,
    // in port order (ports without a device included).
    const std::vector<PortOpenFailure> &OpenFailures() const { return failures_; }

    // Connects to the electronics on one port with the connection's own time-outs (no search); null when
    // they do not answer or do not identify themselves (the port is then closed). message: the found
    // message with the port number.
    static std::unique_ptr<ComData> ConnectPort(int port, DataSets &data, std::string &message);

private:
    enum class Outcome { Polling, Connected, Failed };
    struct Probe {
        std::unique_ptr<ComData> com;
        std::atomic<bool> abandon{false};
        Outcome outcome = Outcome::Polling; // guarded by mutex_
        std::string message;                // guarded by mutex_
        PortOpenFailure failure;            // guarded by mutex_
        std::thread thread;
        bool inline_ = false; // no thread could be started: the calling thread runs it when it gets there
    };

    void RunProbe(Probe &probe);
    // Waits until the probe has ended; false when the search was interrupted meanwhile.
    bool WaitFor(Probe &probe);
    // Ends the search without (or besides) `kept`: higher probes are told to end, connected ones closed.
    void Decide(const Probe *kept);

    DataSets &data_;
    std::deque<Probe> probes_;
    std::mutex mutex_;
    std::condition_variable ended_;
    bool decided_ = false; // guarded by mutex_
    std::string message_;
    std::vector<PortOpenFailure> failures_;
};
