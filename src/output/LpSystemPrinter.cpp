#include "output/LpSystemPrinter.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "text/Text.h"

extern char** environ;

namespace kps {
namespace {

// Runs a program (no shell) with `input` on its standard input; its standard
// output is returned in `output`. True when it exited with status 0.
bool RunTool(const std::vector<std::string>& argv, const std::string& input, std::string* output) {
    int in[2];
    int out[2];
    if (::pipe(in) != 0) {
        return false;
    }
    if (::pipe(out) != 0) {
        ::close(in[0]);
        ::close(in[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, in[1]);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<char*> args;
    for (const auto& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    pid_t pid = -1;
    int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    if (rc == 0) {
        std::size_t written = 0;
        while (written < input.size()) {
            ssize_t n = ::write(in[1], input.data() + written, input.size() - written);
            if (n <= 0) {
                break;
            }
            written += static_cast<std::size_t>(n);
        }
    }
    ::close(in[1]);
    char buf[4096];
    ssize_t n;
    while ((n = ::read(out[0], buf, sizeof buf)) > 0) {
        if (output != nullptr) {
            output->append(buf, static_cast<std::size_t>(n));
        }
    }
    ::close(out[0]);
    int status = 0;
    return rc == 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

}  // namespace

std::vector<std::string> LpSystemPrinter::PrinterNames() {
    std::string listing;
    std::vector<std::string> names;
    if (!RunTool({"lpstat", "-e"}, "", &listing)) {
        return names;
    }
    std::size_t start = 0;
    while (start < listing.size()) {
        std::size_t end = listing.find('\n', start);
        if (end == std::string::npos) {
            end = listing.size();
        }
        if (end > start) {
            names.push_back(listing.substr(start, end - start));
        }
        start = end + 1;
    }
    return names;
}

void LpSystemPrinter::PrintLine(const std::string& text) {
    job_ += ToCodePage(text, codePage_);
    job_ += "\r\n";
}

bool LpSystemPrinter::EndJob() {
    std::vector<std::string> argv{"lp", "-s"};
    if (!current_.empty()) {
        argv.push_back("-d");
        argv.push_back(current_);
    }
    std::string job;
    job.swap(job_);
    return !job.empty() && RunTool(argv, job, nullptr);
}

}  // namespace kps
