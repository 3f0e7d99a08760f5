#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "database/ChangeSignal.h"
#include "database/Connection.h"
#include "database/PostgresParameters.h"

namespace kps {

// PostgreSQL's change signal: the triggers of schema/ NOTIFY a channel when
// a row starts waiting, and this listens on a libpq connection of its own
// (ODBC does not deliver notifications), on a thread of its own, waking the
// server for each batch. While the connection is lost it is not Live, so
// the clock's passes read the waiting tables every second; it connects
// again every `retry`, and wakes the server once listening again, since
// rows may have started waiting meanwhile.
class PostgresChangeListener final : public ChangeSignal {
  public:
    using Wake = std::function<void()>;
    // Told, on the listener's thread, when the signal is lost and when it is back.
    using Note = std::function<void(const std::string&)>;

    static constexpr const char* kChannel = "kps_waiting";
    static constexpr const char* kApplicationName = "kitchen-print-server change listener";

    PostgresChangeListener(PostgresParameters parameters, Wake wake, Note note = {},
                           std::chrono::milliseconds retry = std::chrono::milliseconds(5000));
    ~PostgresChangeListener() override;
    PostgresChangeListener(const PostgresChangeListener&) = delete;
    PostgresChangeListener& operator=(const PostgresChangeListener&) = delete;

    bool Live() const override { return listening_.load(); }
    std::chrono::milliseconds PollEvery() const override { return {}; }
    bool Changed() override { return false; }

    // Whether both waiting tables have their enabled notifying trigger, asked
    // on the server's own connection (whose search path finds the tables).
    static bool TriggersPresent(Connection& db);

  private:
    void Run();
    // Listens until the connection fails (its error) or the listener stops
    // (nullopt).
    std::optional<std::string> ListenOnce(bool afterLoss);
    // False when told to stop within `wait` (forever when negative).
    bool Pause(std::chrono::milliseconds wait);

    PostgresParameters parameters_;
    Wake wake_;
    Note note_;
    std::chrono::milliseconds retry_;
    int stopFd_;
    std::atomic<bool> listening_{false};
    std::thread thread_;
};

}  // namespace kps
