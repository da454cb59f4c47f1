#include "RecordCheck.h"

#include <algorithm>
#include <cstdio>

namespace soak {

std::string FormatWords(const Words &w) {
    char s[40];
    std::snprintf(s, sizeof s, "%04X %04X %04X %04X", w[0], w[1], w[2], w[3]);
    return s;
}

RecordCheck::RecordCheck(std::string name, std::vector<uint8_t> registers)
    : name_(std::move(name)), registers_(std::move(registers)) {}

void RecordCheck::AddSent(const std::vector<kpdsim::SentRecord> &sent) {
    for (const kpdsim::SentRecord &r : sent) {
        if (r.registers != registers_ || r.words.size() != 4) continue;
        sent_.push_back({{r.words[0], r.words[1], r.words[2], r.words[3]}, r.number, r.damaged, r.badWord});
    }
}

bool RecordCheck::DamageNear(std::size_t at) const {
    const std::size_t from = at > kDamageReach ? at - kDamageReach : 0;
    const std::size_t to = std::min(sent_.size(), at + kDamageReach);
    for (std::size_t i = from; i < to; ++i)
        if (sent_[i].damaged) return true;
    return false;
}

std::string RecordCheck::Neighbourhood(std::size_t at) const {
    std::string s;
    const std::size_t from = at > 6 ? at - 6 : 0;
    const std::size_t to = std::min(sent_.size(), at + 6);
    for (std::size_t i = from; i < to; ++i) {
        char head[64];
        std::snprintf(head, sizeof head, "  %s sent #%llu: ", i == at ? "->" : "  ",
                      static_cast<unsigned long long>(sent_[i].number));
        s += head + FormatWords(sent_[i].words);
        if (sent_[i].damaged) s += " (bytes dropped)";
        if (sent_[i].badWord) s += " (bad word)";
        s += '\n';
    }
    if (from == to) s = "  (no sent records there)\n";
    return s;
}

RecordCheck::Result RecordCheck::Check(const std::vector<Words> &recorded) {
    Result r;
    for (std::size_t k = 0; k < recorded.size(); ++k) {
        const Words &w = recorded[k];
        std::size_t i = next_;
        while (i < sent_.size() && sent_[i].words != w)
            ++i;
        if (i < sent_.size()) {
            next_ = i + 1;
            ++r.matched;
            continue;
        }
        if (DamageNear(next_)) {
            ++r.excused;
            continue;
        }
        r.ok = false;
        char head[160];
        std::snprintf(head, sizeof head,
                      "%s: recorded record %zu of %zu (%s) is not among the records sent after the "
                      "previous recorded one (sent #%llu); sent records there:\n",
                      name_.c_str(), k + 1, recorded.size(), FormatWords(w).c_str(),
                      static_cast<unsigned long long>(next_ > 0 ? sent_[next_ - 1].number : base_));
        r.problem = head + Neighbourhood(next_);
        // Where else the record was sent, if anywhere (a record kept twice, or out of order).
        for (std::size_t j = 0; j < sent_.size(); ++j) {
            if (sent_[j].words == w) {
                r.problem += "  the same words were sent earlier as #" + std::to_string(sent_[j].number) + "\n";
                break;
            }
        }
        return r;
    }
    Prune();
    return r;
}

void RecordCheck::Prune() {
    // Records well before the last match are never needed again.
    constexpr std::size_t kKeep = 64;
    if (next_ < 200000) return;
    const std::size_t drop = next_ - kKeep;
    sent_.erase(sent_.begin(), sent_.begin() + static_cast<std::ptrdiff_t>(drop));
    base_ += drop;
    next_ -= drop;
}

} // namespace soak
