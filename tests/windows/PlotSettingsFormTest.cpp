// The plot settings dialog: its controls filled from a page, the warning of a rejected entry, the hand-over
// of an accepted one, the Enter key, and Cancel restoring the check box and the range fields.
#include "platform/ScriptedDialogs.h"
#include "session/PlotOptions.h"
#include "windows/TPlotSettingsForm.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using kpd::DisplayMode;
using kpd::PlotRange;
using kpd::PlotScaling;
using platform::MessageButtons;
using platform::MessageKind;
using platform::MessageResult;

namespace {

Settings TestSettings() {
    Settings s;
    s.SetDefaults();
    s.resolutionMultiplier = 1.0f;
    s.interpolationMultiplier = 1.0f;
    s.generation = 3;
    return s;
}

class PlotSettingsFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        form.SetOnApply([this](const kpd::PlotOptionsEntry &entry, int pendingCount) {
            applied.push_back({entry, pendingCount});
        });
    }
    void TearDown() override { form.hide(); }

    void Prepare(DisplayMode mode, int firmware = 1400) {
        form.Prepare(kpd::PreparePlotOptions(mode, settings, scaling, firmware));
    }
    // Shows the dialog without a modal loop.
    void Show() {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    std::string Text(QLineEdit *e) const { return e->text().toStdString(); }
    std::string Text(QLabel *l) const { return l->text().toStdString(); }

    // Expects exactly one warning box with the invalid-entry text since the last call, answered OK.
    void ExpectOneWarning() {
        const auto messages = dialogs.Messages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].kind, MessageKind::Warning);
        EXPECT_EQ(messages[0].buttons, MessageButtons::Ok);
        EXPECT_EQ(messages[0].text, kpd::InvalidPlotOptionsText);
        EXPECT_TRUE(dialogs.Done());
        dialogs.Reset();
    }
    // Presses Apply expecting a rejection: warning box, dialog still open, nothing handed over.
    void ExpectRejected(const std::string &what) {
        SCOPED_TRACE(what);
        dialogs.Answer(MessageResult::Ok);
        const std::size_t before = applied.size();
        form.applybuttonClick();
        ExpectOneWarning();
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(applied.size(), before);
    }
    // Presses Apply expecting an acceptance: no box, dialog closed, the entry handed over once.
    void ExpectAccepted(const std::string &what, int count) {
        SCOPED_TRACE(what);
        const std::size_t before = applied.size();
        form.applybuttonClick();
        EXPECT_TRUE(dialogs.Messages().empty());
        EXPECT_TRUE(dialogs.Errors().empty());
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(form.result(), QDialog::Accepted);
        ASSERT_EQ(applied.size(), before + 1);
        EXPECT_EQ(applied.back().count, count);
        Show();
    }

    struct Applied {
        kpd::PlotOptionsEntry entry;
        int count = 0;
    };

    platform::ScriptedDialogs dialogs;
    platform::ScopedDialogs scope{dialogs};
    Settings settings = TestSettings();
    PlotScaling scaling;
    TPlotSettingsForm form;
    std::vector<Applied> applied;
};

std::vector<QWidget *> RangeFields(TPlotSettingsForm &f) {
    return {f.Label1, f.Edit1, f.Label2, f.Edit2, f.Label3, f.Edit3, f.Label4, f.Edit4};
}

} // namespace

