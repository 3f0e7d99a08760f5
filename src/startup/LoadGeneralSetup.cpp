#include "startup/LoadGeneralSetup.h"

#include <fcntl.h>
#include <strings.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>

#include "startup/IniFile.h"
#include "text/KpsError.h"
#include "text/Text.h"

namespace kps {
namespace {

constexpr int kDefaultCodePage = 1252;

int ParseCodePage(const std::string& text) {
    if (text.empty()) {
        return kDefaultCodePage;
    }
    int codePage = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), codePage);
    if (ec != std::errc() || end != text.data() + text.size() || !IsSupportedCodePage(codePage)) {
        throw KpsError(kErrSettings, "[PrintServer] CodePage=" + text +
                                         " is not supported; use 1252, 28591, 437 or 850.");
    }
    return codePage;
}

// A whole number of at least 0 for `key`; `fallback` when it is not set.
int ParseCount(const std::string& key, const std::string& text, int fallback,
               const std::string& meaning) {
    if (text.empty()) {
        return fallback;
    }
    int count = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (ec != std::errc() || end != text.data() + text.size() || count < 0) {
        throw KpsError(kErrSettings, "[PrintServer] " + key + "=" + text + " is not " + meaning);
    }
    return count;
}

bool ParseLease(const std::string& text) {
    if (text.empty() || strcasecmp(text.c_str(), "Yes") == 0) {
        return true;
    }
    if (strcasecmp(text.c_str(), "No") == 0) {
        return false;
    }
    throw KpsError(kErrSettings, "[PrintServer] Lease=" + text + " is neither Yes nor No.");
}

// A file that is there but cannot be read would otherwise look empty, and
// the first complaint would come from the database about a server nobody named.
void RequireReadable(const std::string& iniPath) {
    const int fd = ::open(iniPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw KpsError(kErrSettings,
                       "Cannot read the settings file " + iniPath + ": " + std::strerror(errno));
    }
    ::close(fd);
}

}  // namespace

int SettingsCodePage(const std::string& iniPath) {
    return ParseCodePage(ReadIniValue("PrintServer", "CodePage", iniPath));
}

GeneralSetup LoadGeneralSetup(const std::string& iniPath, Operator& op, std::ostream& diagnostics) {
    GeneralSetup setup;
    setup.IniPath = iniPath;
    std::error_code ec;
    if (!std::filesystem::exists(iniPath, ec)) {
        diagnostics << "<3>No settings file at " << iniPath
                    << "; --settings FILE names another one." << std::endl;
        op.ShowMessage("No Ini !!", "Kitchen Print Server", MessageIcon::None, MessageButtons::Ok);
        return setup;
    }

    RequireReadable(iniPath);
    // The code page is needed to read the others, so it comes first.
    setup.CodePage = SettingsCodePage(iniPath);
    auto read = [&](const char* section, const char* key) {
        return ReadIniValue(section, key, iniPath, setup.CodePage);
    };
    setup.ServerName = read("GeneralSetup", "ServerName");
    setup.DatabaseName = read("GeneralSetup", "DatabaseName");
    setup.UserID = read("GeneralSetup", "UserID");
    setup.Password = read("GeneralSetup", "Password");
    setup.systemtype = read("COMPANYSETTINGS", "systemtype");
    setup.OutletCode = read("COMPANYSETTINGS", "OutletCode");
    setup.DrivePath = read("GeneralSetup", "DrivePath");
    if (setup.DrivePath.empty()) {
        // An empty path would put the log at the root of the file system.
        setup.DrivePath = setup.SettingsFolder();
    }

    std::string database = read("PrintServer", "Database");
    if (!database.empty()) {
        setup.Database = database;
    }
    setup.OdbcDriver = read("PrintServer", "OdbcDriver");
    setup.OdbcOptions = read("PrintServer", "OdbcOptions");
    setup.StateFolder = read("PrintServer", "StateFolder");
    setup.LogKeepDays =
        ParseCount("LogKeepDays", Trim(read("PrintServer", "LogKeepDays")), kDefaultLogKeepDays,
                   "a whole number of days (0 keeps every file).");
    setup.AlertAfterSeconds =
        ParseCount("AlertAfterSeconds", Trim(read("PrintServer", "AlertAfterSeconds")),
                   kDefaultAlertAfterSeconds, "a whole number of seconds (0 turns alerts off).");
    setup.AlertCommand = Trim(read("PrintServer", "AlertCommand"));
    setup.WakeProbeMs = ParseCount("WakeProbeMs", Trim(read("PrintServer", "WakeProbeMs")), 0,
                                   "a whole number of milliseconds (0 turns the probe off).");
    setup.Lease = ParseLease(Trim(read("PrintServer", "Lease")));
    // Missing, the page is served on this machine only; written empty, not at all.
    setup.StatusAddress = IniFile::Load(iniPath, setup.CodePage)
                              .Find("PrintServer", "StatusAddress")
                              .value_or(kDefaultStatusAddress);
    return setup;
}

}  // namespace kps
