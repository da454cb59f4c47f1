// The serial ports: the simulator's port, its device and by-id name, and the port found by its device.
#include "access/SerialPorts.h"
#include "SimulatedLink.h"

#include <filesystem>

TEST_F(SimulatedLink, SerialPortsListTheSimulatorAndFindItByItsDevice) {
    const std::string byId = testPortDir() + "/by-id", link = byId + "/usb-KPD_Simulated-if00-port0";
    std::filesystem::create_directory(byId);
    std::filesystem::create_symlink(sim.devicePath(), link);
    const std::vector<SerialPortInfo> ports = SerialPorts::List(byId);
    ASSERT_EQ(ports.size(), 1u);
    EXPECT_EQ(ports[0].port, kPort);
    EXPECT_EQ(ports[0].device, sim.devicePath());
    EXPECT_EQ(ports[0].byId, link);
    EXPECT_EQ(ports[0].access, PortOpenFailure::Reason::None); // openable
    EXPECT_EQ(SerialPorts::PortOfDevice(link), kPort);
    std::filesystem::remove_all(byId);
}
