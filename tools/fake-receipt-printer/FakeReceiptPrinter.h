#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "fake-receipt-printer/FakePrinterState.h"

namespace kps {

// A network receipt printer on a loopback address for tests and demos. Every
// connection is one job: its bytes are recorded in memory (and, when an
// output folder is given, written to job-NNNN.prn there when it ends). It
// answers DLE EOT status queries at once, after its state; the in-sequence
// requests GS r (transmit status) and GS ( H (process ID) only once the data
// before them is printed, `printMs` after it came, and only while online.
// One thread serves every connection; every accessor is thread-safe.
class FakeReceiptPrinter {
  public:
    struct Options {
        std::string address = "127.0.0.1";
        std::uint16_t port = 0;                     // 0: any free port, see Port()
        std::string outputFolder;                   // empty: memory only
        std::size_t maxJobBytes = 4 * 1024 * 1024;  // a longer job is cut off
        std::size_t maxJobs = 1000;                 // the oldest jobs are forgotten
        std::size_t maxConnections = 16;            // more are closed at once
        int printMs = 0;  // how long a ticket takes to print after its data came
    };

    // Each ESC @ begins a ticket.
    struct Ticket {
        std::size_t offset = 0;      // of its ESC @ in the job's bytes
        std::int64_t arrivedUs = 0;  // when its ESC @ came, microseconds since the epoch
    };

    struct Job {
        int number = 0;  // counting from 1
        std::string bytes;
        bool finished = false;  // the connection has ended
        std::vector<Ticket> tickets;
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

    // The bytes of each ticket of `job`, from its ESC @ to the next one.
    static std::vector<std::string_view> TicketBytes(const Job& job);

    // Waits until at least `count` jobs have finished; false on timeout.
    bool WaitForJobs(std::size_t count, std::chrono::milliseconds timeout) const;

  private:
    struct Connection;

    void Listen();
    void Serve();
    void Wake();
    void ApplyListening();
    int PollTimeoutMs(const std::vector<Connection>& connections) const;
    void Accept(std::vector<Connection>& connections);
    bool Receive(Connection& connection);
    void Answer(Connection& connection);
    void SendPrinted(Connection& connection);
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
