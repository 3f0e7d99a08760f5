#include "harness/Program.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "text/KpsError.h"

namespace kps::bench {

int RunProgram(const std::vector<std::string>& args, const std::string& output) {
    std::vector<std::string> copy = args;
    std::vector<char*> argv;
    for (std::string& a : copy) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid < 0) {
        throw KpsError(kErrFile, "Cannot start " + args.front());
    }
    if (pid == 0) {
        const int outFd = open(output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        const int nullFd = open("/dev/null", O_RDONLY);
        if (outFd < 0 || nullFd < 0 || dup2(nullFd, 0) < 0 || dup2(outFd, 1) < 0 ||
            dup2(outFd, 2) < 0) {
            _exit(126);
        }
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            throw KpsError(kErrFile, "Lost " + args.front());
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void RunProgramOrThrow(const std::vector<std::string>& args, const std::string& output) {
    const int status = RunProgram(args, output);
    if (status != 0) {
        std::string message = args.front();
        message += " ended with status ";
        message += std::to_string(status);
        message += "; see ";
        message += output;
        throw KpsError(kErrFile, message);
    }
}

}  // namespace kps::bench
