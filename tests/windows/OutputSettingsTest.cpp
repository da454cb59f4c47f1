// Output settings: the dialog's preselection from GenReg1, the two words written, and the dialog flow.
#include "session/OutputSettings.h"
#include "AppTestSupport.h"
#include "access/RegisterMap.h"
#include "windows/TRadioDialog.h"

#include <QTimer>
#include <gtest/gtest.h>

using kpd::ComposeOutputWrites;
using kpd::OutputSelection;
using kpd::PreselectOutputs;

TEST(OutputSettings, ClearWordPreselectsActiveLowEnabledLsbIndex) {
    const OutputSelection s = PreselectOutputs(0x0000);
    EXPECT_EQ(s.polarity, 0);
    EXPECT_EQ(s.enable, 0);
    EXPECT_EQ(s.indexType, 1);
    const auto w = ComposeOutputWrites(0x0000, s);
    EXPECT_EQ(w.first, 0x20020u);
    EXPECT_EQ(w.second, 0x10020020u);
}

TEST(OutputSettings, SetBitsPreselectActiveHighDisabledIndexWindow) {
    const OutputSelection s = PreselectOutputs(0x0013);
    EXPECT_EQ(s.polarity, 1);
    EXPECT_EQ(s.enable, 1);
    EXPECT_EQ(s.indexType, 0);
    const auto w = ComposeOutputWrites(0x0013, s);
    EXPECT_EQ(w.first, 0x20093u);
    EXPECT_EQ(w.second, 0x10020093u);
}

TEST(OutputSettings, KeptBitsAndBitThreeClearedInTheSecondWrite) {
    const auto w = ComposeOutputWrites(0x004C, OutputSelection{0, 0, 0});
    EXPECT_EQ(w.first, 0x2005Cu);
    EXPECT_EQ(w.second, 0x10020054u);
    // High byte of the copy and the other bits never leak into the word.
    const auto x = ComposeOutputWrites(0xFFFF, OutputSelection{0, 0, 1});
    EXPECT_EQ(x.first, 0x2006Cu);
    EXPECT_EQ(x.second, 0x10020064u);
    // Both index bits set, or bit 5 alone, read back as "LSB Index".
    EXPECT_EQ(PreselectOutputs(0x0030).indexType, 1);
    EXPECT_EQ(PreselectOutputs(0x0020).indexType, 1);
    // Bit 7 alone does not decide the enable state.
    EXPECT_EQ(PreselectOutputs(0x0080).enable, 0);
}

TEST(OutputSettingsDialog, PreselectsFromTheCopyAndQueuesTheWriteOnOk) {
    apptest::ClearInstallDir();
    // Electronics with interpolation depth 4, found with the status display stopped (no worker reads
    // GenReg1 meanwhile).
    kpdsim::SimOptions o;
    o.interpDepth = 4;
    apptest::SimulatedElectronics sim(o);
    ASSERT_TRUE(sim.Started()) << sim.Error();
    apptest::Harness h;
    TMainForm &f = *h.form;
    platform::ScriptedDialogs dialogs;
    platform::ScopedDialogs scope(dialogs);
    ASSERT_TRUE(apptest::ConnectStopped(f));
    EXPECT_EQ(f.session().InterpolationCopy(), 4);
    f.RadioDialog = new TRadioDialog(&f);
    f.session().SetGenReg1Copy(0x0013);
    h.modalResult = QDialog::Accepted;
    f.SetInterpolationButtonClick();
    ASSERT_EQ(h.modalShown.size(), 1u);
    TRadioDialog &d = *f.RadioDialog;
    EXPECT_EQ(d.windowTitle(), "Settings");
    EXPECT_EQ(d.RadioGroup1->title(), "Limits Polarity");
    EXPECT_EQ(d.RadioGroup1->Items(), QStringList({"Active Low", "Active High"}));
    EXPECT_EQ(d.RadioGroup2->Items(), QStringList({"Enabled", "Disabled"}));
    EXPECT_EQ(d.RadioGroup3->Items(), QStringList({"Index Window", "LSB Index"}));
    EXPECT_EQ(d.RadioGroup1->ItemIndex(), 1);
    EXPECT_EQ(d.RadioGroup2->ItemIndex(), 1);
    EXPECT_EQ(d.RadioGroup3->ItemIndex(), 0);
    EXPECT_FALSE(d.RadioGroup3->isEnabled()); // greyed out with interpolation 4
    EXPECT_FALSE(d.RadioGroup3->isHidden());
    EXPECT_EQ(f.session().PendingCommand(), kpd::CmdWriteOutputSettings);
    EXPECT_EQ(f.session().ReadWriteTimer()->interval(), 300);
    EXPECT_TRUE(f.session().ReadWriteTimer()->isActive());
    f.session().ReadWriteTimer()->stop();
    apptest::Disconnect(f);
}

