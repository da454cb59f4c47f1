#include "program/ShowWindow.h"

#include "windows/MainForm.h"

#include <QAction>
#include <QToolButton>

#include <map>

namespace kpd {

void ShowWindow(TMainForm &form, const std::string &name) {
    // The windows behind a button of the side column: the output settings in the status display, the
    // plot settings in a plot mode.
    if (name == "settings") return form.SetInterpolationButtonClick();
    if (name == "plot-options") return form.CenterIndexButton->click();
    // The others behind their menu items.
    static const std::map<std::string, const char *> items{
        {"units", "Encoder1"},     {"alarms", "Resetalarms1"},     {"info", "Tessalyversion1"},
        {"about", "AboutTessalySoftware1"}, {"engineering", "Engineering1"},
        {"engineering-setup", "EngineeringDisplay1"}};
    const auto it = items.find(name);
    if (it == items.end()) return;
    if (QAction *item = form.Menu().Item(it->second)) item->trigger();
}

} // namespace kpd
