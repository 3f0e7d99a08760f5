#include "database/PostgresLibpqSession.h"

#include <libpq-fe.h>
#include <poll.h>

#include <cerrno>
#include <charconv>
#include <cstring>

#include "text/KpsError.h"

namespace kps {
namespace {

struct ClearResult {
    void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ClearResult>;

std::int64_t Integer(const char* text) {
    std::int64_t value = 0;
    std::from_chars(text, text + std::strlen(text), value);
    return value;
}

}  // namespace

PostgresLibpqSession::PostgresLibpqSession(const PostgresParameters& parameters,
                                           std::chrono::milliseconds answerLimit)
    : connection_(ConnectPostgres(parameters)), answerLimit_(answerLimit) {
    if (PQstatus(connection_.get()) != CONNECTION_OK) {
        std::string description = "PostgreSQL could not be reached: ";
        description += PostgresFailure(connection_.get());
        throw KpsError(kErrDatabaseOpen, description);
    }
    // Sending never blocks on a full socket: Next waits for it, bounded.
    if (PQsetnonblocking(connection_.get(), 1) != 0) {
        Fail("The PostgreSQL session could not be switched to non-blocking sends");
    }
}

std::int64_t PostgresLibpqSession::Backend() const {
    return PQbackendPID(connection_.get());
}

std::vector<std::int64_t> PostgresLibpqSession::Ask(const std::string& sql,
                                                    const std::vector<std::int64_t>& parameters) {
    std::vector<std::string> texts;
    for (const std::int64_t parameter : parameters) {
        texts.push_back(std::to_string(parameter));
    }
    std::vector<const char*> values;
    for (const auto& text : texts) {
        values.push_back(text.c_str());
    }
    std::string failed = "The statement \"";
    failed += sql;
    failed += "\" failed";
    if (PQsendQueryParams(connection_.get(), sql.c_str(), static_cast<int>(values.size()), nullptr,
                          values.data(), nullptr, nullptr, 0) == 0) {
        Fail(failed);
    }
    const Deadline deadline = std::chrono::steady_clock::now() + answerLimit_;
    std::vector<std::int64_t> row;
    std::string error;
    while (const Result result{Next(deadline)}) {
        const ExecStatusType status = PQresultStatus(result.get());
        if (status == PGRES_TUPLES_OK && PQntuples(result.get()) > 0) {
            for (int column = 0; column < PQnfields(result.get()); ++column) {
                row.push_back(Integer(PQgetvalue(result.get(), 0, column)));
            }
        } else if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
            error = PQresultErrorMessage(result.get());
        }
    }
    if (!error.empty()) {
        while (!error.empty() && error.back() == '\n') {
            error.pop_back();
        }
        failed += ": ";
        failed += error;
        throw KpsError(kErrStatement, failed);
    }
    return row;
}

bool PostgresLibpqSession::Sync() {
    PGconn* connection = connection_.get();
    if (PQenterPipelineMode(connection) == 0) {
        return false;
    }
    try {
        if (PQpipelineSync(connection) == 0) {
            Fail("The PostgreSQL session could not send a Sync");
        }
        const Result answer(Next(std::chrono::steady_clock::now() + answerLimit_));
        if (!answer || PQresultStatus(answer.get()) != PGRES_PIPELINE_SYNC ||
            PQexitPipelineMode(connection) == 0) {
            Fail("The PostgreSQL session did not answer a Sync");
        }
        return true;
    } catch (const KpsError&) {
        return false;  // the session is closed now, and holds nothing
    }
}

PGresult* PostgresLibpqSession::Next(Deadline deadline) {
    PGconn* connection = connection_.get();
    while (true) {
        const int unsent = PQflush(connection);
        if (unsent < 0) {
            Fail("The PostgreSQL session could not send");
        }
        if (unsent == 0 && PQisBusy(connection) == 0) {
            return PQgetResult(connection);
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            Fail("PostgreSQL did not answer within " + std::to_string(answerLimit_.count()) +
                 " ms");
        }
        pollfd watched{PQsocket(connection), POLLIN, 0};
        if (unsent != 0) {
            watched.events |= POLLOUT;
        }
        const int ready = ::poll(&watched, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno != EINTR) {
            Fail("The PostgreSQL session's socket could not be watched");
        }
        if (ready > 0 && PQconsumeInput(connection) == 0) {
            Fail("The PostgreSQL session ended");
        }
    }
}

// Closes the session, so that it stays gone and its server process lets go
// of whatever the session held.
void PostgresLibpqSession::Fail(const std::string& what) {
    std::string description = what;
    if (*PQerrorMessage(connection_.get()) != '\0') {
        description += ": ";
        description += PostgresFailure(connection_.get());
    }
    connection_.reset();
    throw KpsError(kErrStatement, description);
}

}  // namespace kps
