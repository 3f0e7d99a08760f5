#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>

namespace kps::bench {

// The headless server as a child process on an outlet, run in the outlet's
// folder (layout files are found relative to it) with its standard output
// and error appended to server.out and server.err there. A process still
// running when the object goes is killed.
class ServerProcess {
  public:
    ServerProcess(std::string executable, std::string settings, std::string folder);
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

    // CPU time (user + system) used so far, and the peak resident size.
    double CpuSeconds() const;
    long PeakResidentKb() const;
    int Starts() const { return starts_; }

  private:
    int Reap(bool wait);

    std::string executable_;
    std::string settings_;
    std::string folder_;
    pid_t pid_ = -1;
    int status_ = -1;
    int starts_ = 0;
};

}  // namespace kps::bench
