#include "startup/StateFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "text/FileDescriptor.h"
#include "text/KpsError.h"

namespace kps {

namespace {

namespace fs = std::filesystem;

[[noreturn]] void Fail(const std::string& what, const std::string& path) {
    throw KpsError(kErrFile, what + " " + path + ": " + std::strerror(errno));
}

void WriteAll(int fd, std::string_view bytes, const std::string& path) {
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail("Cannot write", path);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

}  // namespace

void CreateStateFolder(const std::string& folder) {
    std::error_code ec;
    if (fs::is_directory(folder, ec)) {
        return;
    }
    fs::create_directories(fs::path(folder).parent_path(), ec);
    // Writable by this user only; the files in it are its own to read.
    if (::mkdir(folder.c_str(), S_IRWXU | S_IRGRP | S_IXGRP | S_IROTH | S_IXOTH) != 0 &&
        errno != EEXIST) {
        Fail("Cannot create the state folder", folder);
    }
}

std::string ResolveStateFolder(const GeneralSetup& setup,
                               const std::optional<std::string>& stateDirectory) {
    // The setting wins: a command run from a shell has no $STATE_DIRECTORY
    // and must still find the folder the service reads.
    if (!setup.StateFolder.empty()) {
        fs::path folder(setup.StateFolder);
        return folder.is_absolute() ? folder.string()
                                    : (fs::path(setup.SettingsFolder()) / folder).string();
    }
    if (stateDirectory && !stateDirectory->empty()) {
        return stateDirectory->substr(0, stateDirectory->find(':'));
    }
    return setup.DrivePath + std::string(1, fs::path::preferred_separator) + "LOG";
}

std::string ResolveStateFolder(const GeneralSetup& setup) {
    const char* stateDirectory = std::getenv("STATE_DIRECTORY");
    return ResolveStateFolder(setup, stateDirectory == nullptr
                                         ? std::nullopt
                                         : std::optional<std::string>(stateDirectory));
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
    const fs::path target(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::error_code ec;
    fs::create_directories(folder, ec);
    // A unique temporary name, so two writers never share one.
    std::string temporary = path + ".tmpXXXXXX";
    FileDescriptor file(::mkstemp(temporary.data()));
    if (file.Get() < 0) {
        Fail("Cannot create", temporary);
    }
    try {
        struct stat owner {};
        if (::geteuid() == 0 && ::stat(folder.c_str(), &owner) == 0 && owner.st_uid != 0 &&
            ::fchown(file.Get(), owner.st_uid, owner.st_gid) != 0) {
            Fail("Cannot give the folder's owner", temporary);
        }
        WriteAll(file.Get(), bytes, temporary);
        if (::fsync(file.Get()) != 0) {
            Fail("Cannot sync", temporary);
        }
        if (::rename(temporary.c_str(), path.c_str()) != 0) {
            Fail("Cannot rename to", path);
        }
    } catch (const KpsError&) {
        ::unlink(temporary.c_str());
        throw;
    }
    FileDescriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.Get() >= 0) {
        ::fsync(directory.Get());
    }
}

std::string SetAsideDamagedFile(const std::string& path, const PrintLog& log) {
    std::string aside = path + ".damaged";
    std::error_code ec;
    for (int n = 2; fs::exists(aside, ec) && n < 1000; ++n) {
        aside = path + ".damaged." + std::to_string(n);
    }
    if (::rename(path.c_str(), aside.c_str()) != 0) {
        fs::remove(path, ec);
        log.WriteLog("State file '" + path + "' is damaged and was removed");
        return {};
    }
    log.WriteLog("State file '" + path + "' is damaged; set aside as '" + aside + "'");
    return aside;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) {
        return std::nullopt;
    }
    return bytes.str();
}

}  // namespace kps
