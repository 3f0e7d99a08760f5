#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace kps::bench {

// The headless server as a child process on an outlet, run in the outlet's
// folder (layout files are found relative to it) with its standard output
// and error appended to server.out and server.err there. A process still
// running when the object goes is killed.
class ServerProcess {
  public:
    ServerProcess(std::string executable, std::string settings, std::string folder);
    // Started under another program, e.g. {"strace", "-f", ...}: that one is
    // the child, the server its child, and Stop signals the server.
    ServerProcess(std::string executable, std::string settings, std::string folder,
                  std::vector<std::string> wrapper);
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    void Start();
    bool Running();
    // SIGKILL, then reaps it.
    void Kill();
    // SIGTERM (the server ends after its tick); SIGKILL once `grace` is over.
    // The exit status, or 128 + the signal that ended it.
    int Stop(std::chrono::seconds grace);

    // The server's own process ID (under a wrapper, the wrapper's child);
    // -1 when it is not running.
    pid_t ServerPid() const;

    // CPU time (user + system) used so far, and the peak resident size.
    double CpuSeconds() const;
    long PeakResidentKb() const;
    int Starts() const { return starts_; }

  private:
    int Reap(bool wait);

    std::string executable_;
    std::string settings_;
    std::string folder_;
    std::vector<std::string> wrapper_;
    pid_t pid_ = -1;
    int status_ = -1;
    int starts_ = 0;
};

}  // namespace kps::bench
