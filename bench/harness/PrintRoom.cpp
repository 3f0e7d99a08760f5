#include "harness/PrintRoom.h"

#include <algorithm>

#include "output/EscPosDecoder.h"

namespace kps::bench {

FakeReceiptPrinter& PrintRoom::AddNetworkPrinter(const std::string& name, int printMs) {
    FakeReceiptPrinter::Options options;
    options.printMs = printMs;
    options.maxJobs = 1000000;
    options.maxConnections = 64;
    auto& printer = printers_[name];
    printer = std::make_unique<FakeReceiptPrinter>(options);
    return *printer;
}

void PrintRoom::AddDirectPort(const std::string& name, const std::string& fifo) {
    ports_[name] = std::make_unique<DirectPortReader>(name, fifo);
}

std::vector<PrintedTicket> PrintRoom::Tickets() const {
    std::vector<PrintedTicket> tickets;
    for (const auto& [name, printer] : printers_) {
        for (const FakeReceiptPrinter::Job& job : printer->Jobs()) {
            const auto pieces = FakeReceiptPrinter::TicketBytes(job);
            for (std::size_t i = 0; i < pieces.size(); ++i) {
                tickets.push_back({name, job.tickets[i].arrivedUs, DecodeEscPos(pieces[i])});
            }
        }
    }
    for (const auto& [name, port] : ports_) {
        const auto read = port->Tickets();
        tickets.insert(tickets.end(), read.begin(), read.end());
    }
    std::stable_sort(tickets.begin(), tickets.end(),
                     [](const auto& a, const auto& b) { return a.arrivedUs < b.arrivedUs; });
    return tickets;
}

}  // namespace kps::bench
