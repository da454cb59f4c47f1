// Command codes of the main window's command scheduler. Every user action that needs the electronics, a
// change of display mode or a file operation becomes one of these codes; the scheduler carries it out once
// the running worker has ended.
#pragma once

namespace kpd {

enum Command : int {
    CmdNone = 0,
    CmdCenterIndex = 3,
    CmdShowInfo = 4,
    CmdSearch = 5,
    CmdSoftwareReset = 6,
    CmdZeroPosition = 7,
    CmdShowEncoderSignal = 8,
    CmdShowSignalStrength = 9,
    CmdShowSignalPlots = 10,
    CmdShowStatus = 11,
    CmdApplyPlotSettings = 12,
    CmdShowEngineering = 13,
    CmdLeaveEngineering = 14,
    CmdEngineeringWrite = 15,
    CmdSaveData = 16,
    CmdStepBack = 17,
    CmdReplay = 18,
    CmdLoadData = 19,
    CmdStopData = 20,
    CmdClearBuffers = 21,
    CmdStartCalibration = 22,
    CmdStopCalibration = 23,
    CmdSetCalibration = 24,
    CmdWriteOutputSettings = 25,
    CmdEnableMainAgc = 26,
    CmdDisableMainAgc = 27,
    CmdStartAlignment = 28,
    CmdStopAlignment = 29,
};

constexpr int kFirstCommand = 0;
constexpr int kLastCommand = 29;

} // namespace kpd
