// The encoder setup window as the main window's "&Units..." item opens it: its controls filled from the
// settings, the unit list following the encoder unit type, Apply (button and Enter in the pitch box) changing
// UnitsBox, the position text of the next status sample and the settings file, Cancel and Escape changing
// nothing.
#include "AppTestSupport.h"
#include "windows/TEncoderSetupForm.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include <fstream>

namespace {

QStringList ItemTexts(TRadioGroup *g) {
    return g->Items();
}

QRadioButton *Item(TRadioGroup *g, const QString &text) {
    for (QRadioButton *b : g->findChildren<QRadioButton *>())
        if (b->text() == text) return b;
    return nullptr;
}

std::vector<std::string> SettingsFileLines() {
    std::ifstream in(apptest::InstallDir() + "/KPD.ini", std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

class EncoderSetupFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        apptest::ClearInstallDir();
        h = std::make_unique<apptest::Harness>();
        Main().EncoderSetupForm = new TEncoderSetupForm(&Main());
        // As the search leaves it: positions in counts.
        Main().session().Config().ComputePositionScale(0);
    }
    void TearDown() override {
        Form().hide();
        h.reset();
        apptest::ClearInstallDir();
    }
    TMainForm &Main() { return *h->form; }
    TEncoderSetupForm &Form() { return *Main().EncoderSetupForm; }
    void Open() {
        QAction *item = Main().Menu().Item("Encoder1");
        ASSERT_NE(item, nullptr);
        ASSERT_TRUE(item->isEnabled());
        item->trigger();
        ASSERT_TRUE(Form().isVisible());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Form()));
    }
    // Linear, the given unit, the given pitch text.
    void ChooseLinear(const char *unit, const char *pitch) {
        QRadioButton *linear = Item(Form().encoderunittypegroup, "Linear");
        ASSERT_NE(linear, nullptr);
        linear->click();
        QRadioButton *u = Item(Form().unittypegroup, unit);
        ASSERT_NE(u, nullptr);
        u->click();
        Form().gratingpitchbox->clear();
        QTest::keyClicks(Form().gratingpitchbox, pitch);
    }
    std::string UnitsBoxText() { return Main().UnitsBox->text().toStdString(); }
    std::string PositionAfterSample(int32_t count) {
        Main().session().Status().UpdateStatusDisplay(count, 100.0f, 0, 0, 1.0f, false, false);
        return Main().EncoderPositionText->text().toStdString();
    }

    std::unique_ptr<apptest::Harness> h;
};

