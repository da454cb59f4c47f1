// "Encoder Setup": how positions are shown, as encoder counts or as a length in one of six units. The
// controls show a kpd::EncoderSetup made from the settings each time the window is shown; each click goes
// to it; Apply closes the window and hands the setup to the owner, which applies it (kpd::ApplyEncoderSetup).
// Not modal; stays on top; Cancel (also Escape) closes it without changes.
#pragma once

#include "session/EncoderSetup.h"
#include "windows/TRadioGroup.h"

#include <QDialog>

#include <functional>
#include <optional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TEncoderSetupForm : public QDialog {
    Q_OBJECT
public:
    using SetupProvider = std::function<kpd::EncoderSetup()>;
    using ApplyHandler = std::function<void(const kpd::EncoderSetup &setup)>;

    explicit TEncoderSetupForm(QWidget *parent = nullptr);

    // Called on every showing for the setup as the settings stand.
    void SetSetupProvider(SetupProvider provider);
    // Called after Apply, once the window is closed.
    void SetOnApply(ApplyHandler handler);

    // FormShow: the controls from `setup`.
    void Prepare(const kpd::EncoderSetup &setup);
    // The handlers of the controls.
    void encoderunittypegroupClick();
    void unittypegroupClick();
    void applybuttonClick();
    void BitBtn2Click();

    // The setup as the controls stand (none before the first Prepare).
    const std::optional<kpd::EncoderSetup> &Setup() const { return setup_; }

    TRadioGroup *encoderunittypegroup;
    TRadioGroup *unittypegroup;
    QLabel *gratingpitchlabel;
    QLineEdit *gratingpitchbox;
    QGroupBox *GroupBox1;
    QComboBox *opticaldiameterbox;
    QPushButton *applybutton;
    QPushButton *BitBtn2;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ShowUnits();
    void PlaceOnScreen();

    std::optional<kpd::EncoderSetup> setup_;
    SetupProvider provider_;
    ApplyHandler onApply_;
};
