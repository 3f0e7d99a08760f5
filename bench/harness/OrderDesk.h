#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "database/Connection.h"

namespace kps::bench {

// One ordered item as a terminal queues it; `description` is what the
// ticket prints, unique per item so that every copy can be traced.
struct OrderItem {
    std::string itemCode;
    std::string description;
};

struct Order {
    std::string table;
    std::vector<OrderItem> items;
};

class BenchOutlet;

// The terminals' side of the order database: queues orders and kitchen
// notices as the terminals do, each batch in one transaction.
class OrderDesk {
  public:
    // An SQLite file.
    explicit OrderDesk(const std::string& database);
    // The outlet's database, whichever back end.
    explicit OrderDesk(const BenchOutlet& outlet);

    // Queues the orders at once; returns the moment they were committed
    // (microseconds since the epoch).
    std::int64_t Queue(const std::vector<Order>& orders);
    // A table exchange notice for a printer group that prints `remark`.
    void QueueNotice(const std::string& group, const std::string& remark, const std::string& from,
                     const std::string& to);

    // Item and notice rows still waiting to print.
    long WaitingItems();
    long WaitingNotices();
    // What the waiting rows print: item descriptions and notice remarks.
    std::set<std::string> WaitingCodes();

  private:
    long Count(const std::string& sql);

    std::unique_ptr<Connection> db_;
    bool postgres_ = false;
};

}  // namespace kps::bench