TEST_F(EncoderSetupFormTest, OpensNonModalWithTheDesignedControlsFilledFromTheSettings) {
    Open();
    TEncoderSetupForm &d = Form();
    EXPECT_TRUE(h->modalShown.empty());
    EXPECT_FALSE(d.isModal());
    EXPECT_EQ(d.windowTitle(), "Encoder Setup");
    EXPECT_TRUE(d.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(d.encoderunittypegroup->title(), "Encoder Unit Type");
    EXPECT_EQ(ItemTexts(d.encoderunittypegroup), (QStringList{"Linear", "Encoder Counts"}));
    EXPECT_EQ(d.encoderunittypegroup->ItemIndex(), 1);
    EXPECT_EQ(d.unittypegroup->title(), "Units to Display");
    EXPECT_EQ(ItemTexts(d.unittypegroup), QStringList{"counts"});
    EXPECT_EQ(d.unittypegroup->ItemIndex(), 0);
    EXPECT_FALSE(d.unittypegroup->isEnabled());
    EXPECT_EQ(d.gratingpitchlabel->text(), "grating pitch (um)");
    EXPECT_EQ(d.gratingpitchbox->text(), "0.00");
    EXPECT_FALSE(d.gratingpitchbox->isEnabled());
    EXPECT_FALSE(d.GroupBox1->isVisible());
    EXPECT_EQ(d.GroupBox1->title(), "Rotary Grating Configuration");
    EXPECT_EQ(d.opticaldiameterbox->count(), 4);
    EXPECT_EQ(d.opticaldiameterbox->itemText(0), " 19.05mm - 10,000 CPR at x4 interp");
    EXPECT_EQ(d.opticaldiameterbox->currentIndex(), 0);
    EXPECT_EQ(d.applybutton->text(), "Apply");
    EXPECT_TRUE(d.applybutton->isEnabled());
    EXPECT_EQ(d.BitBtn2->text(), "Cancel");
    EXPECT_TRUE(d.BitBtn2->isDefault());
    // Centred on the screen of the harness (1024 x 768).
    EXPECT_EQ(d.x(), (1024 - d.width()) / 2);
    EXPECT_EQ(d.y(), (768 - d.height()) / 2);
}

TEST_F(EncoderSetupFormTest, TheUnitListFollowsTheEncoderUnitType) {
    Main().session().Config().unittype = 4;
    Open();
    TEncoderSetupForm &d = Form();
    Item(d.encoderunittypegroup, "Linear")->click();
    EXPECT_EQ(ItemTexts(d.unittypegroup),
              (QStringList{"nanometers", "microns", "mm", "microinches", "mils", "inches"}));
    EXPECT_EQ(d.unittypegroup->ItemIndex(), 4) << "the main window's unit type";
    EXPECT_TRUE(d.unittypegroup->isEnabled());
    EXPECT_TRUE(d.gratingpitchbox->isEnabled());
    Item(d.unittypegroup, "mm")->click();
    Item(d.encoderunittypegroup, "Encoder Counts")->click();
    EXPECT_EQ(ItemTexts(d.unittypegroup), QStringList{"counts"});
    EXPECT_FALSE(d.unittypegroup->isEnabled());
    EXPECT_FALSE(d.gratingpitchbox->isEnabled());
    Item(d.encoderunittypegroup, "Linear")->click();
    EXPECT_EQ(d.unittypegroup->ItemIndex(), 4) << "not the unit chosen before in the dialog";
}

TEST_F(EncoderSetupFormTest, ApplyChangesUnitsBoxThePositionTextAndTheSettingsFile) {
    EXPECT_EQ(PositionAfterSample(1234), "1,234");
    Open();
    ChooseLinear("microns", "20");
    Form().applybutton->click();
    EXPECT_FALSE(Form().isVisible());
    EXPECT_EQ(UnitsBoxText(), "microns");
    EXPECT_EQ(PositionAfterSample(1234), "24,680.00000");
    const std::vector<std::string> lines = SettingsFileLines();
    ASSERT_EQ(lines.size(), 19u);
    EXPECT_EQ(lines[6], "encodertype=0");
    EXPECT_EQ(lines[7], "unittype=1");
    EXPECT_EQ(lines[8], "digits=5");
    EXPECT_EQ(lines[9], "units=microns");

    // Opened again: the window shows what was applied.
    Open();
    EXPECT_EQ(Form().encoderunittypegroup->ItemIndex(), 0);
    EXPECT_EQ(Form().unittypegroup->ItemIndex(), 1);
    EXPECT_EQ(Form().gratingpitchbox->text(), "20.00");
    Item(Form().encoderunittypegroup, "Encoder Counts")->click();
    Form().applybutton->click();
    EXPECT_EQ(UnitsBoxText(), "counts");
    EXPECT_EQ(PositionAfterSample(1234), "1,234");
    EXPECT_EQ(SettingsFileLines()[9], "units=counts");
}

TEST_F(EncoderSetupFormTest, EnterInThePitchBoxApplies) {
    Open();
    ChooseLinear("mm", "125");
    QTest::keyClick(Form().gratingpitchbox, Qt::Key_Return);
    EXPECT_FALSE(Form().isVisible());
    EXPECT_EQ(UnitsBoxText(), "mm");
    EXPECT_EQ(PositionAfterSample(5), "0.62500000");
}

TEST_F(EncoderSetupFormTest, APitchThatIsNotANumberDisablesApply) {
    Open();
    ChooseLinear("microns", "2x");
    EXPECT_FALSE(Form().applybutton->isEnabled());
    QTest::keyClick(Form().gratingpitchbox, Qt::Key_Return);
    EXPECT_TRUE(Form().isVisible()) << "nothing applied";
    EXPECT_EQ(UnitsBoxText(), "counts");
    QTest::keyClick(Form().gratingpitchbox, Qt::Key_Backspace);
    EXPECT_TRUE(Form().applybutton->isEnabled());
}

TEST_F(EncoderSetupFormTest, CancelAndEscapeCloseWithoutChanges) {
    Open();
    ChooseLinear("inches", "20");
    Form().BitBtn2->click();
    EXPECT_FALSE(Form().isVisible());
    EXPECT_EQ(UnitsBoxText(), "counts");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(apptest::InstallDir() + "/KPD.ini")));

    Open();
    EXPECT_EQ(Form().encoderunittypegroup->ItemIndex(), 1) << "the settings again, not the cancelled choice";
    ChooseLinear("inches", "20");
    QTest::keyClick(Item(Form().unittypegroup, "inches"), Qt::Key_Escape);
    EXPECT_FALSE(Form().isVisible());
    EXPECT_EQ(UnitsBoxText(), "counts");
    EXPECT_EQ(Main().session().Config().encodertype, 1);
}

