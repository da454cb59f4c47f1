// Display units against simulated electronics: the real main window with its status monitor thread, the
// encoder setup window opened from "&Units...", the live position text following the chosen unit, and the
// units and multipliers in the header of the status data file saved next.
#include "AppTestSupport.h"
#include "windows/TEncoderSetupForm.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <fstream>

using platform::ScopedDialogs;
using platform::ScriptedDialogs;

namespace {

constexpr int kPort = 3;

QRadioButton *Item(TRadioGroup *g, const QString &text) {
    for (QRadioButton *b : g->findChildren<QRadioButton *>())
        if (b->text() == text) return b;
    return nullptr;
}

std::vector<std::string> ReadLines(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

class UnitsEndToEnd : public ::testing::Test {
protected:
    void Start(kpdsim::SimOptions o = {}) {
        apptest::ClearInstallDir();
        o.pacing = false;
        o.speed = 0.0; // the head stands still: positions are exact
        sim = std::make_unique<kpdsim::Simulator>(o);
        ASSERT_TRUE(sim->start(apptest::PortDir(), kPort)) << sim->lastError();
        h = std::make_unique<apptest::Harness>();
        Form().EncoderSetupForm = new TEncoderSetupForm(&Form());
    }
    void TearDown() override {
        if (h) {
            Form().EncoderSetupForm->hide();
            apptest::Disconnect(Form());
        }
        h.reset();
        ClosePort(kPort);
        sim.reset();
        apptest::ClearInstallDir();
    }
    TMainForm &Form() { return *h->form; }
    uint64_t Samples() { return Form().session().Status().Monitor().Stats().samples.load(); }
    bool MoreSamples(uint64_t more, int timeoutMs = 5000) {
        const uint64_t target = Samples() + more;
        return apptest::WaitUntil([&] { return Samples() >= target; }, timeoutMs);
    }
    bool Idle(int timeoutMs = 15000) {
        return apptest::WaitUntil(
            [&] {
                kpd::Session &s = Form().session();
                return !s.ReadWriteTimer()->isActive() && !s.WorkerExists() && !s.PortHeld();
            },
            timeoutMs);
    }
    void Connect() {
        Form().session().Search();
        ASSERT_TRUE(Form().session().Access() && Form().session().Access()->PortOpen());
        ASSERT_TRUE(MoreSamples(3)) << "no live status samples";
    }
    // Moves the head so that the electronics' counter reads `count`, and waits for it on the display.
    void ShowCount(int64_t count, const std::string &text) {
        const int64_t zeroAt = sim->position() - sim->positionCount();
        sim->setPosition(zeroAt + count);
        EXPECT_TRUE(apptest::WaitUntil([&] { return Position() == text; }, 3000)) << Position();
    }
    std::string Position() { return Form().EncoderPositionText->text().toStdString(); }
    // "&Units...": Linear, `unit`, pitch text, Apply.
    void ChooseUnit(const char *unit, const char *pitch) {
        Form().Menu().Item("Encoder1")->trigger();
        TEncoderSetupForm &d = *Form().EncoderSetupForm;
        ASSERT_TRUE(d.isVisible());
        Item(d.encoderunittypegroup, "Linear")->click();
        Item(d.unittypegroup, unit)->click();
        d.gratingpitchbox->clear();
        QTest::keyClicks(d.gratingpitchbox, pitch);
        d.applybutton->click();
        ASSERT_FALSE(d.isVisible());
    }

    std::unique_ptr<kpdsim::Simulator> sim;
    std::unique_ptr<apptest::Harness> h;
};

TEST_F(UnitsEndToEnd, TheLivePositionAndTheNextSavedFileFollowTheChosenUnit) {
    Start();
    ScriptedDialogs dialogs;
    ScopedDialogs scope(dialogs);
    Connect();
    ShowCount(5000, "5,000");
    EXPECT_EQ(Form().UnitsBox->text(), "counts");

    // Generation 3: the pitch alone gives the length per count.
    ChooseUnit("microns", "20");
    EXPECT_EQ(Form().UnitsBox->text(), "microns");
    EXPECT_TRUE(apptest::WaitUntil([&] { return Position() == "100,000.00000"; }, 3000)) << Position();
    ShowCount(-250, "-5,000.00000");

    // A pitch whose length per millimetre is exact in single precision.
    ChooseUnit("mm", "125");
    EXPECT_TRUE(apptest::WaitUntil([&] { return Position() == "-31.25000000"; }, 3000)) << Position();

    // The status data saved next carries the units and the multipliers in its header.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string file = (dir.path() + "/run.man").toStdString();
    dialogs.AnswerFile(file);
    Form().StopButton->click();
    ASSERT_TRUE(Idle());
    Form().Menu().Item("StatusandSetup1")->trigger();
    ASSERT_TRUE(Idle());
    EXPECT_TRUE(dialogs.Done());
    const std::vector<std::string> lines = ReadLines(file);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[1], "PosUnits=mm");
    EXPECT_EQ(lines[2], "PositionResMult=0.125");
    EXPECT_EQ(lines[3], "PositionInterpMult=1");
}

TEST_F(UnitsEndToEnd, OlderElectronicsDivideThePitchByTheirInterpolationSetting) {
    kpdsim::SimOptions o;
    o.firmwareVersion = 0x0042; // generation 2
    o.interpDepth = 3;
    Start(o);
    ScriptedDialogs dialogs;
    ScopedDialogs scope(dialogs);
    Connect();
    ASSERT_EQ(Form().session().Access()->InterpolationSetting(), 3);
    ChooseUnit("microns", "20");
    EXPECT_FLOAT_EQ(Form().session().Config().resolutionMultiplier, 5.0f);
    EXPECT_EQ(Form().session().Config().digits, 5);
    ShowCount(4000, "20,000.00000");
    EXPECT_TRUE(dialogs.Questions().empty());
}

} // namespace
