// TMainForm and the engineering display: showing it, handing its requests to the session, its menus and
// the engineering write lock.
#include "windows/MainForm.h"

#include "windows/TEngineeringDisplay.h"
#include "windows/TRadioDialog.h"

#include <QLabel>

namespace {
const char *const kEngineeringMenus[] = {"File1", "View1", "Settings1", "Tools1"};
} // namespace

void TMainForm::ShowEngineeringDisplay() {
    if (!EngineeringDisplay) return;
    // However the window is closed, the session leaves the engineering display; its buttons are the
    // session's commands.
    connect(EngineeringDisplay, &TEngineeringDisplay::Closed, this, &TMainForm::EngineeringDisplayClosed,
            Qt::UniqueConnection);
    connect(EngineeringDisplay, &TEngineeringDisplay::WriteRequested, this,
            &TMainForm::EngineeringWriteRequested, Qt::UniqueConnection);
    connect(EngineeringDisplay, &TEngineeringDisplay::MainAgcRequested, this,
            &TMainForm::EngineeringAgcRequested, Qt::UniqueConnection);
    DisableMenusForEngineering();
    // Shown again (an activation of this window): brought to the front without taking the focus.
    const bool wasVisible = EngineeringDisplay->isVisible();
    EngineeringDisplay->show();
    EngineeringDisplay->raise();
    if (!wasVisible) EngineeringDisplay->activateWindow();
}

void TMainForm::ShowEngineeringValues(const std::array<std::string, kpd::readall::SlotCount> &texts) {
    if (EngineeringDisplay) EngineeringDisplay->ShowValues(texts);
}

void TMainForm::EngineeringWriteRequested(const QString &entry) {
    session_->EngineeringWrite(entry.toStdString());
}

void TMainForm::EngineeringAgcRequested(bool enable) {
    session_->MainAgc(enable);
}

void TMainForm::EngineeringDisplayClosed() {
    RestoreMenusAfterEngineering();
    session_->LeaveEngineering();
}

void TMainForm::DisableMenusForEngineering() {
    if (!menusBeforeEngineering_.empty()) return; // already disabled
    for (const char *m : kEngineeringMenus) {
        menusBeforeEngineering_.emplace_back(m, menu_.Enabled(m));
        menu_.SetEnabled(m, false);
    }
}

void TMainForm::RestoreMenusAfterEngineering() {
    for (const auto &[name, enabled] : menusBeforeEngineering_)
        menu_.SetEnabled(name, enabled);
    menusBeforeEngineering_.clear();
}

void TMainForm::EngineeringDisplay1Click() {
    if (engineeringDisplaySetup) {
        engineeringDisplaySetup();
        return;
    }
    if (!RadioDialog) return;
    TRadioDialog &d = *RadioDialog;
    d.warning->setText(
        "Warning:  Please review all documentation before enabling writing in engineering mode.  "
        "Also verify that only valid data is being sent.  Remember all data sent is in "
        "hexadecimal");
    d.setWindowTitle("Engineering Display Settings");
    d.RadioGroup1->ClearItems();
    d.RadioGroup2->ClearItems();
    d.RadioGroup2->setVisible(false);
    d.RadioGroup3->setVisible(false);
    d.RadioGroup1->setTitle(QString());
    d.RadioGroup1->SetItems({"Enable Engineering Write", "Disable Engineering Write"});
    d.RadioGroup1->SetItemIndex(1);
    if (RunModal(&d) == QDialog::Accepted && EngineeringDisplay)
        EngineeringDisplay->SetWriteEnabled(d.RadioGroup1->ItemIndex() == 0);
    FormActivate();
}
