// The calibration and alignment controls of the status display as the window shows them: the four check
// boxes with their captions, read in full in every size class, and the mask following them; the buttons
// bound to their commands; the texts, colours and button states of each operating state on the widgets.
// With KPD_SHOTS_DIR set, a screenshot of the status display in each calibration state.
#include "AppTestSupport.h"
#include "session/CalibrationOptions.h"
#include "workers/SignalEvaluation.h"

#include <QCheckBox>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QToolButton>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

namespace cal = kpd::calibration;
using kpd::status_bits::WithOperatingState;

constexpr std::uint32_t Word(int state, std::uint32_t bits = 0) {
    return WithOperatingState(bits, state);
}

// One live status sample as the status monitor hands it over.
void Sample(TMainForm &f, std::uint32_t word) {
    f.session().Status().UpdateStatusDisplay(12345, 150.0f, word, 0x0020, 4.2f, false, true);
}

std::string Text(const QLabel *l) {
    return l->text().toStdString();
}

} // namespace

TEST(CalibrationControls, TheBoxesStartUntickedAndTheMaskFollowsThem) {
    apptest::Harness h;
    TMainForm &f = *h.form;
    EXPECT_EQ(f.CalIndexCheckBox->text(), "Calibrate Index");
    EXPECT_EQ(f.SetLeftLimitCheckBox->text(), "Set Left Limit");
    EXPECT_EQ(f.SetRightLimitCheckBox->text(), "Set Right Limit");
    EXPECT_EQ(f.CalGOPCheckBox->text(), "Calibrate GOP");
    for (QCheckBox *b :
         {f.CalIndexCheckBox, f.SetLeftLimitCheckBox, f.SetRightLimitCheckBox, f.CalGOPCheckBox})
        EXPECT_FALSE(b->isChecked());
    EXPECT_EQ(f.session().CalibrationOptions(), 0);

    const std::pair<QCheckBox *, int> boxes[] = {{f.CalIndexCheckBox, cal::kIndex},
                                                 {f.SetLeftLimitCheckBox, cal::kLeftLimit},
                                                 {f.SetRightLimitCheckBox, cal::kRightLimit},
                                                 {f.CalGOPCheckBox, cal::kGop}};
    for (const auto &[box, bit] : boxes) {
        box->click();
        EXPECT_EQ(f.session().CalibrationOptions(), bit) << box->objectName().toStdString();
        box->click();
        EXPECT_EQ(f.session().CalibrationOptions(), 0) << box->objectName().toStdString();
    }
    for (const auto &[box, bit] : boxes)
        box->click();
    EXPECT_EQ(f.session().CalibrationOptions(), 0x1E);
    EXPECT_TRUE(f.CalibrationBoxTicked());
}

TEST(CalibrationControls, StartCalFollowsTheBoxesWithTheNextSample) {
    apptest::Harness h;
    TMainForm &f = *h.form;
    Sample(f, Word(0));
    EXPECT_FALSE(f.StartCalButton->isEnabled());
    f.SetLeftLimitCheckBox->click();
    Sample(f, Word(0)); // the same status word
    EXPECT_TRUE(f.StartCalButton->isEnabled());
    f.SetLeftLimitCheckBox->click();
    Sample(f, Word(0));
    EXPECT_FALSE(f.StartCalButton->isEnabled());
}

TEST(CalibrationControls, EachButtonQueuesItsCommand) {
    apptest::Harness h;
    TMainForm &f = *h.form;
    f.CalGOPCheckBox->click();
    const std::pair<QToolButton *, std::pair<int, std::uint32_t>> buttons[] = {
        {f.StartCalButton, {kpd::CmdStartCalibration, Word(0)}},
        {f.StopCalButton, {kpd::CmdStopCalibration, Word(17)}},
        {f.CalSetButton, {kpd::CmdSetCalibration, Word(3)}},
        {f.StartAlignButton, {kpd::CmdStartAlignment, Word(0)}},
        {f.StopAlignButton, {kpd::CmdStopAlignment, Word(1)}}};
    for (const auto &[button, what] : buttons) {
        SCOPED_TRACE(button->objectName().toStdString());
        Sample(f, what.second); // a state in which the button is shown and enabled
        ASSERT_TRUE(button->isVisibleTo(&f));
        ASSERT_TRUE(button->isEnabled());
        f.session().ReadWriteTimer()->stop();
        button->click();
        EXPECT_EQ(f.session().PendingCommand(), what.first);
        EXPECT_EQ(f.session().ReadWriteTimer()->interval(), 500);
        EXPECT_TRUE(f.session().ReadWriteTimer()->isActive());
    }
    f.session().ReadWriteTimer()->stop();
}

