// The program's windows after the main window and its searching window: created in their fixed order,
// each owned by the main window. Used by the program and by anything that runs the whole program in-process.
#pragma once

class TMainForm;

namespace kpd {

void CreateDialogs(TMainForm *MainForm);

} // namespace kpd
