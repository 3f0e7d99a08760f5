#pragma once

#include <string>

namespace kps {

constexpr int kDefaultLogKeepDays = 90;
constexpr const char* kDefaultStatusAddress = "127.0.0.1:8631";
constexpr int kDefaultAlertAfterSeconds = 120;

// The settings of GSetup.ini, read once at start-up.
struct GeneralSetup {
    std::string IniPath;

    // [GeneralSetup] and [COMPANYSETTINGS], the suite's own keys.
    std::string ServerName;
    std::string DatabaseName;
    std::string UserID;
    std::string Password;  // the stored (scrambled) form until OpenConnection decodes it
    std::string systemtype;
    std::string OutletCode;
    std::string DrivePath;

    // [PrintServer], this server's own keys.
    std::string Database = "ODBC";  // "ODBC" or "SQLite"
    std::string OdbcDriver;
    std::string OdbcOptions;
    int CodePage = 1252;
    std::string StateFolder;                // empty: beside the print log
    int LogKeepDays = kDefaultLogKeepDays;  // 0 keeps every day file of the print log
    bool Lease = true;  // false ("No"): print without the outlet lease, with no standby
    // host:port of the web status page; empty: no status page.
    std::string StatusAddress = kDefaultStatusAddress;
    // A printer not printing, or its items waiting, this long is an alert; 0: none.
    int AlertAfterSeconds = kDefaultAlertAfterSeconds;
    std::string AlertCommand;  // run on each alert and its end; empty: none
    // A database without a change signal of its own (SQL Server) is probed
    // for new waiting rows this often between passes; 0: the clock alone.
    int WakeProbeMs = 0;

    // The folder of the settings file; relative database and registry paths,
    // layout files not in the current folder and an empty DrivePath are
    // taken from here.
    std::string SettingsFolder() const;
};

}  // namespace kps
