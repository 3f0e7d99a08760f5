#pragma once

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "harness/PrintedTicket.h"

namespace kps::bench {

// Reads a direct port that is a FIFO for as long as it lives, so that every
// ticket the server writes is kept with the moment its ESC @ came, however
// quickly the next one follows (a plain file is rewritten per ticket and a
// poller misses tickets and times). The FIFO is held open for reading and
// writing: the server's writes never block on a missing reader, and the
// reader survives the port's folder being renamed away.
class DirectPortReader {
  public:
    DirectPortReader(std::string printer, const std::string& fifo);
    ~DirectPortReader();
    DirectPortReader(const DirectPortReader&) = delete;
    DirectPortReader& operator=(const DirectPortReader&) = delete;

    std::vector<PrintedTicket> Tickets() const;

  private:
    struct Piece {
        std::int64_t arrivedUs;
        std::size_t offset;  // of its ESC @ in bytes_
    };

    void Read();

    std::string printer_;
    int fd_ = -1;
    int stopRead_ = -1;
    int stopWrite_ = -1;
    mutable std::mutex mutex_;
    std::string bytes_;
    std::vector<Piece> pieces_;
    std::thread thread_;
};

}  // namespace kps::bench
