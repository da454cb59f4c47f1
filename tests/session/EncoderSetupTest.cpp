// The encoder setup: what the dialog shows for the settings, how each click changes it, what Apply does to
// the settings (units, resolution multiplier, digits, grating), and through the session: UnitsBox, the
// settings file, the next status sample, the next alarm line and the header of the next saved data files.
#include "SessionFixture.h"

#include "platform/NumberFormat.h"
#include "session/EncoderSetup.h"

#include <QFile>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using kpd::DisplayMode;
using kpd::EncoderSetup;
using kpd::EncoderUnitCounts;
using kpd::EncoderUnitLinear;

namespace {

const std::vector<std::string> kLinearUnits = {"nanometers",  "microns", "mm",
                                               "microinches", "mils",    "inches"};

Settings Defaults() {
    Settings s;
    s.SetDefaults();
    return s;
}

Settings Linear(int unitType, float pitch = 0.0f) {
    Settings s = Defaults();
    s.encodertype = 0;
    s.unittype = unitType;
    s.gratingPitch = pitch;
    return s;
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

TEST(EncoderSetupShow, DefaultSettingsShowEncoderCounts) {
    const EncoderSetup d(Defaults());
    EXPECT_EQ(d.EncoderUnitType(), EncoderUnitCounts);
    EXPECT_EQ(d.Units(), std::vector<std::string>{"counts"});
    EXPECT_EQ(d.UnitItem(), 0);
    EXPECT_FALSE(d.UnitsEnabled());
    EXPECT_FALSE(d.PitchEnabled());
    EXPECT_EQ(d.PitchText(), "0.00");
    EXPECT_EQ(d.Gratings(), Defaults().gratingDescriptions);
    EXPECT_EQ(d.GratingItem(), 0);
    EXPECT_EQ(d.UnitName(), "counts");
    EXPECT_TRUE(d.CanApply());
}

TEST(EncoderSetupShow, LinearSettingsShowTheSixUnitsWithTheirUnitSelected) {
    for (int unit = 0; unit < 6; ++unit) {
        const EncoderSetup d(Linear(unit, 20.0f));
        EXPECT_EQ(d.EncoderUnitType(), EncoderUnitLinear);
        EXPECT_EQ(d.Units(), kLinearUnits);
        EXPECT_EQ(d.UnitItem(), unit);
        EXPECT_EQ(d.UnitName(), kLinearUnits[static_cast<std::size_t>(unit)]);
        EXPECT_TRUE(d.UnitsEnabled());
        EXPECT_TRUE(d.PitchEnabled());
        EXPECT_EQ(d.PitchText(), "20.00");
    }
}

TEST(EncoderSetupShow, PitchIsShownWithTwoDecimals) {
    EXPECT_EQ(EncoderSetup(Linear(1, 0.5f)).PitchText(), "0.50");
    EXPECT_EQ(EncoderSetup(Linear(1, 12.345f)).PitchText(), "12.35");
    EXPECT_EQ(EncoderSetup(Linear(1, 1000.0f)).PitchText(), "1000.00");
}

TEST(EncoderSetupShow, SwitchingUnitTypesRefillsTheListAndRestoresTheSettingsUnit) {
    EncoderSetup d(Linear(1, 20.0f));
    d.ChooseUnit(4); // mils, in the dialog only
    EXPECT_EQ(d.UnitItem(), 4);
    d.ChooseEncoderUnitType(EncoderUnitCounts);
    EXPECT_EQ(d.Units(), std::vector<std::string>{"counts"});
    EXPECT_EQ(d.UnitItem(), 0);
    EXPECT_FALSE(d.UnitsEnabled());
    d.ChooseEncoderUnitType(EncoderUnitLinear);
    EXPECT_EQ(d.Units(), kLinearUnits);
    EXPECT_EQ(d.UnitItem(), 1) << "the settings' unit type, not the one chosen before in the dialog";
    d.ChooseEncoderUnitType(EncoderUnitLinear);
    EXPECT_EQ(d.Units().size(), 6u) << "refilled, not appended";
}

TEST(EncoderSetupShow, UnitClicksOutsideTheListOrWhileDisabledAreIgnored) {
    EncoderSetup d(Defaults());
    d.ChooseUnit(3);
    EXPECT_EQ(d.UnitItem(), 0);
    d.ChooseEncoderUnitType(EncoderUnitLinear);
    d.ChooseUnit(6);
    d.ChooseUnit(-1);
    EXPECT_EQ(d.UnitItem(), 0);
    d.ChooseEncoderUnitType(7);
    EXPECT_EQ(d.EncoderUnitType(), EncoderUnitLinear);
}

TEST(EncoderSetupShow, ValuesOutsideTheListsSelectNothingAndBlockApply) {
    Settings s = Defaults();
    s.encodertype = 2;
    EncoderSetup unknownType(s);
    EXPECT_EQ(unknownType.EncoderUnitType(), -1);
    EXPECT_TRUE(unknownType.Units().empty());
    EXPECT_FALSE(unknownType.CanApply());
    Settings untouched = s;
    EXPECT_EQ(unknownType.ApplyTo(untouched, 0), 0);
    EXPECT_EQ(untouched.SettingsLines(), s.SettingsLines());

    EncoderSetup unknownUnit(Linear(9, 20.0f));
    EXPECT_EQ(unknownUnit.UnitItem(), -1);
    EXPECT_FALSE(unknownUnit.CanApply());
    unknownUnit.ChooseUnit(2);
    EXPECT_TRUE(unknownUnit.CanApply());

    s = Defaults();
    s.gratingindex = 4;
    EXPECT_EQ(EncoderSetup(s).GratingItem(), -1);
    s.gratingindex = -3;
    EXPECT_EQ(EncoderSetup(s).GratingItem(), -1);
}

TEST(EncoderSetupShow, PitchMustBeANumberOfZeroOrMore) {
    EncoderSetup d(Linear(1));
    for (const char *bad : {"", "abc", "-1", "20um", "1e40", "nan", "inf", "20,5"}) {
        d.SetPitchText(bad);
        EXPECT_FALSE(d.Pitch().has_value()) << bad;
        EXPECT_FALSE(d.CanApply()) << bad;
    }
    for (const char *good : {"0", "0.00", " 20 ", "20.5", "1e3"}) {
        d.SetPitchText(good);
        EXPECT_TRUE(d.Pitch().has_value()) << good;
        EXPECT_TRUE(d.CanApply()) << good;
    }
    // With encoder counts the pitch does not enter the position and never blocks Apply.
    d.SetPitchText("abc");
    d.ChooseEncoderUnitType(EncoderUnitCounts);
    EXPECT_TRUE(d.CanApply());
}

TEST(EncoderSetupApply, EncoderCountsShowWholeCounts) {
    Settings s = Linear(3, 20.0f);
    s.ComputePositionScale(0);
    EncoderSetup d(s);
    d.ChooseEncoderUnitType(EncoderUnitCounts);
    d.ApplyTo(s, 0);
    EXPECT_EQ(s.encodertype, 1);
    EXPECT_EQ(s.unittype, 0) << "the unit list's selection: its only item";
    EXPECT_EQ(s.units, "counts");
    EXPECT_FLOAT_EQ(s.resolutionMultiplier, 1.0f);
    EXPECT_EQ(s.digits, 0);
    EXPECT_FLOAT_EQ(s.interpolationMultiplier, 1.0f);
}

TEST(EncoderSetupApply, MicronsWithPitch20) {
    Settings s = Defaults();
    s.generation = 3;
    EncoderSetup d(s);
    d.ChooseEncoderUnitType(EncoderUnitLinear);
    d.ChooseUnit(1);
    d.SetPitchText("20");
    d.ApplyTo(s, 3);
    EXPECT_EQ(s.encodertype, 0);
    EXPECT_EQ(s.unittype, 1);
    EXPECT_EQ(s.units, "microns");
    EXPECT_FLOAT_EQ(s.gratingPitch, 20.0f);
    EXPECT_FLOAT_EQ(s.resolutionMultiplier, 20.0f)
        << "generation 3: the interpolation setting does not enter";
    EXPECT_EQ(s.digits, 5);
    EXPECT_FLOAT_EQ(s.interpolationMultiplier, 1.0f);

    s.generation = 2;
    EncoderSetup(s).ApplyTo(s, 3);
    EXPECT_FLOAT_EQ(s.resolutionMultiplier, 5.0f) << "generation 2, interpolation setting 3: pitch / 4";
}

TEST(EncoderSetupApply, EveryLengthUnitGetsItsScaleAndDigits) {
    struct Case {
        int unit;
        double multiplier;
        int digits;
    };
    const Case cases[] = {{0, 20000.0, 2},   {1, 20.0, 5},       {2, 0.02, 8},
                          {3, 787.40157, 4}, {4, 0.78740157, 7}, {5, 0.00078740157, 10}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.unit);
        Settings s = Linear(c.unit);
        s.generation = 3;
        EncoderSetup d(s);
        d.SetPitchText("20.00");
        d.ApplyTo(s, 0);
        EXPECT_EQ(s.units, kLinearUnits[static_cast<std::size_t>(c.unit)]);
        EXPECT_NEAR(s.resolutionMultiplier, c.multiplier, c.multiplier * 1e-6);
        EXPECT_EQ(s.digits, c.digits);
    }
}

TEST(EncoderSetupApply, InitialPitchOfZeroGivesZeroPositions) {
    Settings s = Defaults();
    EncoderSetup d(s);
    d.ChooseEncoderUnitType(EncoderUnitLinear);
    d.ChooseUnit(2);
    d.ApplyTo(s, 0);
    EXPECT_EQ(s.units, "mm");
    EXPECT_FLOAT_EQ(s.resolutionMultiplier, 0.0f);
    EXPECT_EQ(s.digits, 8);
}

TEST(EncoderSetupApply, GratingSelectionIsCarriedThroughAndGuarded) {
    Settings s = Defaults();
    s.gratingindex = 2;
    EXPECT_EQ(EncoderSetup(s).ApplyTo(s, 0), 32768);
    EXPECT_EQ(s.gratingindex, 2);
    EXPECT_EQ(s.gratingDescriptions, Defaults().gratingDescriptions);

    // A description without a table entry selects no counts per revolution.
    s.gratingDescriptions.push_back(" 5th");
    s.gratingindex = 4;
    EXPECT_EQ(EncoderSetup(s).ApplyTo(s, 0), 0);
    EXPECT_EQ(s.gratingindex, 4);

    // An index outside the list: nothing selected (-1), which never indexes the table.
    s = Defaults();
    s.gratingindex = 17;
    EXPECT_EQ(EncoderSetup(s).ApplyTo(s, 0), 0);
    EXPECT_EQ(s.gratingindex, -1);
    EXPECT_EQ(s.numgratings, 4);

    s = Defaults();
    EncoderSetup d(s);
    d.ChooseGrating(3);
    EXPECT_EQ(d.ApplyTo(s, 0), 65536);
    EXPECT_EQ(s.gratingindex, 3);
}

// ---- Through the session ----

class EncoderSetupSessionTest : public sessiontest::SessionTest {
protected:
    void ApplyMicrons(float pitch) {
        EncoderSetup d(S().Config());
        d.ChooseEncoderUnitType(EncoderUnitLinear);
        d.ChooseUnit(1);
        d.SetPitchText(platform::FormatFixed(pitch, 2));
        ASSERT_TRUE(kpd::ApplyEncoderSetup(d, S(), view));
    }
    std::string InstallFile(const char *name) const { return (installDir.path() + "/" + name).toStdString(); }
    std::string Path(const std::string &name) const { return (dir.path() + "/").toStdString() + name; }
    QTemporaryDir dir;
};

TEST_F(EncoderSetupSessionTest, ApplyShowsTheUnitsRestartsAPlotAndWritesTheSettingsFile) {
    S().Config().generation = 3;
    ApplyMicrons(20.0f);
    ASSERT_FALSE(view.unitsShown.empty());
    EXPECT_EQ(view.unitsShown.back(), "microns");
    EXPECT_EQ(view.plotRestarts, 1);
    const std::vector<std::string> lines = ReadLines(InstallFile("KPD.ini"));
    ASSERT_EQ(lines.size(), 19u);
    EXPECT_EQ(lines[6], "encodertype=0");
    EXPECT_EQ(lines[7], "unittype=1");
    EXPECT_EQ(lines[8], "digits=5");
    EXPECT_EQ(lines[9], "units=microns");
    EXPECT_EQ(ReadLines(InstallFile("grating2.ini")), S().Config().gratingDescriptions);

    // Back to counts.
    EncoderSetup d(S().Config());
    d.ChooseEncoderUnitType(EncoderUnitCounts);
    ASSERT_TRUE(kpd::ApplyEncoderSetup(d, S(), view));
    EXPECT_EQ(view.unitsShown.back(), "counts");
    EXPECT_EQ(ReadLines(InstallFile("KPD.ini"))[9], "units=counts");
    EXPECT_FLOAT_EQ(S().Config().resolutionMultiplier, 1.0f);
}

TEST_F(EncoderSetupSessionTest, NothingToApplyChangesNothing) {
    Settings &s = S().Config();
    s.encodertype = 5;
    const std::vector<std::string> before = s.SettingsLines();
    EXPECT_FALSE(kpd::ApplyEncoderSetup(EncoderSetup(s), S(), view));
    EXPECT_EQ(s.SettingsLines(), before);
    EXPECT_TRUE(view.unitsShown.empty());
    EXPECT_FALSE(QFile::exists(QString::fromStdString(InstallFile("KPD.ini"))));
}

TEST_F(EncoderSetupSessionTest, TheNextStatusSampleAndAlarmLineUseTheNewUnits) {
    S().Config().generation = 3;
    S().Config().ComputePositionScale(0); // as the search does: counts
    S().Status().UpdateStatusDisplay(1234, 100.0f, 0, 0, 0.5f, false, true);
    ASSERT_FALSE(view.samples.empty());
    EXPECT_EQ(view.samples.back().second, "1,234");

    ApplyMicrons(20.0f);
    S().Status().UpdateStatusDisplay(1234, 100.0f, 0, 0, 0.6f, false, true);
    EXPECT_EQ(view.samples.back().second, "24,680.00000");
    S().Status().UpdateStatusDisplay(-3, 100.0f, 0, 0, 0.7f, false, true);
    EXPECT_EQ(view.samples.back().second, "-60.00000");

    // An over-signal event writes the new position text and units into the alarm history.
    S().Status().UpdateStatusDisplay(2, 500.0f, 0, 0, 0.8f, false, true);
    const kpd::AlarmHistory &history = S().Status().Evaluation().History();
    ASSERT_EQ(history.Count(), 1u);
    EXPECT_EQ(history.Line(0).rfind("\tOver Signal \t          40.00000\tmicrons\t\t   ", 0), 0u)
        << history.Line(0);
}

TEST_F(EncoderSetupSessionTest, TheNextSavedDataFilesCarryTheNewUnits) {
    S().Config().generation = 3;
    RecordStatusSamples(3);
    ApplyMicrons(20.0f);
    platform::ScriptedDialogs dialogs;
    dialogs.AnswerFile(Path("status.man"));
    dialogs.AnswerFile(Path("plots.pos"));
    platform::ScopedDialogs scope(dialogs);
    S().SaveData(DisplayMode::Status);
    S().ReadWriteTimerTimer();
    S().SaveData(DisplayMode::SignalPlots);
    S().ReadWriteTimerTimer();
    EXPECT_TRUE(dialogs.Done());
    for (const char *file : {"status.man", "plots.pos"}) {
        SCOPED_TRACE(file);
        const std::vector<std::string> lines = ReadLines(Path(file));
        ASSERT_GE(lines.size(), 5u);
        EXPECT_EQ(lines[1], "PosUnits=microns");
        EXPECT_EQ(lines[2], "PositionResMult=20");
        EXPECT_EQ(lines[3], "PositionInterpMult=1");
    }
}

} // namespace
