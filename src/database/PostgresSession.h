#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kps {

// One PostgreSQL session. It is never connected again behind its owner's
// back, so whatever it answers comes from the server process it started
// with; once it fails it stays gone.
class PostgresSession {
  public:
    virtual ~PostgresSession() = default;

    // The server process the session's start-up named.
    virtual std::int64_t Backend() const = 0;

    // Runs one statement with integer parameters ($1, ...) and returns the
    // integers of its first row (none for a command or an empty result).
    // Throws KpsError when the statement fails, the session is gone or no
    // answer came in time.
    virtual std::vector<std::int64_t> Ask(const std::string& sql,
                                          const std::vector<std::int64_t>& parameters = {}) = 0;

    // A bare protocol Sync (no statement, no transaction): true when the
    // session answered in time. Never throws.
    virtual bool Sync() = 0;
};

// Opens a session; throws KpsError when the database cannot be reached.
using PostgresSessionOpener = std::function<std::unique_ptr<PostgresSession>()>;

}  // namespace kps
