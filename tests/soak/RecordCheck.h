// RecordCheck: whether the records a live recording kept are records the electronics sent, in the order
// sent. The tool may leave records out (a record with a word out of range, records lost while it purged
// or resynchronised), but it may neither change a record nor make one up.
//
// The check keeps, for one stream register list, every record the electronics sent (fed from the
// simulator's record log) and checks the recorded ones incrementally: each new recorded record must equal
// a sent record after the one the previous recorded record matched. A recorded record that equals no sent
// record is excused only where the line damaged a record nearby (bytes dropped): without a checksum a
// receiver cannot tell a record cut short from a whole one, so what it reads there is not the tool's doing.
#pragma once

#include "kpdsim/Simulator.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace soak {

using Words = std::array<uint16_t, 4>;

class RecordCheck {
public:
    // Sent records this close (in sent order) to the place a recorded record was expected excuse it when
    // one of them was damaged.
    static constexpr std::size_t kDamageReach = 8;

    RecordCheck(std::string name, std::vector<uint8_t> registers);

    // Takes the sent records of this check's register list (others are ignored).
    void AddSent(const std::vector<kpdsim::SentRecord> &sent);

    struct Result {
        bool ok = true;
        uint64_t matched = 0;
        uint64_t excused = 0;
        std::string problem; // what is wrong, with the neighbourhood of sent records
    };
    // Checks recorded records (oldest first) that follow those of the previous call.
    Result Check(const std::vector<Words> &recorded);

    const std::string &Name() const { return name_; }
    uint64_t SentCount() const { return base_ + sent_.size(); }

private:
    struct Sent {
        Words words;
        uint64_t number;
        bool damaged;
        bool badWord;
    };
    bool DamageNear(std::size_t at) const;
    std::string Neighbourhood(std::size_t at) const;
    void Prune();

    std::string name_;
    std::vector<uint8_t> registers_;
    std::vector<Sent> sent_; // sent records from base_ on
    uint64_t base_ = 0;      // sent records pruned from the front
    std::size_t next_ = 0;   // index in sent_ after the record the last recorded one matched
};

std::string FormatWords(const Words &w);

} // namespace soak
