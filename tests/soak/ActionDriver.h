// ActionDriver: the fault soak's user. Each call picks one action at random and carries it out through the
// window's own controls (buttons, check boxes, radio groups, menu items by their shortcut's reachability)
// or, where the program has no usable control, through the entry point a control would use. An action
// whose control is hidden or disabled at the moment is counted as skipped and not forced.
#pragma once

#include "SoakFigures.h"

#include <functional>
#include <random>
#include <string>
#include <vector>

class QAbstractButton;
class TMainForm;

namespace soak {

class ActionDriver {
public:
    ActionDriver(TMainForm &form, std::mt19937_64 &rng, SoakFigures &figures);

    // Picks and carries out one action; returns its name ("" when it was skipped).
    std::string Act();
    // Carries out the named action (the soak's own choices: stop a long recording, leave demo mode).
    bool Do(const std::string &name);

private:
    struct Action {
        std::string name;
        int weight;
        std::function<bool()> run; // false: its control is not available now
    };
    bool Click(QAbstractButton *button);
    bool Menu(const char *item);
    bool Chance(double p);
    int Uniform(int lo, int hi);

    TMainForm &form_;
    std::mt19937_64 &rng_;
    SoakFigures &figures_;
    std::vector<Action> actions_;
    int totalWeight_ = 0;
};

} // namespace soak
