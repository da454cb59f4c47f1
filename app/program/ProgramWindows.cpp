#include "program/ProgramWindows.h"

#include "windows/MainForm.h"
#include "windows/TAboutBoxForm.h"
#include "windows/TAlarmHistoryForm.h"
#include "windows/TEditDialogForm.h"
#include "windows/TEncoderSetupForm.h"
#include "windows/TEngineeringDisplay.h"
#include "windows/THelpForm.h"
#include "windows/TInfoForm.h"
#include "windows/TPlotSettingsForm.h"
#include "windows/TRadioDialog.h"

namespace kpd {

void CreateDialogs(TMainForm *MainForm) {
    MainForm->AboutBoxForm = new TAboutBoxForm(MainForm);
    MainForm->RadioDialog = new TRadioDialog(MainForm);
    MainForm->EncoderSetupForm = new TEncoderSetupForm(MainForm);
    MainForm->AlarmHistoryForm = new TAlarmHistoryForm(MainForm);
    MainForm->EditDialogForm = new TEditDialogForm(MainForm);
    MainForm->InfoForm = new TInfoForm(MainForm);
    MainForm->PlotSettingsForm = new TPlotSettingsForm(MainForm);
    MainForm->EngineeringDisplay = new TEngineeringDisplay(MainForm);
    MainForm->HelpForm = new THelpForm(MainForm);
}

} // namespace kpd
