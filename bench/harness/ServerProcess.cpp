#include "harness/ServerProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <thread>
#include <vector>

#include "harness/ProcFs.h"
#include "text/KpsError.h"

namespace kps::bench {
namespace {

// The server runs in the outlet's folder: a relative path would not find it.
std::string Absolute(const std::string& executable) {
    return executable.find('/') == std::string::npos
               ? executable
               : std::filesystem::absolute(executable).string();
}

}  // namespace

ServerProcess::ServerProcess(std::string executable, std::string settings, std::string folder)
    : executable_(Absolute(executable)),
      settings_(std::move(settings)),
      folder_(std::move(folder)) {}

ServerProcess::ServerProcess(std::string executable, std::string settings, std::string folder,
                             std::vector<std::string> wrapper)
    : executable_(Absolute(executable)),
      settings_(std::move(settings)),
      folder_(std::move(folder)),
      wrapper_(std::move(wrapper)) {}

ServerProcess::~ServerProcess() {
    if (pid_ > 0) {
        Kill();
    }
}

void ServerProcess::Start() {
    const std::string out = folder_ + "/server.out";
    const std::string err = folder_ + "/server.err";
    std::vector<std::string> args = wrapper_;
    for (const std::string& a :
         {executable_, std::string("--settings"), settings_, std::string("--headless")}) {
        args.push_back(a);
    }
    const pid_t pid = fork();
    if (pid < 0) {
        throw KpsError(kErrFile, "Cannot start " + executable_);
    }
    if (pid == 0) {
        const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        const int nullFd = open("/dev/null", O_RDONLY);
        if (chdir(folder_.c_str()) != 0 || outFd < 0 || errFd < 0 || nullFd < 0 ||
            dup2(nullFd, 0) < 0 || dup2(outFd, 1) < 0 || dup2(errFd, 2) < 0) {
            _exit(126);
        }
        std::vector<char*> argv;
        for (std::string& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    pid_ = pid;
    status_ = -1;
    ++starts_;
}

int ServerProcess::Reap(bool wait) {
    int status = 0;
    if (pid_ > 0 && waitpid(pid_, &status, wait ? 0 : WNOHANG) == pid_) {
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        pid_ = -1;
    }
    return status_;
}

bool ServerProcess::Running() {
    Reap(false);
    return pid_ > 0;
}

void ServerProcess::Kill() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        Reap(true);
    }
}

int ServerProcess::Stop(std::chrono::seconds grace) {
    if (pid_ <= 0) {
        return status_;
    }
    const pid_t server = ServerPid();
    kill(server > 0 ? server : pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + grace;
    while (Running() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    Kill();
    return status_;
}

pid_t ServerProcess::ServerPid() const {
    if (pid_ <= 0 || wrapper_.empty()) {
        return pid_;
    }
    const std::vector<pid_t> children = ChildrenOf(pid_);
    return children.empty() ? -1 : children.front();
}

double ServerProcess::CpuSeconds() const {
    return CpuSecondsOf(ServerPid());
}

long ServerProcess::PeakResidentKb() const {
    return PeakResidentKbOf(ServerPid());
}

}  // namespace kps::bench
