// The sentence the "Cannot Detect Electronics" message adds for devices that exist but could not be
// opened: lack of permission names the device and the group owning it, a held device names the device.
#include "session/PortAccessNote.h"

#include <gtest/gtest.h>

namespace {

using Reason = PortOpenFailure::Reason;

PortOpenFailure F(int port, Reason reason, std::string device = {}, std::string group = {}) {
    PortOpenFailure f;
    f.port = port;
    f.reason = reason;
    f.device = std::move(device);
    f.group = std::move(group);
    return f;
}

TEST(PortAccessNote, OnlyPermissionAndHeldDevicesCount) {
    kpd::PortAccessNote note;
    note.Add(F(1, Reason::None));
    note.Add(F(2, Reason::NoDevice, "/dev/ttyS1"));
    note.Add(F(3, Reason::NotSerial, "/tmp/x", "root"));
    note.Add(F(4, Reason::Other, "/dev/ttyS3", "dialout"));
    EXPECT_TRUE(note.Empty());
    EXPECT_EQ(note.Sentence(), "");
}

TEST(PortAccessNote, OneDeviceWithoutPermissionNamesItsGroup) {
    kpd::PortAccessNote note;
    note.Add(F(33, Reason::Permission, "/dev/ttyUSB0", "dialout"));
    EXPECT_FALSE(note.Empty());
    EXPECT_EQ(note.Sentence(),
              "The serial device /dev/ttyUSB0 (COM33) exists but could not be opened for lack of permission: the "
              "user must be a member of the group \"dialout\" that owns it (then log in again).");
}

TEST(PortAccessNote, SeveralDevicesAndGroups) {
    kpd::PortAccessNote two;
    two.Add(F(1, Reason::Permission, "/dev/ttyS0", "dialout"));
    two.Add(F(97, Reason::Permission, "/dev/ttyACM0", "uucp"));
    EXPECT_EQ(two.Sentence(),
              "The serial devices /dev/ttyS0 (COM1) and /dev/ttyACM0 (COM97) exist but could not be opened for "
              "lack of permission: the user must be a member of the groups \"dialout\" and \"uucp\" that own "
              "them (then log in again).");
    kpd::PortAccessNote many;
    for (int port = 1; port <= 32; ++port)
        many.Add(F(port, Reason::Permission, "/dev/ttyS" + std::to_string(port - 1), "dialout"));
    EXPECT_EQ(many.Sentence(),
              "The serial devices /dev/ttyS0 (COM1) and 31 others exist but could not be opened for lack of "
              "permission: the user must be a member of the group \"dialout\" that owns them (then log in "
              "again).");
    EXPECT_EQ(many.Denied().size(), 32u);
}

TEST(PortAccessNote, HeldDevicesAndBothInOneSentence) {
    kpd::PortAccessNote held;
    held.Add(F(34, Reason::Busy, "/dev/ttyUSB1", "dialout"));
    EXPECT_EQ(held.Sentence(), "The serial device /dev/ttyUSB1 (COM34) is held by another program.");
    held.Add(F(35, Reason::Busy, "/dev/ttyUSB2", "dialout"));
    EXPECT_EQ(held.Sentence(),
              "The serial devices /dev/ttyUSB1 (COM34) and /dev/ttyUSB2 (COM35) are held by other programs.");

    kpd::PortAccessNote both;
    both.Add(F(5, Reason::Busy, "/dev/pts/3"));
    both.Add(F(2, Reason::Permission, "/srv/ports/dev0", ""));
    EXPECT_EQ(both.Sentence(),
              "The serial device /srv/ports/dev0 (COM2) exists but could not be opened for lack of permission: "
              "the user must be a member of the group that owns it (then log in again); the serial device "
              "/dev/pts/3 (COM5) is held by another program.");
    // A port without a known device file is named by its number alone.
    kpd::PortAccessNote bare;
    bare.Add(F(7, Reason::Busy));
    EXPECT_EQ(bare.Sentence(), "The serial device COM7 is held by another program.");
}

} // namespace
