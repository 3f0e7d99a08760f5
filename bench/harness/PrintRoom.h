#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fake-receipt-printer/FakeReceiptPrinter.h"
#include "harness/DirectPortReader.h"
#include "harness/PrintedTicket.h"

namespace kps::bench {

// Every printer of a measuring run, in this process: fake network receipt
// printers on loopback ports and readers of direct ports.
class PrintRoom {
  public:
    FakeReceiptPrinter& AddNetworkPrinter(const std::string& name, int printMs);
    void AddDirectPort(const std::string& name, const std::string& fifo);

    FakeReceiptPrinter& Printer(const std::string& name) { return *printers_.at(name); }

    // Every ticket that has reached a printer so far, oldest first.
    std::vector<PrintedTicket> Tickets() const;

  private:
    std::map<std::string, std::unique_ptr<FakeReceiptPrinter>> printers_;
    std::map<std::string, std::unique_ptr<DirectPortReader>> ports_;
};

}  // namespace kps::bench
