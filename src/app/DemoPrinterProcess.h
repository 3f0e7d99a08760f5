#pragma once

#include <sys/types.h>
#include <string>

namespace kps {

// The demo outlet's network receipt printer: the fake receipt printer program
// run as a child process on 127.0.0.1, printing every job it receives as
// readable text on standard output. Ended with the object (or with the server).
class DemoPrinterProcess {
  public:
    // Starts `program` on a free loopback port, recording jobs in `jobFolder`.
    DemoPrinterProcess(const std::string& program, const std::string& jobFolder);
    ~DemoPrinterProcess();
    DemoPrinterProcess(const DemoPrinterProcess&) = delete;
    DemoPrinterProcess& operator=(const DemoPrinterProcess&) = delete;

    int Port() const { return port_; }

  private:
    pid_t pid_ = -1;
    int port_ = 0;
};

}  // namespace kps
