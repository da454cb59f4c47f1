// The serial ports as the link library reaches them: the simulator's port with its device and a by-id
// name, whether it can be opened, and a port found by the path of its device.
#include "access/SerialPorts.h"
#include "SimulatedLink.h"

#include <filesystem>
#include <unistd.h>

using SerialPortsTest = SimulatedLink;

TEST_F(SerialPortsTest, ListsTheSimulatorsPortAndFindsItByItsDevice) {
    namespace fs = std::filesystem;
    std::string byId = (fs::temp_directory_path() / "kpd-by-id-XXXXXX").string();
    ASSERT_NE(::mkdtemp(byId.data()), nullptr);
    const std::string link = byId + "/usb-KPD_Simulated_Electronics-if00-port0";
    fs::create_symlink(sim.devicePath(), link);

    const std::vector<SerialPortInfo> ports = SerialPorts::List(byId);
    ASSERT_EQ(ports.size(), 1u); // the port directory holds this simulator only
    EXPECT_EQ(ports[0].port, kPort);
    EXPECT_EQ(ports[0].path, testPortDir() + "/COM3");
    EXPECT_EQ(ports[0].device, sim.devicePath());
    EXPECT_EQ(ports[0].byId, link);
    EXPECT_EQ(ports[0].access, PortOpenFailure::Reason::None);
    connect(); // the listing closed the port again: it can be connected

    EXPECT_EQ(SerialPorts::PortOfDevice(link), kPort);
    EXPECT_EQ(SerialPorts::PortOfDevice(sim.devicePath()), kPort);
    EXPECT_EQ(SerialPorts::PortOfDevice(byId + "/missing"), 0);
    EXPECT_EQ(SerialPorts::PortOfDevice(byId), 0); // exists, but is no port's device
    fs::remove_all(byId);
}
