#include "harness/PostgresStats.h"

#include "database/Value.h"
#include "harness/ProcFs.h"

namespace kps::bench {

PostgresStats::PostgresStats(const PostgresLogin& login) : db_(login.Open("postgres")) {
    // Every session is a child of the postmaster, this one too.
    postmaster_ = ParentOf(static_cast<pid_t>(Number("select pg_backend_pid() as pid")));
}

double PostgresStats::Statements(const std::string& database) {
    return Number(
        "select coalesce(sum(s.calls), 0) as n from pg_stat_statements s "
        "join pg_database d on d.oid = s.dbid where d.datname = '" +
        database + "'");
}

std::vector<std::pair<long, std::string>> PostgresStats::TopStatements(const std::string& database,
                                                                       int count) {
    std::vector<std::pair<long, std::string>> top;
    const ResultTable rows = db_->Query(
        "select s.calls, s.query from pg_stat_statements s join pg_database d on d.oid = s.dbid "
        "where d.datname = '" +
        database + "' order by s.calls desc limit " + std::to_string(count));
    for (const auto& row : rows.rows) {
        top.emplace_back(std::stol(row[0].AsText()), row[1].AsText());
    }
    return top;
}

void PostgresStats::ForgetStatements() {
    db_->Query("select pg_stat_statements_reset()");
}

double PostgresStats::Transactions(const std::string& database) {
    return Number(
        "select xact_commit + xact_rollback as n from pg_stat_database where datname = '" +
        database + "'");
}

std::map<pid_t, double> PostgresStats::ServerCpu() const {
    return ChildrenCpu(postmaster_);
}

double PostgresStats::Number(const std::string& sql) {
    // A fresh snapshot of the statistics, not the one cached for this session.
    db_->Query("select pg_stat_clear_snapshot()");
    const ResultTable rows = db_->Query(sql);
    return rows.rows.empty() ? 0 : std::stod(rows.rows[0][0].AsText());
}

}  // namespace kps::bench
