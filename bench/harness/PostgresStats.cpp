#include "harness/PostgresStats.h"

#include <algorithm>

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

std::map<std::string, std::vector<pid_t>> PostgresStats::SessionBackends(
    const std::vector<std::string>& databases) {
    std::string names;
    for (const std::string& database : databases) {
        names += names.empty() ? "'" : ", '";
        names += database;
        names += "'";
    }
    std::map<std::string, std::vector<pid_t>> backends;
    if (names.empty()) {
        return backends;
    }
    const ResultTable rows = db_->Query(
        "select pid, coalesce(application_name, '') from pg_stat_activity "
        "where backend_type = 'client backend' and datname in (" +
        names + ")");
    for (const auto& row : rows.rows) {
        backends[row[1].AsText()].push_back(static_cast<pid_t>(std::stol(row[0].AsText())));
    }
    return backends;
}

std::vector<pid_t> PostgresStats::BackgroundProcesses() {
    const ResultTable rows =
        db_->Query("select pid from pg_stat_activity where backend_type = 'client backend'");
    std::vector<pid_t> clients;
    for (const auto& row : rows.rows) {
        clients.push_back(static_cast<pid_t>(std::stol(row[0].AsText())));
    }
    std::vector<pid_t> background;
    for (const pid_t child : ChildrenOf(postmaster_)) {
        if (std::find(clients.begin(), clients.end(), child) == clients.end()) {
            background.push_back(child);
        }
    }
    return background;
}

double PostgresStats::Number(const std::string& sql) {
    // A fresh snapshot of the statistics, not the one cached for this session.
    db_->Query("select pg_stat_clear_snapshot()");
    const ResultTable rows = db_->Query(sql);
    return rows.rows.empty() ? 0 : std::stod(rows.rows[0][0].AsText());
}

}  // namespace kps::bench