TEST_F(PlotSettingsFormTest, ControlsAndFixedTexts) {
    for (const char *name : {"displaybox", "Edit1", "Edit2", "Edit3", "Edit4"})
        EXPECT_NE(form.findChild<QLineEdit *>(name), nullptr) << name;
    for (const char *name : {"displaymemo", "Label1", "Label2", "Label3", "Label4"})
        EXPECT_NE(form.findChild<QLabel *>(name), nullptr) << name;
    EXPECT_NE(form.findChild<QCheckBox *>("CheckBox1"), nullptr);
    auto *apply = form.findChild<QPushButton *>("applybutton");
    auto *cancel = form.findChild<QPushButton *>("BitBtn1");
    ASSERT_NE(apply, nullptr);
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(apply->text().toStdString(), "Apply");
    EXPECT_TRUE(apply->isDefault());
    EXPECT_EQ(cancel->text().toStdString(), "Cancel");
    EXPECT_EQ(Text(form.Label3), "Minimum Velocity");
    EXPECT_EQ(Text(form.Label4), "Maximum Velocity");
    EXPECT_TRUE(form.displaymemo->wordWrap());
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(form.minimumSize(), form.maximumSize());

    Prepare(DisplayMode::SignalPlots);
    Show();
    for (QWidget *w : {static_cast<QWidget *>(form.Label3), static_cast<QWidget *>(form.Edit3),
                       static_cast<QWidget *>(form.Label4), static_cast<QWidget *>(form.Edit4)})
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    EXPECT_TRUE(form.displaybox->isVisible());
}

TEST_F(PlotSettingsFormTest, EncoderSignalPageFillsTheControls) {
    settings.showcircles = true;
    settings.minimumcircle = 0.2f;
    settings.maximumcircle = 0.7f;
    Prepare(DisplayMode::EncoderSignal, 1334);
    EXPECT_EQ(form.windowTitle().toStdString(), "Encoder Signal Plot Options");
    EXPECT_EQ(Text(form.displaymemo),
              "Enter the number of points to display in Encoder Signal Plot\n\n Input range: 5 -1000");
    EXPECT_EQ(Text(form.displaybox), "150");
    EXPECT_EQ(form.CheckBox1->text().toStdString(), "Disable Indicator Circle Settings");
    EXPECT_FALSE(form.CheckBox1->isChecked());
    EXPECT_TRUE(form.CheckBox1->isEnabled());
    EXPECT_EQ(Text(form.Label1), "Min Indicator (0.01 to Max)");
    EXPECT_EQ(Text(form.Label2), "Max Indicator (Min to 0.99)");
    EXPECT_EQ(Text(form.Edit1), "0.200");
    EXPECT_EQ(Text(form.Edit2), "0.700");
    EXPECT_TRUE(form.Edit1->isEnabled());
    EXPECT_TRUE(form.Edit2->isEnabled());
    EXPECT_FALSE(form.Edit3->isEnabled());
    EXPECT_FALSE(form.Edit4->isEnabled());
}

TEST_F(PlotSettingsFormTest, OldElectronicsShowTheCircleControlsDisabled) {
    settings.generation = 2;
    for (bool show : {true, false}) {
        settings.showcircles = show;
        Prepare(DisplayMode::EncoderSignal, 1333);
        Show();
        EXPECT_EQ(Text(form.Label2), "Max Indicator (Min to 0.75)");
        for (QWidget *w : {static_cast<QWidget *>(form.CheckBox1), static_cast<QWidget *>(form.Label1),
                           static_cast<QWidget *>(form.Edit1), static_cast<QWidget *>(form.Label2),
                           static_cast<QWidget *>(form.Edit2)})
            EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString() << " show=" << show;
        EXPECT_TRUE(form.displaybox->isEnabled());
        // The point count still applies.
        form.displaybox->setText("300");
        ExpectAccepted("count with fixed circles", 300);
        EXPECT_EQ(applied.back().entry.checked, !show);
    }
}

TEST_F(PlotSettingsFormTest, EncoderSignalPointCountLimits) {
    Prepare(DisplayMode::EncoderSignal);
    Show();
    form.displaybox->setText("4");
    ExpectRejected("4");
    form.displaybox->setText("1001");
    ExpectRejected("1001");
    form.displaybox->setText("many");
    ExpectRejected("not a number");
    form.displaybox->setText("5");
    ExpectAccepted("5", 5);
    form.displaybox->setText("1000");
    ExpectAccepted("1000", 1000);
    form.displaybox->setText("150.7");
    ExpectAccepted("150.7", 150);

    kpd::ApplyPlotOptions(applied.back().entry, applied.back().count, settings, scaling);
    EXPECT_EQ(settings.lissplot, 150);
}

