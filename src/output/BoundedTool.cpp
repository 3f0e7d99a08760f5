#include "output/BoundedTool.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <string_view>

#include "text/FileDescriptor.h"

extern char** environ;

namespace kps {
namespace {

using SteadyClock = std::chrono::steady_clock;

// How often a running tool is looked at while its output is quiet.
constexpr std::chrono::milliseconds kStep{20};

// The input in an anonymous file read from its start: the tool takes it at
// its own pace and we never block writing to a tool that does not read.
int InputFile(const std::string& input) {
    FileDescriptor file(::memfd_create("tool-input", MFD_CLOEXEC));
    std::size_t written = 0;
    while (file.Get() >= 0 && written < input.size()) {
        const ssize_t n = ::write(file.Get(), input.data() + written, input.size() - written);
        if (n > 0) {
            written += static_cast<std::size_t>(n);
        } else if (n < 0 && errno != EINTR) {
            file.Reset();
        }
    }
    if (file.Get() < 0 || ::lseek(file.Get(), 0, SEEK_SET) != 0) {
        return -1;
    }
    return file.Release();
}

// Appends what waits on the non-blocking `fd`; false once the tool closed it.
bool Drain(int fd, std::string* output) {
    char buf[4096];
    while (true) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0) {
            if (output != nullptr) {
                output->append(buf, static_cast<std::size_t>(n));
            }
        } else if (n == 0 || errno != EINTR) {
            return n < 0 && errno == EAGAIN;
        }
    }
}

// True when the tool has ended. It stays unreaped, so that its process
// group cannot be taken by another process before we signal it.
bool Ended(pid_t pid) {
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0 ||
           info.si_pid == pid;
}

// Reads the tool's output (when `out` is open) until the tool ends or
// `until` passes; true when it ended.
bool Watch(pid_t pid, int out, std::string* output, SteadyClock::time_point until) {
    bool open = out >= 0;
    while (!Ended(pid)) {
        const auto now = SteadyClock::now();
        if (now >= until) {
            return false;
        }
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(
            std::min<SteadyClock::duration>(until - now, kStep));
        pollfd watched{out, POLLIN, 0};
        if (::poll(&watched, open ? 1 : 0, static_cast<int>(wait.count())) > 0) {
            open = Drain(out, output);
        }
    }
    return true;
}

// Collects the ended tool; true when it exited with status 0.
bool Reap(pid_t pid) {
    int status = 0;
    pid_t reaped;
    do {
        reaped = ::waitpid(pid, &status, 0);
    } while (reaped < 0 && errno == EINTR);
    return reaped == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

pid_t Spawn(const std::vector<std::string>& argv, int in, int out,
            const std::vector<std::string>& environment) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
    // The server blocks the signals it waits for and ignores SIGPIPE; a tool
    // started with them so would not stop when told to.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(
        &attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
    std::vector<char*> args;
    for (const auto& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    // The tool's own entries replace the server's of the same name: a
    // shell would take the last of two, getenv the first.
    std::vector<char*> variables;
    for (const auto& variable : environment) {
        variables.push_back(const_cast<char*>(variable.c_str()));
    }
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string_view entry(*variable);
        const std::string_view name = entry.substr(0, entry.find('=') + 1);
        if (std::none_of(environment.begin(), environment.end(),
                         [&](const std::string& own) { return own.starts_with(name); })) {
            variables.push_back(*variable);
        }
    }
    variables.push_back(nullptr);
    pid_t pid = -1;
    const int rc =
        ::posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), variables.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

}  // namespace

bool RunBoundedTool(const std::vector<std::string>& argv, const std::string& input,
                    std::string* output, const ToolLimits& limits,
                    const std::vector<std::string>& environment) {
    FileDescriptor in(InputFile(input));
    int pipe[2];
    if (argv.empty() || in.Get() < 0 || ::pipe2(pipe, O_CLOEXEC) != 0) {
        return false;
    }
    FileDescriptor outRead(pipe[0]);
    FileDescriptor outWrite(pipe[1]);
    ::fcntl(outRead.Get(), F_SETFL, O_NONBLOCK);
    const pid_t pid = Spawn(argv, in.Get(), outWrite.Get(), environment);
    // Only the tool holds the write end now, so its output ends with it.
    outWrite.Reset();
    if (pid < 0) {
        return false;
    }
    if (Watch(pid, outRead.Get(), output, SteadyClock::now() + limits.run)) {
        Drain(outRead.Get(), output);
        return Reap(pid);
    }
    // Out of time: the tool and whatever it started go, asked first.
    ::kill(-pid, SIGTERM);
    Watch(pid, -1, nullptr, SteadyClock::now() + limits.grace);
    ::kill(-pid, SIGKILL);
    Reap(pid);
    return false;
}

}  // namespace kps
