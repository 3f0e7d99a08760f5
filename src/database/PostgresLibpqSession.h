#pragma once

#include <chrono>

#include "database/PostgresConnect.h"
#include "database/PostgresSession.h"

typedef struct pg_result PGresult;

namespace kps {

// A PostgreSQL session on libpq. Connecting waits at most the parameters'
// connect_timeout; every answer after that at most `answerLimit`, watched on
// the socket with poll, so a silent link or a stopped server never holds
// the caller longer.
class PostgresLibpqSession final : public PostgresSession {
  public:
    // Throws KpsError when the database cannot be reached.
    PostgresLibpqSession(const PostgresParameters& parameters,
                         std::chrono::milliseconds answerLimit);

    std::int64_t Backend() const override;
    std::vector<std::int64_t> Ask(const std::string& sql,
                                  const std::vector<std::int64_t>& parameters) override;
    bool Sync() override;

  private:
    using Deadline = std::chrono::steady_clock::time_point;
    // The next result (nullptr after a statement's last); throws KpsError
    // when the session fails or the deadline passes first.
    PGresult* Next(Deadline deadline);
    [[noreturn]] void Fail(const std::string& what);

    PostgresConnection connection_;
    std::chrono::milliseconds answerLimit_;
};

}  // namespace kps
