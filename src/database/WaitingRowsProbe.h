#pragma once

#include <chrono>
#include <string>

#include "database/ChangeSignal.h"
#include "database/Connection.h"

namespace kps {

// For a database with no change signal of its own (Microsoft SQL Server):
// one cheap statement every `every` between passes, answered from the
// waiting-rows indexes, that tells whether the highest ID or the number of
// waiting rows of either waiting table moved. It sees new rows and rows set
// waiting again, but it is not trusted to see every change, so the clock's
// passes go on every second beside it.
class WaitingRowsProbe final : public ChangeSignal {
  public:
    WaitingRowsProbe(Connection& db, std::chrono::milliseconds every);

    bool Live() const override { return false; }
    std::chrono::milliseconds PollEvery() const override { return every_; }
    bool Changed() override;

    static const char* const kSql;

  private:
    std::string Look();

    Connection& db_;
    std::chrono::milliseconds every_;
    std::string seen_;
};

}  // namespace kps