// ---- Size classes: the window fits each screen and every caption can be read; with KPD_SHOTS_DIR set, a
// screenshot with each encoder unit type ----

struct ScreenCase {
    platform::ScreenMetrics screen;
    int sizeClass;
};

class EncoderSetupFormScreens : public ::testing::TestWithParam<ScreenCase> {};

TEST_P(EncoderSetupFormScreens, FitsWithEveryCaptionReadable) {
    apptest::ClearInstallDir();
    const ScreenCase sc = GetParam();
    apptest::Harness h(sc.screen);
    TMainForm &f = *h.form;
    f.EncoderSetupForm = new TEncoderSetupForm(&f);
    f.session().Config().gratingPitch = 20.0f;
    f.Menu().Item("Encoder1")->trigger();
    TEncoderSetupForm &d = *f.EncoderSetupForm;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    EXPECT_LE(d.width(), sc.screen.width);
    EXPECT_LE(d.height(), sc.screen.height);
    const char *dir = std::getenv("KPD_SHOTS_DIR");
    if (dir) QDir().mkpath(dir);
    for (const char *type : {"Encoder Counts", "Linear"}) {
        SCOPED_TRACE(type);
        Item(d.encoderunittypegroup, type)->click();
        for (TRadioGroup *g : {d.encoderunittypegroup, d.unittypegroup}) {
            // The title and every item lie inside the group, and the group inside the window.
            EXPECT_LE(QFontMetrics(g->font()).horizontalAdvance(g->title()) + 16, g->width());
            EXPECT_LE(g->minimumSizeHint().height(), g->height()) << g->objectName().toStdString();
            EXPECT_LE(g->geometry().right(), d.width());
            for (QRadioButton *b : g->findChildren<QRadioButton *>())
                EXPECT_LE(b->sizeHint().width(), b->width()) << b->text().toStdString();
        }
        for (QPushButton *b : {d.applybutton, d.BitBtn2})
            EXPECT_LE(QFontMetrics(b->font()).horizontalAdvance(b->text()) + 8, b->width());
        EXPECT_LE(QFontMetrics(d.gratingpitchlabel->font()).horizontalAdvance(d.gratingpitchlabel->text()),
                  d.gratingpitchlabel->width());
        // Nothing overlaps the buttons.
        for (QWidget *w :
             std::initializer_list<QWidget *>{d.encoderunittypegroup, d.unittypegroup, d.gratingpitchbox})
            EXPECT_LT(w->geometry().bottom(), d.applybutton->y()) << w->objectName().toStdString();
        if (dir)
            d.grab().save(QString("%1/encoder-setup-class-%2-%3.png")
                              .arg(dir)
                              .arg(sc.sizeClass)
                              .arg(QString(type).replace(' ', '-').toLower()));
    }
    d.hide();
}

INSTANTIATE_TEST_SUITE_P(Classes, EncoderSetupFormScreens,
                         ::testing::Values(ScreenCase{{800, 600, 96}, 0}, ScreenCase{{1024, 768, 96}, 1},
                                           ScreenCase{{1280, 1024, 96}, 2}));

} // namespace
