#include "status/StatusToken.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "text/FileDescriptor.h"
#include "text/KpsError.h"

namespace kps {

namespace {

constexpr std::size_t kTokenBytes = 32;

[[noreturn]] void Fail(const std::string& what, const std::string& path) {
    throw KpsError(kErrFile, what + " " + path + ": " + std::strerror(errno));
}

bool IsToken(std::string_view text) {
    return text.size() == 2 * kTokenBytes &&
           text.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

std::string NewToken() {
    std::array<unsigned char, kTokenBytes> random{};
    if (getrandom(random.data(), random.size(), 0) != static_cast<ssize_t>(random.size())) {
        throw KpsError(kErrFile, "No random bytes for the status token");
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string token;
    for (unsigned char byte : random) {
        token += kHex[byte >> 4];
        token += kHex[byte & 0x0F];
    }
    return token;
}

// The token in an existing file of ours; nothing when there is no file or
// it holds no token.
std::optional<std::string> ReadToken(const std::string& path, bool rootMayRead) {
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (file.Get() < 0) {
        if (errno == ENOENT) {
            return std::nullopt;
        }
        Fail("Cannot read the status token", path);
    }
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        (info.st_uid != ::geteuid() && !(rootMayRead && ::geteuid() == 0))) {
        throw KpsError(kErrFile, "The status token " + path + " is not the server's own file");
    }
    char bytes[2 * kTokenBytes + 2];
    const ssize_t got = ::read(file.Get(), bytes, sizeof bytes);
    std::string_view text(bytes, got > 0 ? static_cast<std::size_t>(got) : 0);
    if (!text.empty() && text.back() == '\n') {
        text.remove_suffix(1);
    }
    return IsToken(text) ? std::optional<std::string>(text) : std::nullopt;
}

}  // namespace

std::string StatusTokenFile(const std::string& stateFolder) {
    return (std::filesystem::path(stateFolder) / "status-token").string();
}

std::string LoadStatusToken(const std::string& stateFolder) {
    const std::string path = StatusTokenFile(stateFolder);
    if (std::optional<std::string> token = ReadToken(path, false)) {
        return *token;
    }
    std::error_code ec;
    std::filesystem::create_directories(stateFolder, ec);
    const std::string token = NewToken();
    const std::string temporary = path + ".new";
    ::unlink(temporary.c_str());
    {
        FileDescriptor file(
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        const std::string line = token + "\n";
        if (file.Get() < 0 ||
            ::write(file.Get(), line.data(), line.size()) != static_cast<ssize_t>(line.size()) ||
            ::fsync(file.Get()) != 0) {
            Fail("Cannot write the status token", temporary);
        }
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        Fail("Cannot write the status token", path);
    }
    return token;
}

std::optional<std::string> ReadStatusToken(const std::string& stateFolder) {
    return ReadToken(StatusTokenFile(stateFolder), true);
}

bool TokensMatch(std::string_view expected, std::string_view given) {
    if (expected.empty() || expected.size() != given.size()) {
        return false;
    }
    unsigned char differ = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        differ |= static_cast<unsigned char>(expected[i] ^ given[i]);
    }
    return differ == 0;
}

}  // namespace kps
