// PortAccessNote: what a search learnt about the serial devices it could not open. It keeps the ports
// whose device exists but could not be opened for lack of permission, and those another program held,
// and makes the one sentence that the "Cannot Detect Electronics" message adds for them: which device,
// and that the user must be a member of the group owning it (named), or which device was held.
#pragma once

#include "access/PortOpenFailure.h"

#include <string>
#include <vector>

namespace kpd {

class PortAccessNote {
public:
    // Keeps a failure for lack of permission or of a held device; others (no device, ...) say nothing.
    void Add(const PortOpenFailure &failure);
    bool Empty() const { return denied_.empty() && held_.empty(); }
    const std::vector<PortOpenFailure> &Denied() const { return denied_; }
    const std::vector<PortOpenFailure> &Held() const { return held_; }

    // The sentence, ending with a full stop; empty when there is nothing to say.
    std::string Sentence() const;

private:
    std::vector<PortOpenFailure> denied_;
    std::vector<PortOpenFailure> held_;
};

} // namespace kpd
