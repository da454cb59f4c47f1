// Port table, line settings, time-outs and raw I/O through the shared library.
#include "LinkFixture.h"

#include <cstdlib>
#include <string>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

using namespace std::chrono;

namespace {

// Runs the helper program that opens the port in a second process; returns its OpenPort result.
int openInOtherProcess(int port) {
    const pid_t pid = fork();
    if (pid == 0) {
        const std::string arg = std::to_string(port);
        execl(SENSLINK_OPEN_HELPER, SENSLINK_OPEN_HELPER, arg.c_str(), static_cast<char *>(nullptr));
        _exit(99);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status)) return 98;
    const int code = WEXITSTATUS(status);
    return code == 255 ? -1 : code;
}

} // namespace

TEST(PortTable, OutOfRangePortsFailAndCloseIsHarmless) {
    for (int port : {0, 257, -1, 1000}) {
        EXPECT_EQ(OpenPort(port), -1) << port;
        EXPECT_EQ(ClosePort(port), 0) << port;
        int t = 0, b = 0;
        EXPECT_EQ(GetPortConfig(port, &t, &b), -1);
        EXPECT_EQ(ConfigPort(port, 200, 38400), -1);
        EXPECT_EQ(ClearRxBuffer(port), -1);
        EXPECT_EQ(SendSync(port), -2);
        uint16_t v = 0;
        EXPECT_EQ(ReadRegisterVK240(port, 0x420000, &v), -2);
    }
}

TEST(PortTable, NeverOpenedPortFailsButClosesWithZero) {
    PtyPeer peer(12);
    EXPECT_EQ(ClosePort(12), 0);
    EXPECT_EQ(ClearRxBuffer(12), -1);
    EXPECT_EQ(WriteRs232Data(12, 1, reinterpret_cast<const uint8_t *>("x")), -1);
}

TEST(PortTable, MissingDeviceAndNonTerminalFail) {
    PtyPeer peer(3);
    EXPECT_EQ(OpenPort(4), -1); // no COM4 link
    const std::string plain = peer.portDir() + "/COM9";
    FILE *f = fopen(plain.c_str(), "w");
    ASSERT_NE(f, nullptr);
    fclose(f);
    EXPECT_EQ(OpenPort(9), -1); // a regular file is not a serial device
}

TEST(PortTable, DevicePathWithoutPortDirUsesFixedTable) {
    // COM161 and above have no device at all; with the variable unset the table applies.
    const char *saved = std::getenv("SENSLINK_PORT_DIR");
    std::string keep = saved ? saved : "";
    unsetenv("SENSLINK_PORT_DIR");
    EXPECT_EQ(OpenPort(161), -1);
    EXPECT_EQ(OpenPort(256), -1);
    if (saved) setenv("SENSLINK_PORT_DIR", keep.c_str(), 1);
}

TEST_F(LinkTest, SecondOpenKeepsHandleAndCloseReopens) {
    EXPECT_EQ(OpenPort(kPort), 0);
    EXPECT_EQ(SendSync(kPort), 0);
    EXPECT_EQ(ClosePort(kPort), 0);
    EXPECT_EQ(SendSync(kPort), -2);
    EXPECT_EQ(ClosePort(kPort), 0);
    EXPECT_EQ(OpenPort(kPort), 0);
    EXPECT_EQ(ConfigPort(kPort, 200, 38400), 0);
    EXPECT_EQ(SendSync(kPort), 0);
}

TEST_F(LinkTest, OpenIsExclusiveWithinAndAcrossProcesses) {
    peer->link(8); // a second name for the same terminal
    EXPECT_EQ(OpenPort(8), -1);
    EXPECT_EQ(openInOtherProcess(8), -1);
    ClosePort(kPort);
    EXPECT_EQ(openInOtherProcess(8), 0); // free again once closed
    EXPECT_EQ(OpenPort(8), 0);
    EXPECT_EQ(OpenPort(kPort), -1);
    EXPECT_EQ(ClosePort(8), 0);
}

