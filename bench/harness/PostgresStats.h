#pragma once

#include <sys/types.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "database/Connection.h"
#include "harness/BenchPostgres.h"

namespace kps::bench {

// Counters of the throw-away PostgreSQL server, read from its "postgres"
// database so that reading them adds nothing to an outlet's. The counters
// of the statistics views lag by up to the server's flush interval (about
// a second while busy, ten when idle).
class PostgresStats {
  public:
    explicit PostgresStats(const PostgresLogin& login);

    // Statements run in `database` so far, as pg_stat_statements counts them
    // (utility statements such as BEGIN and COMMIT included).
    double Statements(const std::string& database);
    // The statements `database` ran most often since pg_stat_statements was
    // last emptied (ForgetStatements), with their counts, most first.
    std::vector<std::pair<long, std::string>> TopStatements(const std::string& database, int count);
    void ForgetStatements();
    // Transactions of `database` so far, committed and rolled back.
    double Transactions(const std::string& database);
    // CPU seconds so far of every process the postmaster started: the
    // sessions and the server's own workers.
    std::map<pid_t, double> ServerCpu() const;
    // The server processes serving client sessions in `databases`, by the
    // application name each session gave (empty when none).
    std::map<std::string, std::vector<pid_t>> SessionBackends(
        const std::vector<std::string>& databases);
    // The postmaster's children that serve no client session: PostgreSQL's
    // own workers (writers, checkpointer, autovacuum, ...).
    std::vector<pid_t> BackgroundProcesses();

  private:
    double Number(const std::string& sql);

    std::unique_ptr<Connection> db_;
    pid_t postmaster_ = -1;
};

}  // namespace kps::bench
