#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "database/Connection.h"
#include "harness/BenchPostgres.h"

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

// Where a measuring outlet keeps its order database, and which schema
// scripts make it: those of the server under measure, so that an older
// binary meets the tables it was built for.
struct OutletDatabase {
    std::optional<PostgresLogin> postgres;  // empty: an SQLite file in the outlet's folder
    std::string schemaFolder;
    // PostgreSQL: with the schema's change-signal triggers when the folder
    // has them; without, any trigger on the waiting tables is dropped.
    bool trigger = true;
};

// The schema folder of the tree a server binary was built in (a parent of
// its folder holding schema/sqlite.sql), else this tree's.
std::string SchemaFolderOf(const std::string& serverExecutable);

// The schema's script that makes PostgreSQL signal changes: the main one
// when it makes the triggers itself, else a postgres script beside it that
// sends NOTIFY (an add-on for existing databases will do); empty when none.
std::string ChangeSignalScript(const std::string& schemaFolder);

// A fresh outlet in a new folder under /tmp (disk-backed, SQLite with its
// default durability, or a new database on the given PostgreSQL): settings
// with a status address of its own, printer registry, one layout file whose
// header names the table, the order database with the plan's master data
// and a FIFO for every direct port. The folder stays for inspection.
class BenchOutlet {
  public:
    explicit BenchOutlet(const OutletPlan& plan);
    BenchOutlet(const OutletPlan& plan, const OutletDatabase& where);

    const std::string& Folder() const { return folder_; }
    std::string Settings() const { return folder_ + "/GSetup.ini"; }
    // The SQLite file, or the PostgreSQL database's name.
    std::string Database() const;
    bool OnPostgres() const { return where_.postgres.has_value(); }
    // A new connection to the order database.
    std::unique_ptr<Connection> Open() const;
    // The change-signal script that was loaded; empty when none was.
    const std::string& LoadedSignalScript() const { return signalScript_; }
    // The port of the server's status page on 127.0.0.1.
    int StatusPort() const { return statusPort_; }
    // The folder of the direct ports, renamed away to make them go missing.
    std::string PortFolder() const { return folder_ + "/ports"; }
    std::string PortPath(const std::string& deviceName) const;

  private:
    void WriteSettings();
    void MakeSqlite(const std::string& masterData);
    void MakePostgres(const std::string& masterData);

    OutletDatabase where_;
    std::string folder_;
    std::string pgDatabase_;
    std::string signalScript_;
    int statusPort_ = 0;
};

}  // namespace kps::bench