TEST_F(LinkTest, ExclusiveFlagIsLiftedOnClose) {
    int excl = -1;
    ASSERT_EQ(ioctl(peer->terminalFd(), TIOCGEXCL, &excl), 0);
    EXPECT_EQ(excl, 1);
    ASSERT_EQ(ClosePort(kPort), 0);
    ASSERT_EQ(ioctl(peer->terminalFd(), TIOCGEXCL, &excl), 0);
    EXPECT_EQ(excl, 0);
}

TEST_F(LinkTest, ConfigRoundTripAndUnsupportedBaud) {
    int t = 0, b = 0;
    ASSERT_EQ(ConfigPort(kPort, 50, 38400), 0);
    ASSERT_EQ(GetPortConfig(kPort, &t, &b), 0);
    EXPECT_EQ(t, 50);
    EXPECT_EQ(b, 38400);
    ASSERT_EQ(ConfigPort(kPort, 1234, 115200), 0);
    ASSERT_EQ(GetPortConfig(kPort, &t, &b), 0);
    EXPECT_EQ(t, 1234);
    EXPECT_EQ(b, 115200);
    EXPECT_EQ(ConfigPort(kPort, 200, 12345), -1);
    EXPECT_EQ(ConfigPort(kPort, -5, 38400), -1);
    EXPECT_EQ(ConfigPort(kPort, 200, 0), -1);
    EXPECT_EQ(GetPortConfig(kPort, nullptr, &b), -1);
    EXPECT_EQ(GetPortConfig(kPort, &t, nullptr), -1);
    ASSERT_EQ(GetPortConfig(kPort, &t, &b), 0);
    EXPECT_EQ(t, 1234); // failed calls changed nothing
    EXPECT_EQ(b, 115200);
}

