#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fake-receipt-printer/FakePrinterState.h"

namespace kps {

// A network receipt printer on a loopback address for tests and demos. Every
// connection is one job: its bytes are recorded in memory (and, when an
// output folder is given, written to job-NNNN.prn there when it ends). It
// answers DLE EOT status queries after its state and the process-ID request
// GS ( H once the data before it is printed. One thread serves every
// connection; every accessor is thread-safe.
class FakeReceiptPrinter {
  public:
    struct Options {
        std::string address = "127.0.0.1";
        std::uint16_t port = 0;                     // 0: any free port, see Port()
        std::string outputFolder;                   // empty: memory only
        std::size_t maxJobBytes = 4 * 1024 * 1024;  // a longer job is cut off
        std::size_t maxJobs = 1000;                 // the oldest jobs are forgotten
        std::size_t maxConnections = 16;            // more are closed at once
    };

    struct Job {
        int number = 0;  // counting from 1
        std::string bytes;
        bool finished = false;  // the connection has ended
    };

    // Listens at once; throws KpsError when the address cannot be bound.
    explicit FakeReceiptPrinter(Options options);
    ~FakeReceiptPrinter();
    FakeReceiptPrinter(const FakeReceiptPrinter&) = delete;
    FakeReceiptPrinter& operator=(const FakeReceiptPrinter&) = delete;

    std::uint16_t Port() const { return port_; }

    void SetState(FakePrinterState state);
    FakePrinterState State() const;

    // Stops listening (connections are refused) or listens again on the same
    // port; returns once the change is in force.
    void SetRefusing(bool refusing);

    // Ends each following job after `bytes` bytes (0: never).
    void SetDropAfter(std::size_t bytes);

    void SetAnswersProcessId(bool answers);

    // Called on the printer's thread with each finished job.
    void SetJobListener(std::function<void(const Job&)> listener);

    std::vector<Job> Jobs() const;

    // Waits until at least `count` jobs have finished; false on timeout.
    bool WaitForJobs(std::size_t count, std::chrono::milliseconds timeout) const;

  private:
    struct Connection;

    void Listen();
    void Serve();
    void Wake();
    void ApplyListening();
    void Accept(std::vector<Connection>& connections);
    bool Receive(Connection& connection);
    void Answer(Connection& connection);
    void Finish(Connection& connection);

    Options options_;
    std::uint16_t port_ = 0;
    int listenFd_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    FakePrinterState state_ = FakePrinterState::Online;
    bool refusing_ = false;
    bool listening_ = false;
    bool stopping_ = false;
    std::size_t dropAfter_ = 0;
    bool answersProcessId_ = true;
    std::function<void(const Job&)> listener_;
    std::deque<Job> jobs_;
    std::size_t finishedJobs_ = 0;
    int nextJobNumber_ = 1;

    std::thread thread_;
};

}  // namespace kps
