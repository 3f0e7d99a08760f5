#pragma once

#include <string>
#include <vector>

namespace kps::bench {

// A printing device of a measuring outlet: a network printer ('O') on a
// loopback port or a direct port ('D') that is a FIFO read by the harness.
struct BenchDevice {
    int code = 0;  // also its position in the printer groups' flags
    std::string name;
    char type = 'O';
    int port = 0;        // network printers
    int divertCode = 0;  // 0: no divert printer
};

struct BenchGroup {
    std::string code;
    std::string flags;  // "O" at position n: device n prints the group's tickets
};

struct BenchItem {
    std::string code;
    std::string group;
};

struct OutletPlan {
    std::vector<BenchDevice> devices;
    std::vector<BenchGroup> groups;
    std::vector<BenchItem> items;
    std::string releasePause;  // written as ReleasePause when not empty
};

// A fresh outlet in a new folder under /tmp (disk-backed, the database with
// SQLite's default durability): settings, printer registry, one layout file
// whose header names the table, the order database with the plan's master
// data and a FIFO for every direct port. The folder stays for inspection.
class BenchOutlet {
  public:
    explicit BenchOutlet(const OutletPlan& plan);

    const std::string& Folder() const { return folder_; }
    std::string Settings() const { return folder_ + "/GSetup.ini"; }
    std::string Database() const { return folder_ + "/outlet.db"; }
    // The folder of the direct ports, renamed away to make them go missing.
    std::string PortFolder() const { return folder_ + "/ports"; }
    std::string PortPath(const std::string& deviceName) const;

  private:
    std::string folder_;
};

}  // namespace kps::bench