TEST_F(LinkTest, ConfigPortAppliesLinkLineSettings) {
    DCB d{};
    COMMTIMEOUTS to{};
    COMMPROP p{};
    ASSERT_EQ(ConfigPort(kPort, 75, 19200), 0);
    ASSERT_EQ(GetCompleteComConfig(kPort, &d, &to, &p), 0);
    EXPECT_EQ(d.BaudRate, 19200u);
    EXPECT_EQ(d.ByteSize, 8);
    EXPECT_EQ(d.Parity, EVENPARITY);
    EXPECT_EQ(d.StopBits, ONESTOPBIT);
    EXPECT_EQ(d.fBinary, 1u);
    EXPECT_EQ(d.fParity, 0u);
    EXPECT_EQ(d.fOutxCtsFlow, 0u);
    EXPECT_EQ(d.fOutX, 0u);
    EXPECT_EQ(d.fInX, 0u);
    EXPECT_EQ(d.fDtrControl, unsigned(DTR_CONTROL_DISABLE));
    EXPECT_EQ(d.fRtsControl, unsigned(RTS_CONTROL_ENABLE));
    EXPECT_EQ(to.ReadIntervalTimeout, 0u);
    EXPECT_EQ(to.ReadTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(to.ReadTotalTimeoutConstant, 75u);
    EXPECT_EQ(to.WriteTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(to.WriteTotalTimeoutConstant, 75u);
    EXPECT_EQ(p.wPacketLength, sizeof(COMMPROP));
    EXPECT_NE(p.dwSettableBaud, 0u);

    // The terminal itself runs 19200 baud, 8 data bits, one stop bit, no flow control. (A pseudo-terminal
    // does not keep parity bits, so parity is only seen in the record above.)
    termios t{};
    ASSERT_EQ(tcgetattr(peer->terminalFd(), &t), 0);
    EXPECT_EQ(cfgetospeed(&t), speed_t(B19200));
    EXPECT_EQ(cfgetispeed(&t), speed_t(B19200));
    EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_EQ(t.c_cflag & CSTOPB, 0u);
    EXPECT_EQ(t.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), 0u);

    ASSERT_EQ(ConfigPort(kPort, 75, 115200), 0);
    ASSERT_EQ(tcgetattr(peer->terminalFd(), &t), 0);
    EXPECT_EQ(cfgetospeed(&t), speed_t(B115200));
}

TEST_F(LinkTest, CompleteConfigForces8E1AndKeepsStoredFields) {
    DCB d{};
    d.BaudRate = 57600;
    d.ByteSize = 7;
    d.Parity = 0;
    d.StopBits = 2;
    d.fDtrControl = DTR_CONTROL_ENABLE;
    d.fRtsControl = RTS_CONTROL_DISABLE;
    d.fTXContinueOnXoff = 1;
    d.fNull = 1;
    d.XonLim = 111;
    d.XoffLim = 222;
    d.XonChar = 0x11;
    d.XoffChar = 0x13;
    d.EofChar = 0x1A;
    d.EvtChar = 0x7E;
    d.wReserved = 0x5555;
    COMMTIMEOUTS to{5, 6, 7, 8, 9};
    ASSERT_EQ(SetCompleteComConfig(kPort, d, to, 8192, 1024), 0);
    DCB g{};
    COMMTIMEOUTS gt{};
    COMMPROP gp{};
    ASSERT_EQ(GetCompleteComConfig(kPort, &g, &gt, &gp), 0);
    EXPECT_EQ(g.BaudRate, 57600u);
    EXPECT_EQ(g.ByteSize, 8);
    EXPECT_EQ(g.Parity, EVENPARITY);
    EXPECT_EQ(g.StopBits, ONESTOPBIT);
    EXPECT_EQ(g.fDtrControl, unsigned(DTR_CONTROL_ENABLE));
    EXPECT_EQ(g.fRtsControl, unsigned(RTS_CONTROL_DISABLE));
    EXPECT_EQ(g.fTXContinueOnXoff, 1u);
    EXPECT_EQ(g.fNull, 1u);
    EXPECT_EQ(g.XonLim, 111);
    EXPECT_EQ(g.XoffLim, 222);
    EXPECT_EQ(g.EofChar, 0x1A);
    EXPECT_EQ(g.EvtChar, 0x7E);
    EXPECT_EQ(g.wReserved, 0);
    EXPECT_EQ(gt.ReadIntervalTimeout, 5u);
    EXPECT_EQ(gt.ReadTotalTimeoutMultiplier, 6u);
    EXPECT_EQ(gt.ReadTotalTimeoutConstant, 7u);
    EXPECT_EQ(gt.WriteTotalTimeoutMultiplier, 8u);
    EXPECT_EQ(gt.WriteTotalTimeoutConstant, 9u);
    EXPECT_EQ(gp.dwCurrentRxQueue, 8192u);
    EXPECT_EQ(gp.dwCurrentTxQueue, 1024u);

    d.BaudRate = 4711; // not a rate the line can run
    EXPECT_EQ(SetCompleteComConfig(kPort, d, to, 8192, 1024), -1);
    d.BaudRate = 9600;
    EXPECT_EQ(SetCompleteComConfig(kPort, d, to, -1, 1024), -3);
}

TEST_F(LinkTest, CompleteConfigNullRecordsStopInOrder) {
    DCB d{};
    d.BaudRate = 1;
    COMMTIMEOUTS to{1, 1, 1, 1, 1};
    EXPECT_EQ(GetCompleteComConfig(kPort, nullptr, &to, nullptr), -1);
    EXPECT_EQ(to.ReadTotalTimeoutConstant, 1u); // untouched
    EXPECT_EQ(GetCompleteComConfig(kPort, &d, nullptr, nullptr), -2);
    EXPECT_EQ(d.BaudRate, 38400u);
    EXPECT_EQ(GetCompleteComConfig(kPort, &d, &to, nullptr), -3);
    EXPECT_EQ(to.ReadTotalTimeoutConstant, 200u);
    EXPECT_EQ(GetCompleteComConfig(99, &d, &to, nullptr), -1);
}

TEST_F(LinkTest, RawReadFullAndPartialCount) {
    uint8_t buf[10] = {};
    int got = -7;
    peer->send({1, 2, 3, 4, 5, 6, 7, 8, 9, 0xFF});
    EXPECT_EQ(ReadRs232Data(kPort, 10, buf, &got), 1);
    EXPECT_EQ(got, 10);
    EXPECT_EQ(buf[9], 0xFF); // no parity marking: 0xFF arrives as one byte
    peer->send({0xFF, 0x00, 0xFF, 4, 5, 6});
    EXPECT_EQ(ReadRs232Data(kPort, 10, buf, &got), -1);
    EXPECT_EQ(got, 6);
    EXPECT_EQ(buf[0], 0xFF);
    EXPECT_EQ(buf[1], 0x00);
    EXPECT_EQ(buf[2], 0xFF);
}

TEST_F(LinkTest, ReadTimeoutIsTotalForTheWholeRead) {
    ASSERT_EQ(ConfigPort(kPort, 300, 38400), 0);
    uint8_t buf[10];
    int got = 0;
    std::thread trickle([this] {
        peer->send({1, 2, 3});
        std::this_thread::sleep_for(milliseconds(120));
        peer->send({4, 5, 6});
    });
    const auto t0 = steady_clock::now();
    const int rc = ReadRs232Data(kPort, 10, buf, &got);
    const auto elapsed = msSince(t0);
    trickle.join();
    EXPECT_EQ(rc, -1);
    EXPECT_EQ(got, 6);
    EXPECT_GE(elapsed, 270);
    EXPECT_LT(elapsed, 300 + 150); // measured from the call, not from the last byte
}

TEST_F(LinkTest, CompleteReadReturnsWithoutWaitingForTheTimeout) {
    ASSERT_EQ(ConfigPort(kPort, 2000, 38400), 0);
    peer->send({9, 8, 7, 6});
    uint8_t buf[4];
    int got = 0;
    const auto t0 = steady_clock::now();
    EXPECT_EQ(ReadRs232Data(kPort, 4, buf, &got), 1);
    EXPECT_LT(msSince(t0), 1000);
}

TEST_F(LinkTest, RawIoRejectsBadArguments) {
    uint8_t buf[4];
    int got = 5;
    EXPECT_EQ(ReadRs232Data(kPort, -1, buf, &got), -1);
    EXPECT_EQ(ReadRs232Data(kPort, 4, nullptr, &got), -1);
    EXPECT_EQ(ReadRs232Data(kPort, 4, buf, nullptr), -1);
    EXPECT_EQ(WriteRs232Data(kPort, -1, buf), -1);
    EXPECT_EQ(WriteRs232Data(kPort, 4, nullptr), -1);
    EXPECT_TRUE(peer->received().empty());
}

TEST_F(LinkTest, RawWriteReportsCountAndPurgesSucceed) {
    const uint8_t out[5] = {0x80, 0x01, 0x02, 0xFF, 0x00};
    EXPECT_EQ(WriteRs232Data(kPort, 5, out), 5);
    EXPECT_EQ(wire(5), Bytes(out, out + 5));
    EXPECT_EQ(ClearTxBuffer(kPort), 0);
    EXPECT_EQ(PurgeRxTx(kPort), 0);
}

TEST_F(LinkTest, ClearRxBufferDiscardsPendingBytes) {
    peer->send({1, 2, 3});
    std::this_thread::sleep_for(milliseconds(50));
    EXPECT_EQ(ClearRxBuffer(kPort), 0);
    ASSERT_EQ(ConfigPort(kPort, 50, 38400), 0);
    uint8_t b;
    int got = 0;
    EXPECT_EQ(ReadRs232Data(kPort, 1, &b, &got), -1);
    EXPECT_EQ(got, 0);
}

TEST_F(LinkTest, SystemResetHoldsThreeHundredMillisecondsAndKeepsSettings) {
    const auto t0 = steady_clock::now();
    EXPECT_EQ(SystemReset(kPort), 0);
    const auto elapsed = msSince(t0);
    EXPECT_GE(elapsed, 290);
    EXPECT_LT(elapsed, 300 + 150);
    int t = 0, b = 0;
    ASSERT_EQ(GetPortConfig(kPort, &t, &b), 0);
    EXPECT_EQ(t, 200);
    EXPECT_EQ(b, 38400);
    DCB d{};
    COMMTIMEOUTS to{};
    COMMPROP p{};
    ASSERT_EQ(GetCompleteComConfig(kPort, &d, &to, &p), 0);
    EXPECT_EQ(d.fDtrControl, unsigned(DTR_CONTROL_DISABLE)); // DTR inactive again after the pulse
    EXPECT_EQ(SystemReset(55), -1);
    EXPECT_TRUE(peer->received().empty()); // nothing on the data line
}
