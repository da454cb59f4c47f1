// A session without a window: a recording view, a private install directory, no pauses, and the plot
// modes' worker control recorded. The access object exists only after EnterDemo(), which runs the search
// over an empty port directory and answers "Cannot Detect Electronics..." with Ignore; before that the
// session is in connected mode without an access object, so no worker can start in any mode.
#pragma once

#include "EventLoopWait.h"
#include "RecordingView.h"

#include "platform/ScriptedDialogs.h"
#include "session/Session.h"
#include "session/StatusController.h"
#include "workers/Rgb.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace sessiontest {

using kpdtest::WaitUntil;

class SessionTest : public ::testing::Test {
protected:
    SessionTest() {
        session = std::make_unique<kpd::Session>(view, installDir.path().toStdString());
        session->waitMs = [this](int ms) { waits.push_back(ms); };
        session->SetPlotDataControl(&dc);
    }

    kpd::Session &S() { return *session; }

    // Demo mode with a never-opened access object (port 256): the status monitor works on it, but
    // no worker can reach electronics. Clears what the search recorded.
    void EnterDemo() {
        platform::ScriptedDialogs answers;
        answers.Answer(platform::MessageResult::Ignore);
        {
            platform::ScopedDialogs scope(answers);
            S().Search();
        }
        ASSERT_TRUE(answers.Done());
        ASSERT_TRUE(S().Demo());
        ASSERT_NE(S().Access(), nullptr);
        ASSERT_FALSE(S().PortHeld());
        view.Clear();
        dc.calls.clear();
        waits.clear();
    }

    // Switches to a plot mode through the menu's view item and carries out its show command; clears the
    // records.
    void EnterPlotMode(kpd::DisplayMode mode) {
        S().ShowPlotMode(mode, kpd::CmdShowEncoderSignal + kpd::Index(mode) - 1);
        S().ReadWriteTimerTimer();
        ASSERT_EQ(S().Mode(), mode);
        ASSERT_FALSE(S().ReadWriteTimer()->isActive());
        view.Clear();
        dc.calls.clear();
        S().SetReview(false);
        if (S().Access()) S().Access()->StopRequest = false;
    }

    // Lights the over-signal lamp of the status display as an evaluation would.
    void LightOverSignal() {
        S().Status().MutableView().OverSignalShape = kpd::clRed;
        S().Status().ApplyView();
        ASSERT_TRUE(OverSignalLit());
    }
    bool OverSignalLit() const {
        return !view.statusViews.empty() && view.statusViews.back().OverSignalShape == kpd::clRed;
    }

    // Records `samples` status samples of 0.1 s each in data set 0.
    void RecordStatusSamples(int samples) {
        auto &ring = S().Data().SetupStatus();
        auto intervals = S().Data().Intervals(0);
        for (int i = 0; i < samples; ++i)
            intervals[static_cast<std::size_t>(i)] = 0.1f;
        ring.count.store(samples);
        ring.elapsed.store(0.1f * static_cast<float>(samples));
    }

    QTemporaryDir installDir;
    RecordingView view;
    RecordingDataControl dc;
    std::vector<int> waits;
    std::unique_ptr<kpd::Session> session;
};

} // namespace sessiontest
