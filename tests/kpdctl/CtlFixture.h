// The end-to-end tests' surroundings: a simulator on a pseudo-terminal in the shared port directory (the
// link library of the kpdctl child finds it there through SENSLINK_PORT_DIR), and a temporary directory
// that is KPD's install directory for the child (KPD.ini) and holds the files it writes.
#pragma once

#include "CtlProcess.h"

#include <SimulatorPortDir.h>
#include <kpdsim/Simulator.h>

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace ctltest {

class CtlFixture : public ::testing::Test {
protected:
    // Answers as fast as possible; the head stands still unless a test moves it.
    static kpdsim::SimOptions FastOptions() {
        kpdsim::SimOptions o;
        o.pacing = false;
        return o;
    }
    void StartSimulator(int port, const kpdsim::SimOptions &options = FastOptions()) {
        sim_ = std::make_unique<kpdsim::Simulator>(options);
        ASSERT_TRUE(sim_->start(kpdtest::SimulatorPortDir(), port)) << sim_->lastError();
        port_ = port;
    }
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        ::setenv("KPD_INSTALL_DIR", dir_.path().toStdString().c_str(), 1);
    }
    void TearDown() override {
        if (sim_) sim_->stop();
    }
    kpdsim::Simulator &Sim() { return *sim_; }
    std::string Port() const { return std::to_string(port_); }
    std::string File(const std::string &name) const {
        return dir_.filePath(QString::fromStdString(name)).toStdString();
    }
    std::string Dir() const { return dir_.path().toStdString(); }

    std::unique_ptr<kpdsim::Simulator> sim_;
    int port_ = 0;
    QTemporaryDir dir_;
};

} // namespace ctltest
