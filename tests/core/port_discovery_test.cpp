// Port discovery against a fake sysfs and /dev in a temporary folder, laid
// out as the kernel and udev lay out a USB adapter, a CDC modem, a real
// built-in port, empty built-in ports and a virtual terminal.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "serial/port_discovery.h"

namespace kvt {
namespace {

class FakeTree {
public:
    FakeTree() {
        char tmpl[] = "/tmp/kvt-sysfs-XXXXXX";
        root_ = ::mkdtemp(tmpl);
    }
    ~FakeTree() { std::filesystem::remove_all(root_); }

    void Dir(const std::string& path) { std::filesystem::create_directories(root_ + "/" + path); }
    void File(const std::string& path, const std::string& text) {
        Dir(path.substr(0, path.rfind('/')));
        std::ofstream(root_ + "/" + path) << text << "\n";
    }
    // A symbolic link at path to target (both inside the tree).
    void Link(const std::string& path, const std::string& target) {
        Dir(path.substr(0, path.rfind('/')));
        if (!std::filesystem::exists(root_ + "/" + target)) Dir(target);
        ASSERT_EQ(::symlink((root_ + "/" + target).c_str(), (root_ + "/" + path).c_str()), 0) << path;
    }
    // A tty whose device is `device`, on `subsystem`, with `driver`.
    void Tty(const std::string& name, const std::string& device, const std::string& subsystem,
             const std::string& driver) {
        Link("sys/class/tty/" + name + "/device", "sys/devices/" + device);
        Link("sys/devices/" + device + "/subsystem", "sys/bus/" + subsystem);
        if (!driver.empty())
            Link("sys/devices/" + device + "/driver", "sys/bus/" + subsystem + "/drivers/" + driver);
        File("dev/" + name, "");
    }
    std::string sys() const { return root_ + "/sys"; }
    std::string dev() const { return root_ + "/dev"; }

private:
    std::string root_;
};

TEST(PortDiscovery, ListsRealPortsWithWhatIsBehindThem) {
    FakeTree tree;
    // A USB serial adapter: the tty's device under the interface, the ids
    // on the USB device two levels up, and a stable name from udev.
    const std::string usb = "pci0000:00/0000:00:14.0/usb1/1-2";
    tree.Tty("ttyUSB0", usb + "/1-2:1.0/ttyUSB0", "usb-serial", "ftdi_sio");
    tree.File("sys/devices/" + usb + "/idVendor", "0403");
    tree.File("sys/devices/" + usb + "/idProduct", "6001");
    tree.File("sys/devices/" + usb + "/manufacturer", "FTDI");
    tree.File("sys/devices/" + usb + "/product", "FT232R USB UART");
    tree.Link("dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2-if00-port0", "dev/ttyUSB0");
    // A CDC modem: the tty's device is the interface itself; no stable name.
    const std::string acm = "pci0000:00/0000:00:14.0/usb1/1-3";
    tree.Tty("ttyACM0", acm + "/1-3:1.0", "usb", "cdc_acm");
    tree.File("sys/devices/" + acm + "/idVendor", "2341");
    tree.File("sys/devices/" + acm + "/idProduct", "0043");
    // A real built-in port behind the newer kernels' serial-base devices.
    tree.Tty("ttyS0", "pnp0/00:04/00:04:0/00:04:0.0", "serial-base", "port");
    tree.Link("sys/devices/pnp0/00:04/00:04:0/subsystem", "sys/bus/serial-base");
    tree.Link("sys/devices/pnp0/00:04/subsystem", "sys/bus/pnp");
    tree.Link("sys/devices/pnp0/00:04/driver", "sys/bus/pnp/drivers/serial");
    tree.File("sys/class/tty/ttyS0/type", "4");
    // Built-in ports without a chip: unknown UART type, or on the platform bus.
    tree.Tty("ttyS1", "platform/serial8250/tty/ttyS1", "platform", "serial8250");
    tree.Tty("ttyS2", "pnp0/00:05", "pnp", "serial");
    tree.File("sys/class/tty/ttyS2/type", "0");
    // A virtual terminal has no device.
    tree.Dir("sys/class/tty/tty1");

    const std::vector<SerialPortInfo> ports = DiscoverSerialPorts(tree.sys(), tree.dev());
    ASSERT_EQ(ports.size(), 3u);
    EXPECT_EQ(ports[0].device, tree.dev() + "/ttyACM0");
    EXPECT_EQ(ports[0].path, ports[0].device);
    EXPECT_EQ(ports[0].Describe(), "cdc_acm, USB 2341:0043");
    EXPECT_EQ(ports[1].device, tree.dev() + "/ttyS0");
    EXPECT_EQ(ports[1].Describe(), "serial");
    EXPECT_EQ(ports[2].path, tree.dev() + "/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2-if00-port0");
    EXPECT_EQ(ports[2].device, tree.dev() + "/ttyUSB0");
    EXPECT_EQ(ports[2].Describe(), "ftdi_sio, USB 0403:6001 FTDI FT232R USB UART");
}

TEST(PortDiscovery, NoSysfsMeansNoPorts) {
    EXPECT_TRUE(DiscoverSerialPorts("/nonexistent/sys", "/nonexistent/dev").empty());
}

}  // namespace
}  // namespace kvt