TEST_F(PlotSettingsFormTest, EnterInTheValueFieldApplies) {
    Prepare(DisplayMode::EncoderSignal);
    Show();
    form.displaybox->setText("1001");
    dialogs.Answer(MessageResult::Ok);
    QTest::keyClick(form.displaybox, Qt::Key_Return);
    ExpectOneWarning();
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(applied.empty());

    form.displaybox->setText("42");
    QTest::keyClick(form.displaybox, Qt::Key_Return);
    EXPECT_TRUE(dialogs.Messages().empty());
    EXPECT_FALSE(form.isVisible());
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_EQ(applied[0].count, 42);
}

TEST_F(PlotSettingsFormTest, SignalPlotsSecondsLimits) {
    settings.positionplot = 12.5f;
    Prepare(DisplayMode::SignalPlots);
    Show();
    EXPECT_EQ(form.windowTitle().toStdString(), "Encoder Signal Plot Options");
    EXPECT_EQ(Text(form.displaymemo),
              "Enter the Time in seconds to display in Signal Plot\n\n Input range: 1.0 - 65.0");
    EXPECT_EQ(Text(form.displaybox), "12.5");
    EXPECT_EQ(form.CheckBox1->text().toStdString(), "AutoScale Signals");
    form.displaybox->setText("0.9");
    ExpectRejected("0.9");
    form.displaybox->setText("65.1");
    ExpectRejected("65.1");
    form.displaybox->setText("1.0");
    ExpectAccepted("1.0", 1);
    form.displaybox->setText("65.0");
    ExpectAccepted("65.0", 65);
}

TEST_F(PlotSettingsFormTest, RangeOrderWithoutAutoScale) {
    scaling.strengthAuto = false;
    scaling.signalAuto = false;
    for (DisplayMode mode : {DisplayMode::SignalStrength, DisplayMode::SignalPlots}) {
        SCOPED_TRACE(kpd::Index(mode));
        Prepare(mode);
        Show();
        EXPECT_FALSE(form.CheckBox1->isChecked());
        EXPECT_EQ(Text(form.Label1), "Minimum Counts");
        EXPECT_EQ(Text(form.Label2), "Maximum Counts");
        EXPECT_TRUE(form.Edit1->isEnabled());
        form.Edit1->setText("200");
        form.Edit2->setText("100");
        ExpectRejected("200 > 100");
        form.Edit1->setText("x");
        ExpectRejected("minimum not a number");
        form.Edit1->setText("100");
        ExpectAccepted("100 = 100", mode == DisplayMode::SignalStrength ? 500 : 8);
        EXPECT_EQ(applied.back().entry.edit1, "100");
        EXPECT_EQ(applied.back().entry.edit2, "100");
        EXPECT_FALSE(applied.back().entry.checked);
    }
}