TEST(OutputSettingsDialog, CancelQueuesNothing) {
    apptest::Harness h;
    TMainForm &f = *h.form;
    f.RadioDialog = new TRadioDialog(&f);
    h.modalResult = QDialog::Rejected;
    f.SetInterpolationButtonClick();
    EXPECT_EQ(h.modalShown.size(), 1u);
    EXPECT_FALSE(f.session().ReadWriteTimer()->isActive());
    EXPECT_EQ(f.session().PendingCommand(), 0);
    // Interpolation other than 4 leaves the group's enabled state as it was.
    EXPECT_TRUE(f.RadioDialog->RadioGroup3->isEnabled());
}

TEST(OutputSettingsDialog, TheGreyedIndexTypeStillSetsItsBitInTheWrittenWord) {
    apptest::ClearInstallDir();
    kpdsim::SimOptions o;
    o.interpDepth = 4;
    apptest::SimulatedElectronics sim(o);
    ASSERT_TRUE(sim.Started()) << sim.Error();
    apptest::Harness h;
    TMainForm &f = *h.form;
    platform::ScriptedDialogs dialogs;
    platform::ScopedDialogs scope(dialogs);
    ASSERT_TRUE(apptest::ConnectStopped(f));
    f.RadioDialog = new TRadioDialog(&f);
    h.modalResult = QDialog::Accepted;
    // OK on the preselection: "LSB Index" from a clear copy, "Index Window" from 0x0013.
    for (const auto &[copy, written] : {std::pair<uint16_t, uint16_t>{0x0000, 0x0020}, {0x0013, 0x0093}}) {
        SCOPED_TRACE(copy);
        f.session().SetGenReg1Copy(copy);
        f.SetInterpolationButtonClick();
        ASSERT_FALSE(f.RadioDialog->RadioGroup3->isEnabled());
        ASSERT_TRUE(apptest::WaitUntil([&] { return !f.session().Scheduler().Armed(); }, 5000));
        EXPECT_EQ(sim->reg(reg::GenReg1), written);
    }
    // The choice made in the dialog is what the command writes; Cancel writes nothing.
    f.execDialog = [&f](QDialog *) {
        f.RadioDialog->RadioGroup1->SetItemIndex(1); // "Active High"
        f.RadioDialog->RadioGroup2->SetItemIndex(1); // "Disabled"
        return int(QDialog::Accepted);
    };
    f.session().SetGenReg1Copy(0x0000);
    f.SetInterpolationButtonClick();
    ASSERT_TRUE(apptest::WaitUntil([&] { return !f.session().Scheduler().Armed(); }, 5000));
    EXPECT_EQ(sim->reg(reg::GenReg1), 0x00A3);
    f.execDialog = [](QDialog *) { return int(QDialog::Rejected); };
    f.SetInterpolationButtonClick();
    EXPECT_FALSE(f.session().Scheduler().Armed());
    EXPECT_EQ(sim->reg(reg::GenReg1), 0x00A3);
    EXPECT_TRUE(dialogs.Questions().empty());
    apptest::Disconnect(f);
}

TEST(OutputSettingsDialog, WhatOkChoseIsWrittenEvenIfTheSharedDialogIsReusedBeforeTheTick) {
    // GenReg1 0x0010, OK pressed unchanged, then at once the engineering write lock (Ctrl+Alt+S) rewrites
    // the shared dialog's groups before command 25 runs; then the same with a changed index type and the
    // index-type group re-enabled for electronics with interpolation other than 4.
    apptest::ClearInstallDir();
    apptest::SimulatedElectronics sim;
    ASSERT_TRUE(sim.Started()) << sim.Error();
    apptest::Harness h;
    TMainForm &f = *h.form;
    platform::ScriptedDialogs dialogs;
    platform::ScopedDialogs scope(dialogs);
    ASSERT_TRUE(apptest::ConnectStopped(f));
    f.RadioDialog = new TRadioDialog(&f);
    f.RadioDialog->RadioGroup3->setEnabled(false); // greyed by earlier electronics with interpolation 4
    for (const auto &[choice, written] : {std::pair<int, uint16_t>{-1, 0x0010}, {1, 0x0020}}) {
        SCOPED_TRACE(written);
        sim->setReg(reg::GenReg1, 0x0010);
        f.session().SetGenReg1Copy(0x0010);
        f.execDialog = [&f, choice = choice](QDialog *) {
            EXPECT_TRUE(f.RadioDialog->RadioGroup3->isEnabled());
            if (choice >= 0) f.RadioDialog->RadioGroup3->SetItemIndex(choice);
            return int(QDialog::Accepted);
        };
        f.SetInterpolationButtonClick();
        ASSERT_TRUE(f.session().Scheduler().Armed());
        f.execDialog = [](QDialog *) { return int(QDialog::Rejected); };
        f.EngineeringDisplay1Click();
        ASSERT_TRUE(apptest::WaitUntil([&] { return !f.session().Scheduler().Armed(); }, 5000));
        EXPECT_EQ(sim->reg(reg::GenReg1), written);
    }
    apptest::Disconnect(f);
}
