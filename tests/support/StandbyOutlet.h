#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fake-receipt-printer/FakeReceiptPrinter.h"
#include "support/TestDatabase.h"

namespace kps::test {

// One outlet of a test database served by headless server processes, each
// with settings of its own in a folder of its own and its own fake network
// receipt printer in this process (the outlet's one device, as each server's
// printer registry places it), so what each server printed can be told
// apart. Every order is one item on a table of its own: "Dish-007" on "T007".
class StandbyOutlet {
  public:
    explicit StandbyOutlet(TestDatabase& db);
    ~StandbyOutlet();  // kills the servers still running
    StandbyOutlet(const StandbyOutlet&) = delete;
    StandbyOutlet& operator=(const StandbyOutlet&) = delete;

    // Settings for a server in folder `name`; `odbcOptions` replaces the
    // database's own (a PostgreSQL port through a proxy); its printer takes
    // `printMs` for each ticket, and the server waits for each. Returns the
    // folder.
    std::string AddServer(const std::string& name, const std::string& odbcOptions = "",
                          int printMs = 0);
    // Starts the server of `folder`, its output in out.txt there.
    void Start(const std::string& folder);
    void Kill(const std::string& folder);
    // Waits at most `limit` for the server to end; its exit status, or -1.
    int WaitForExit(const std::string& folder, std::chrono::milliseconds limit);
    // Stops the server where it stands (SIGSTOP), as a machine that hangs.
    void Freeze(const std::string& folder);
    // The server's standard output so far.
    std::string Output(const std::string& folder) const;
    // Waits at most `limit` for `text` in the server's output.
    bool WaitForOutput(const std::string& folder, const std::string& text,
                       std::chrono::milliseconds limit) const;

    // Queues order number `n`; returns the item's description.
    std::string Order(int n);
    static std::string Dish(int n);

    // Every ticket the server of `folder` printed so far, or every server's
    // when `folder` is empty.
    std::vector<std::string> Tickets(const std::string& folder = "") const;
    // When the first ticket holding `text` came to a printer (microseconds
    // since the epoch), or -1.
    std::int64_t ArrivedUs(const std::string& text) const;
    // When each ticket came to the printer of `folder`, in order.
    std::vector<std::int64_t> ArrivalsUs(const std::string& folder) const;
    // Waits at most `limit` for a ticket holding `text`.
    bool WaitForTicket(const std::string& text, std::chrono::milliseconds limit,
                       const std::string& folder = "") const;
    // Waits at most `limit` until no item waits to print.
    bool WaitUntilNothingWaits(std::chrono::milliseconds limit);

  private:
    TestDatabase& db_;
    std::string outletCode_;
    struct Printed {
        std::string bytes;
        std::int64_t arrivedUs = 0;
    };
    std::vector<Printed> PrintedTickets(const std::string& folder) const;

    struct Server {
        std::string folder;
        pid_t pid = -1;
        std::unique_ptr<FakeReceiptPrinter> printer;
    };
    std::vector<Server> servers_;
};

}  // namespace kps::test
