#include "serial/port_discovery.h"

#include <dirent.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <map>

namespace kvt {

namespace {

std::vector<std::string> Entries(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (dirent* e = ::readdir(d)) {
            const std::string n = e->d_name;
            if (n != "." && n != "..") names.push_back(n);
        }
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string RealPath(const std::string& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? resolved : "";
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The last part of where a sysfs link points ("driver", "subsystem").
std::string LinkName(const std::string& link) {
    const std::string target = RealPath(link);
    return target.empty() ? "" : BaseName(target);
}

// The first line of a sysfs attribute file, or "".
std::string Attribute(const std::string& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

std::string Parent(const std::string& dir) { return dir.substr(0, dir.rfind('/')); }

// The hardware behind a tty's device: newer kernels put "serial-base" port
// and controller devices between the tty and the chip.
std::string Hardware(std::string device) {
    for (int up = 0; up < 3 && LinkName(device + "/subsystem") == "serial-base"; ++up)
        device = Parent(device);
    return device;
}

// A built-in 8250 port the kernel lists whether or not a chip is there: its
// UART type reads 0 (unknown), or it hangs off the platform bus.
bool IsEmptyBuiltInPort(const std::string& name, const std::string& ttyDir,
                        const std::string& hardware) {
    if (name.rfind("ttyS", 0) != 0) return false;
    return Attribute(ttyDir + "/type") == "0" || LinkName(hardware + "/subsystem") == "platform";
}

// USB ids and strings from the nearest USB device above a tty's device.
void AddUsbFacts(std::string dir, const std::string& devicesRoot, SerialPortInfo* info) {
    for (int up = 0; up < 4 && dir.size() > devicesRoot.size(); ++up, dir = Parent(dir)) {
        const std::string vendor = Attribute(dir + "/idVendor");
        if (vendor.empty()) continue;
        info->usbId = vendor + ":" + Attribute(dir + "/idProduct");
        info->manufacturer = Attribute(dir + "/manufacturer");
        info->product = Attribute(dir + "/product");
        return;
    }
}

// Stable names: device path -> /dev/serial/by-id/... pointing at it.
std::map<std::string, std::string> StableNames(const std::string& devRoot) {
    std::map<std::string, std::string> names;
    const std::string byId = devRoot + "/serial/by-id";
    for (const std::string& name : Entries(byId)) {
        const std::string target = RealPath(byId + "/" + name);
        if (!target.empty()) names.emplace(target, byId + "/" + name);
    }
    return names;
}

}  // namespace

std::string SerialPortInfo::Describe() const {
    std::string text = driver.empty() ? "unknown driver" : driver;
    if (!usbId.empty()) text += ", USB " + usbId;
    for (const std::string* s : {&manufacturer, &product})
        if (!s->empty()) text += " " + *s;
    return text;
}

std::vector<SerialPortInfo> DiscoverSerialPorts(const std::string& sysRoot,
                                                const std::string& devRoot) {
    const std::string devicesRoot = RealPath(sysRoot + "/devices");
    const std::map<std::string, std::string> stable = StableNames(devRoot);
    std::vector<SerialPortInfo> ports;
    for (const std::string& name : Entries(sysRoot + "/class/tty")) {
        const std::string ttyDir = sysRoot + "/class/tty/" + name;
        const std::string linked = RealPath(ttyDir + "/device");
        if (linked.empty()) continue;  // a virtual terminal, a pty
        const std::string device = Hardware(linked);
        if (IsEmptyBuiltInPort(name, ttyDir, device)) continue;
        SerialPortInfo info;
        info.device = devRoot + "/" + name;
        const auto found = stable.find(RealPath(info.device));
        info.path = found != stable.end() ? found->second : info.device;
        info.driver = LinkName(device + "/driver");
        AddUsbFacts(device, devicesRoot, &info);
        ports.push_back(info);
    }
    return ports;
}

}  // namespace kvt
