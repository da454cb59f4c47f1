#include "ActionDriver.h"

#include "session/Session.h"
#include "windows/MainForm.h"
#include "windows/TAlarmHistoryForm.h"
#include "windows/TEngineeringDisplay.h"
#include "windows/TInfoForm.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

namespace soak {

using kpd::DisplayMode;

ActionDriver::ActionDriver(TMainForm &form, std::mt19937_64 &rng, SoakFigures &figures)
    : form_(form), rng_(rng), figures_(figures) {
    TMainForm &f = form_;
    kpd::Session &s = f.session();
    const auto inStatus = [&s] { return s.Mode() == DisplayMode::Status; };
    const auto inPlot = [&s] { return s.Mode() != DisplayMode::Status && kpd::HasDataSet(s.Mode()); };
    actions_ = {
        // Display modes, by their buttons or the View menu's items.
        {"show status", 12,
         [=, this, &f] { return inPlot() && Chance(0.5) ? Click(f.SetFrequencyButton) : Menu("Mainwindow1"); }},
        {"show encoder signal", 12,
         [=, this, &f] { return inStatus() && Chance(0.5) ? Click(f.EncoderSignalButton) : Menu("Lissajous1"); }},
        {"show signal strength", 8,
         [=, this, &f] {
             return inStatus() && Chance(0.5) ? Click(f.SignalStrengthButton) : Menu("SignalMonitor1");
         }},
        {"show signal plots", 12,
         [=, this, &f] {
             if (inStatus() && Chance(0.6)) return Click(Chance(0.5) ? f.PositionButton : f.SetFrequencyButton);
             return Menu("EncoderPositionPlot1");
         }},
        // The data buttons.
        {"acquire", 14, [this, &f] { return Click(f.AcquireButton); }},
        {"stop", 10, [this, &f] { return Click(f.StopButton); }},
        {"back", 5, [this, &f] { return Click(f.ReviewButton); }},
        {"view", 6, [this, &f] { return Click(f.FastButton); }},
        // Files.
        {"save", 7,
         [this] {
             static const char *const items[4] = {"StatusandSetup1", "EncoderSignal1", "SignalStrengthData1",
                                                  "PositionandVelocityData1"};
             return Menu(items[Uniform(0, 3)]);
         }},
        {"load", 5, [this] { return Menu("Loaddata1"); }},
        // The calibration and alignment buttons and check boxes of the status display.
        {"calibration button", 4,
         [this, &f] {
             QToolButton *const b[5] = {f.StartCalButton, f.StopCalButton, f.CalSetButton, f.StartAlignButton,
                                        f.StopAlignButton};
             return Click(b[Uniform(0, 4)]);
         }},
        {"calibration box", 3,
         [this, &f] {
             QCheckBox *const b[4] = {f.CalGOPCheckBox, f.CalIndexCheckBox, f.SetLeftLimitCheckBox,
                                      f.SetRightLimitCheckBox};
             return Click(b[Uniform(0, 3)]);
         }},
        // Settings dialogs (modal, answered by the soak's modal answerer).
        {"plot options", 3, [=, this, &f] { return inPlot() && Click(f.CenterIndexButton); }},
        {"output settings", 2, [=, this, &f] { return inStatus() && Click(f.SetInterpolationButton); }},
        {"plot type", 3,
         [this, &f] {
             if (!f.PlotTypeGroup->isVisible() || !f.PlotTypeGroup->isEnabled()) return false;
             const QList<QRadioButton *> items = f.PlotTypeGroup->findChildren<QRadioButton *>();
             if (items.isEmpty()) return false;
             return Click(items[Uniform(0, static_cast<int>(items.size()) - 1)]);
         }},
        // The engineering display.
        {"engineering open", 3, [this] { return Menu("Engineering1"); }},
        {"engineering close", 6,
         [&f] {
             if (!f.EngineeringDisplay || !f.EngineeringDisplay->isVisible()) return false;
             f.EngineeringDisplay->reject();
             return true;
         }},
        {"engineering write lock", 1, [this] { return Menu("EngineeringDisplay1"); }},
        {"engineering agc", 1,
         [this, &f] {
             if (!f.EngineeringDisplay) return false;
             return Click(Chance(0.5) ? f.EngineeringDisplay->enablemainagcbutton
                                      : f.EngineeringDisplay->disablemainagcbutton);
         }},
        {"engineering bad write", 1,
         [this, &f] {
             if (!f.EngineeringDisplay || !f.EngineeringDisplay->writedatabutton->isEnabled()) return false;
             f.EngineeringDisplay->writedatabox->setText("12G"); // refused with its message: nothing is sent
             return Click(f.EngineeringDisplay->writedatabutton);
         }},
        // Alarms, position, information windows.
        {"reset alarms", 2, [this, &f] { return Click(f.ResetAlarmsButton); }},
        {"alarm history", 1,
         [this, &f] {
             if (f.AlarmHistoryForm && f.AlarmHistoryForm->isVisible() && Chance(0.6)) {
                 f.AlarmHistoryForm->hide();
                 return true;
             }
             return Click(f.AlarmHistoryButton);
         }},
        {"reset position", 2, [this, &f] { return Click(f.ResetPositionButton); }},
        {"electronics info", 2,
         [this, &f] {
             if (f.InfoForm && f.InfoForm->isVisible() && Chance(0.6)) {
                 f.InfoForm->hide();
                 return true;
             }
             return Menu("Tessalyversion1");
         }},
        {"about", 1, [this] { return Menu("AboutTessalySoftware1"); }},
        // Closing the window, answered No.
        {"close refused", 1,
         [&f] {
             f.close();
             return true;
         }},
        // Tools > Search For Electronics: the menu is disabled as designed, so its entry point.
        {"search", 1,
         [&s] {
             if (!s.Demo()) return false;
             s.RequestSearch();
             return true;
         }},
    };
    for (const Action &a : actions_)
        totalWeight_ += a.weight;
}

bool ActionDriver::Chance(double p) {
    return std::uniform_real_distribution<double>(0.0, 1.0)(rng_) < p;
}

int ActionDriver::Uniform(int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng_);
}

bool ActionDriver::Click(QAbstractButton *button) {
    if (!button || !button->isVisible() || !button->isEnabled()) return false;
    button->click();
    return true;
}

bool ActionDriver::Menu(const char *item) {
    if (!form_.Menu().Reachable(item)) return false;
    QAction *a = form_.Menu().Item(item);
    if (!a) return false;
    a->trigger();
    return true;
}

std::string ActionDriver::Act() {
    int pick = Uniform(0, totalWeight_ - 1);
    for (const Action &a : actions_) {
        if (pick < a.weight) return Do(a.name) ? a.name : std::string();
        pick -= a.weight;
    }
    return {};
}

bool ActionDriver::Do(const std::string &name) {
    for (const Action &a : actions_) {
        if (a.name != name) continue;
        if (a.run()) {
            ++figures_.actions[name];
            return true;
        }
        ++figures_.skipped[name];
        return false;
    }
    return false;
}

} // namespace soak
