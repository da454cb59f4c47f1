// The controls of the program's windows, made with their component names as objectNames: flat speed
// buttons, labels, check boxes readable on a black window, and lamps.
#pragma once

#include <QString>

class QCheckBox;
class QLabel;
class QToolButton;
class QWidget;

namespace platform {

class Lamp;

QToolButton *MakeButton(QWidget *parent, const char *name, const char *caption);
QLabel *MakeLabel(QWidget *parent, const char *name, const QString &text = {});
QCheckBox *MakeCheck(QWidget *parent, const char *name, const char *caption);
Lamp *MakeLamp(QWidget *parent, const char *name);

} // namespace platform