TEST_F(PlotSettingsFormTest, CancelRestoresTheCheckBoxAndTheRangeFields) {
    scaling.signalAuto = true;
    Prepare(DisplayMode::SignalPlots);
    Show();
    ASSERT_TRUE(form.CheckBox1->isChecked());
    for (QWidget *w : RangeFields(form))
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();

    form.CheckBox1->click(); // auto scale off: the ranges and the second range open
    EXPECT_FALSE(form.CheckBox1->isChecked());
    for (QWidget *w : RangeFields(form))
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();

    form.BitBtn1->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_TRUE(form.CheckBox1->isChecked());
    for (QWidget *w : RangeFields(form))
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(applied.empty());

    // Escape cancels the same way.
    Show();
    form.CheckBox1->click();
    ASSERT_TRUE(form.Edit3->isEnabled());
    QTest::keyClick(form.Edit1, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(form.CheckBox1->isChecked());
    EXPECT_FALSE(form.Edit1->isEnabled());
    EXPECT_FALSE(form.Edit3->isEnabled());
    EXPECT_TRUE(applied.empty());
    EXPECT_TRUE(dialogs.Questions().empty());
}

TEST_F(PlotSettingsFormTest, CancelRestoresAClearCheckBox) {
    scaling.strengthAuto = false;
    Prepare(DisplayMode::SignalStrength);
    Show();
    ASSERT_FALSE(form.CheckBox1->isChecked());
    EXPECT_TRUE(form.Edit1->isEnabled());
    EXPECT_FALSE(form.Edit3->isEnabled()); // no second range for the strength plot

    form.CheckBox1->click();
    EXPECT_TRUE(form.CheckBox1->isChecked());
    EXPECT_FALSE(form.Edit1->isEnabled());
    EXPECT_FALSE(form.Label2->isEnabled());

    form.BitBtn1Click();
    EXPECT_FALSE(form.CheckBox1->isChecked());
    EXPECT_TRUE(form.Label1->isEnabled());
    EXPECT_TRUE(form.Edit1->isEnabled());
    EXPECT_TRUE(form.Label2->isEnabled());
    EXPECT_TRUE(form.Edit2->isEnabled());
    EXPECT_FALSE(form.Edit3->isEnabled());
    EXPECT_FALSE(form.Edit4->isEnabled());
}

TEST_F(PlotSettingsFormTest, PageProviderRebuildsOnEveryShowing) {
    settings.resolutionMultiplier = 0.5f;
    settings.interpolationMultiplier = 1.0f;
    settings.digits = 1;
    scaling.strengthAuto = true;
    scaling.strengthCurrent = PlotRange{20, 400};
    DisplayMode mode = DisplayMode::SignalStrength;
    form.SetPageProvider([&] { return kpd::PreparePlotOptions(mode, settings, scaling, 1400); });
    form.SetOnApply([&](const kpd::PlotOptionsEntry &entry, int pendingCount) {
        kpd::ApplyPlotOptions(entry, pendingCount, settings, scaling);
    });

    Show();
    EXPECT_EQ(form.windowTitle().toStdString(), "Signal Strength Plot Options");
    EXPECT_EQ(Text(form.displaymemo),
              "Enter the number of points to display in Signal Strength Plot\n\n Input range: 100 -10000");
    EXPECT_EQ(form.CheckBox1->text().toStdString(), "Auto Scale Position");
    EXPECT_EQ(Text(form.displaybox), "500");
    EXPECT_EQ(Text(form.Edit1), "10.0");
    EXPECT_EQ(Text(form.Edit2), "200.0");
    EXPECT_EQ(form.focusWidget(), form.displaybox);

    form.CheckBox1->click();
    form.Edit1->setText("-5.0");
    form.Edit2->setText("100.0");
    form.displaybox->setText("2500");
    form.applybuttonClick();
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(scaling.strengthAuto);
    EXPECT_EQ(scaling.strengthFixed, (PlotRange{-10, 200}));
    EXPECT_EQ(settings.signalplot, 2500);

    // Shown again: the page is rebuilt from what was applied.
    Show();
    EXPECT_FALSE(form.CheckBox1->isChecked());
    EXPECT_EQ(Text(form.displaybox), "2500");
    EXPECT_EQ(Text(form.Edit1), "-5.0");
    EXPECT_EQ(Text(form.Edit2), "100.0");
    form.hide();

    // Another mode on the next opening.
    mode = DisplayMode::EncoderSignal;
    Show();
    EXPECT_EQ(form.windowTitle().toStdString(), "Encoder Signal Plot Options");
    EXPECT_EQ(Text(form.displaybox), "150");
    EXPECT_EQ(Text(form.Label1), "Min Indicator (0.01 to Max)");
    EXPECT_TRUE(dialogs.Questions().empty());
}
