#include "session/PortAccessNote.h"

#include <algorithm>

namespace kpd {

namespace {

// "/dev/ttyUSB0 (COM33)"; the port alone when the device file is unknown.
std::string Name(const PortOpenFailure &f) {
    const std::string port = "COM" + std::to_string(f.port);
    return f.device.empty() ? port : f.device + " (" + port + ")";
}

// "the serial device A", "the serial devices A and B", "the serial devices A and 3 others".
std::string Devices(const std::vector<PortOpenFailure> &list) {
    if (list.size() == 1) return "the serial device " + Name(list[0]);
    if (list.size() == 2) return "the serial devices " + Name(list[0]) + " and " + Name(list[1]);
    return "the serial devices " + Name(list[0]) + " and " + std::to_string(list.size() - 1) + " others";
}

// "the group \"dialout\" that owns it", "the groups \"dialout\" and \"uucp\" that own them", or "the group
// that owns it" when no name is known.
std::string Groups(const std::vector<PortOpenFailure> &list) {
    std::vector<std::string> names;
    for (const auto &f : list)
        if (!f.group.empty() && std::find(names.begin(), names.end(), f.group) == names.end())
            names.push_back(f.group);
    std::string text = names.size() > 1 ? "the groups" : "the group";
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += i == 0 ? " " : i + 1 == names.size() ? " and " : ", ";
        text += "\"" + names[i] + "\"";
    }
    text += names.size() > 1 ? " that own" : " that owns";
    return text + (list.size() == 1 ? " it" : " them");
}

} // namespace

void PortAccessNote::Add(const PortOpenFailure &failure) {
    if (failure.reason == PortOpenFailure::Reason::Permission)
        denied_.push_back(failure);
    else if (failure.reason == PortOpenFailure::Reason::Busy)
        held_.push_back(failure);
}

std::string PortAccessNote::Sentence() const {
    std::string text;
    if (!denied_.empty()) {
        const bool one = denied_.size() == 1;
        text = Devices(denied_) + (one ? " exists" : " exist") +
               " but could not be opened for lack of permission: the user must be a member of " +
               Groups(denied_) + " (then log in again)";
    }
    if (!held_.empty()) {
        if (!text.empty()) text += "; ";
        const bool one = held_.size() == 1;
        text += Devices(held_) + (one ? " is held by another program" : " are held by other programs");
    }
    if (text.empty()) return text;
    text[0] = 'T'; // both parts start with "the"
    return text + ".";
}

} // namespace kpd
