#include "database/PostgresChangeListener.h"

#include <libpq-fe.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <memory>
#include <optional>

#include "database/PostgresConnect.h"
#include "text/KpsError.h"

namespace kps {

namespace {

using PgResult = std::unique_ptr<PGresult, decltype(&PQclear)>;

}  // namespace

PostgresChangeListener::PostgresChangeListener(PostgresParameters parameters, Wake wake, Note note,
                                               std::chrono::milliseconds retry)
    : parameters_(std::move(parameters)),
      wake_(std::move(wake)),
      note_(std::move(note)),
      retry_(retry),
      stopFd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    if (stopFd_ < 0) {
        throw KpsError(errno, "The database's change signal could not be set up.");
    }
    thread_ = std::thread([this] { Run(); });
}

PostgresChangeListener::~PostgresChangeListener() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(stopFd_, &one, sizeof one);
    thread_.join();
    ::close(stopFd_);
}

bool PostgresChangeListener::TriggersPresent(Connection& db) {
    const ResultTable result = db.Query(
        "SELECT COUNT(*) FROM pg_trigger WHERE NOT tgisinternal AND tgenabled <> 'D'"
        " AND tgname IN ('kps_waiting_items', 'kps_waiting_notices')"
        " AND tgrelid IN (to_regclass('kelt_trs_printingdetails'),"
        " to_regclass('kelt_trs_printkitchen'))");
    return !result.rows.empty() && !result.rows[0].empty() &&
           ExactInteger(result.rows[0][0]).value_or(0) == 2;
}

void PostgresChangeListener::Run() {
    bool lost = false;
    while (true) {
        const std::optional<std::string> error = ListenOnce(lost);
        listening_.store(false);
        if (!error) {
            return;
        }
        if (!lost && note_) {
            note_("Warning: the database's change signal is unavailable (" + *error +
                  "): the waiting tables are read every second until it is back");
        }
        lost = true;
        if (!Pause(retry_)) {
            return;
        }
    }
}

std::optional<std::string> PostgresChangeListener::ListenOnce(bool afterLoss) {
    const PostgresConnection connection = ConnectPostgres(parameters_);
    auto failure = [&] { return PostgresFailure(connection.get()); };
    if (PQstatus(connection.get()) != CONNECTION_OK) {
        return failure();
    }
    {
        PgResult listen(PQexec(connection.get(), (std::string("LISTEN ") + kChannel).c_str()),
                        &PQclear);
        if (PQresultStatus(listen.get()) != PGRES_COMMAND_OK) {
            return failure();
        }
    }
    listening_.store(true);
    if (afterLoss && note_) {
        note_("The database's change signal is back");
    }
    // Rows may have started waiting while nobody listened.
    wake_();
    const int socket = PQsocket(connection.get());
    while (true) {
        pollfd watched[2] = {{socket, POLLIN, 0}, {stopFd_, POLLIN, 0}};
        if (::poll(watched, 2, -1) < 0 && errno != EINTR) {
            return failure();
        }
        if ((watched[1].revents & POLLIN) != 0) {
            return std::nullopt;
        }
        if (PQconsumeInput(connection.get()) == 0) {
            return failure();
        }
        bool notified = false;
        while (PGnotify* notice = PQnotifies(connection.get())) {
            notified = true;
            PQfreemem(notice);
        }
        if (notified) {
            wake_();
        }
        if (PQstatus(connection.get()) != CONNECTION_OK) {
            return failure();
        }
    }
}

bool PostgresChangeListener::Pause(std::chrono::milliseconds wait) {
    pollfd stop{stopFd_, POLLIN, 0};
    return ::poll(&stop, 1, static_cast<int>(wait.count())) == 0;
}

}  // namespace kps
