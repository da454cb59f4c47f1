// ModalDialogs: the fault soak's answerer of the main window's modal dialogs (TMainForm::execDialog). It
// shows the dialog, lets a short random reading time pass in the dialog's own event loop (ModalWait), fills
// it at random the way a user could (a plot settings entry in or out of range, a choice in each radio
// group) and presses one of its own buttons; a dialog that stays open after OK (a refused entry) is
// cancelled. Returns the dialog's result.
#pragma once

#include "SoakFigures.h"

#include <random>

class QDialog;

namespace soak {

class ModalDialogs {
public:
    ModalDialogs(std::mt19937_64 &rng, SoakFigures &figures) : rng_(rng), figures_(figures) {}
    int operator()(QDialog *dialog);

private:
    bool Chance(double p);
    std::mt19937_64 &rng_;
    SoakFigures &figures_;
};

} // namespace soak
