// Plot settings dialog of the three plot display modes: the number of points (or seconds) a plot shows,
// the indicator circles of the encoder signal plot, and the auto scale switch and fixed ranges of the
// signal strength and signal plots. Every opening rebuilds it for the current display mode from a page
// (kpd::PreparePlotOptions); Apply checks the entries (kpd::ValidatePlotOptions) and hands them to the
// owner, which queues their application.
#pragma once

#include "session/PlotOptions.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TPlotSettingsForm : public QDialog {
    Q_OBJECT
public:
    using PageProvider = std::function<kpd::PlotOptionsPage()>;
    using ApplyHandler = std::function<void(const kpd::PlotOptionsEntry &entry, int pendingCount)>;

    explicit TPlotSettingsForm(QWidget *parent = nullptr);

    // Called on every showing to build the page of the current display mode (none: the controls keep
    // what the last Prepare put there).
    void SetPageProvider(PageProvider provider);
    // Called after an accepted Apply, once the dialog is closed, with the entries and truncate(display).
    void SetOnApply(ApplyHandler handler);

    // Fills the controls from `page`, remembers the state of CheckBox1, runs CheckBox1Click and puts the
    // focus on displaybox.
    void Prepare(const kpd::PlotOptionsPage &page);

    // Only while CheckBox1 is enabled: checked disables the range fields, clear enables Label1, Edit1,
    // Label2, Edit2 and gives Label3, Edit3, Label4, Edit4 the page's second-range flag.
    void CheckBox1Click();
    // Checks the entries: rejected shows the warning and keeps the dialog open; accepted closes it and
    // calls the apply handler.
    void applybuttonClick();
    // Cancel: restores CheckBox1 as it was when the dialog was prepared and closes.
    void BitBtn1Click();

    // The entries as they stand now.
    kpd::PlotOptionsEntry Entry() const;
    // The page of the last Prepare.
    const kpd::PlotOptionsPage &Page() const { return page_; }

    void reject() override;

    QLabel *displaymemo;
    QLineEdit *displaybox;
    QCheckBox *CheckBox1;
    QLabel *Label1;
    QLineEdit *Edit1;
    QLabel *Label2;
    QLineEdit *Edit2;
    QLabel *Label3;
    QLineEdit *Edit3;
    QLabel *Label4;
    QLineEdit *Edit4;
    QPushButton *applybutton;
    QPushButton *BitBtn1;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void SetRangeFieldsEnabled(bool first, bool second);

    kpd::PlotOptionsPage page_;
    bool savedCheckState_ = false;
    PageProvider pageProvider_;
    ApplyHandler onApply_;
};