TEST(CalibrationControls, TheOperatingStatesOnTheWidgets) {
    apptest::Harness h;
    TMainForm &f = *h.form;
    f.CalIndexCheckBox->click();
    const QColor lime(0x00, 0xFF, 0x00), red(0xFF, 0x00, 0x00);
    auto colour = [&] { return f.ResolutionBox->palette().color(QPalette::WindowText); };

    Sample(f, Word(0));
    EXPECT_EQ(Text(f.IndexBox), " Operational mode (AGC on)");
    EXPECT_FALSE(f.ResolutionBox->isVisibleTo(&f));
    EXPECT_TRUE(f.StartAlignButton->isVisibleTo(&f));
    EXPECT_TRUE(f.StartAlignButton->isEnabled());
    EXPECT_TRUE(f.StopAlignButton->isVisibleTo(&f));
    EXPECT_FALSE(f.StopAlignButton->isEnabled());
    EXPECT_FALSE(f.CalSetButton->isVisibleTo(&f));
    EXPECT_TRUE(f.StartCalButton->isEnabled());
    EXPECT_FALSE(f.StopCalButton->isEnabled());

    Sample(f, Word(4));
    EXPECT_EQ(Text(f.IndexBox), " Calibration mode");
    EXPECT_EQ(Text(f.ResolutionBox), " Move to LEFT LIMIT, click SET");
    EXPECT_TRUE(f.ResolutionBox->isVisibleTo(&f));
    EXPECT_EQ(colour(), lime);
    EXPECT_TRUE(f.CalSetButton->isVisibleTo(&f));
    EXPECT_FALSE(f.StartAlignButton->isVisibleTo(&f));
    EXPECT_FALSE(f.StopAlignButton->isVisibleTo(&f));
    EXPECT_FALSE(f.StartCalButton->isEnabled());
    EXPECT_TRUE(f.StopCalButton->isEnabled());

    Sample(f, Word(15, kpd::status_bits::kIndexCalError | kpd::status_bits::kLimitsCalError));
    EXPECT_EQ(Text(f.ResolutionBox), " Index Calibration Error");
    EXPECT_EQ(colour(), red);
    EXPECT_EQ(Text(f.IndexBox), " Calibration mode");
    EXPECT_FALSE(f.CalSetButton->isVisibleTo(&f));

    Sample(f, Word(17, kpd::status_bits::kGopCalError));
    EXPECT_EQ(Text(f.ResolutionBox), " Calibrating GOP, Error");
    EXPECT_EQ(colour(), red);
    Sample(f, Word(18));
    EXPECT_EQ(Text(f.ResolutionBox), " Move back and forth anywhere");
    EXPECT_EQ(colour(), lime);

    Sample(f, Word(1));
    EXPECT_EQ(Text(f.IndexBox), " Alignment mode (AGC off)");
    EXPECT_FALSE(f.ResolutionBox->isVisibleTo(&f));
    EXPECT_TRUE(f.StartAlignButton->isVisibleTo(&f));
    EXPECT_FALSE(f.StartAlignButton->isEnabled());
    EXPECT_TRUE(f.StopAlignButton->isEnabled());
}

namespace {

struct ShotCase {
    platform::ScreenMetrics screen;
    int sizeClass;
};

class CalibrationStatusDisplay : public ::testing::TestWithParam<ShotCase> {};

// The states a technician steps through, with the file name of each screenshot.
struct ShownState {
    const char *name;
    std::uint32_t word;
};
const ShownState kStates[] = {
    {"0-operational", Word(0)},
    {"1-alignment", Word(1)},
    {"3-no-limits", Word(3)},
    {"4-left-limit", Word(4)},
    {"5-right-limit", Word(5)},
    {"6-calculating", Word(6)},
    {"7-index", Word(7)},
    {"17-gop", Word(17)},
    {"17-gop-error", Word(17, kpd::status_bits::kGopCalError)},
    {"15-complete", Word(15)},
    {"15-index-error", Word(15, kpd::status_bits::kIndexCalError)},
    {"15-limits-error", Word(15, kpd::status_bits::kLimitsCalError)},
};

} // namespace

TEST_P(CalibrationStatusDisplay, TheTextsAndButtonsFitInEveryState) {
    const ShotCase sc = GetParam();
    apptest::Harness h(sc.screen);
    TMainForm &f = *h.form;
    ASSERT_EQ(f.LayoutClass, sc.sizeClass);
    f.session().Config().resolutionMultiplier = 1.0f;
    for (QCheckBox *b :
         {f.CalIndexCheckBox, f.SetLeftLimitCheckBox, f.SetRightLimitCheckBox, f.CalGOPCheckBox}) {
        b->click();
        // The whole caption can be read.
        EXPECT_LE(b->sizeHint().width(), b->width()) << b->objectName().toStdString();
    }
    const char *dir = std::getenv("KPD_SHOTS_DIR");
    if (dir) QDir().mkpath(dir);
    for (const ShownState &s : kStates) {
        SCOPED_TRACE(s.name);
        Sample(f, s.word);
        // The state texts keep the font of the size class whatever their colour.
        EXPECT_EQ(f.ResolutionBox->font(), f.font());
        EXPECT_EQ(f.ResolutionBox->fontInfo().pixelSize(), f.IndexBox->fontInfo().pixelSize());
        for (QLabel *l : {f.IndexBox, f.ResolutionBox}) {
            if (!l->isVisibleTo(&f)) continue;
            const QFontMetrics fm(l->font());
            EXPECT_LE(fm.horizontalAdvance(l->text()), l->width()) << l->objectName().toStdString();
        }
        for (QToolButton *b :
             {f.StartCalButton, f.StopCalButton, f.CalSetButton, f.StartAlignButton, f.StopAlignButton}) {
            if (!b->isVisibleTo(&f)) continue;
            const QFontMetrics fm(b->font());
            EXPECT_LE(fm.horizontalAdvance(b->text()), b->width()) << b->objectName().toStdString();
        }
        if (dir)
            f.grab().save(
                QString("%1/calibration-class-%2-state-%3.png").arg(dir).arg(sc.sizeClass).arg(s.name));
    }
}

INSTANTIATE_TEST_SUITE_P(Classes, CalibrationStatusDisplay,
                         ::testing::Values(ShotCase{{800, 600, 96}, 0}, ShotCase{{1024, 768, 96}, 1},
                                           ShotCase{{1280, 1024, 96}, 2}));
