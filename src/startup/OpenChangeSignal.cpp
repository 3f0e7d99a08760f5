#include "startup/OpenChangeSignal.h"

#include "database/PostgresChangeListener.h"
#include "database/SqliteDataVersionSignal.h"
#include "database/WaitingRowsProbe.h"
#include "startup/OpenConnection.h"

namespace kps {

namespace {

std::unique_ptr<ChangeSignal> Probe(const GeneralSetup& setup, Connection& db) {
    if (setup.WakeProbeMs <= 0) {
        return nullptr;
    }
    return std::make_unique<WaitingRowsProbe>(db, std::chrono::milliseconds(setup.WakeProbeMs));
}

}  // namespace

std::unique_ptr<ChangeSignal> OpenChangeSignal(const GeneralSetup& setup, Connection& db,
                                               const PrintLog& log, std::function<void()> wake) {
    const std::string dbms = db.DbmsName();
    if (dbms.starts_with("SQLite")) {
        return std::make_unique<SqliteDataVersionSignal>(
            db, [&log](const std::string& line) { log.WriteLog(line); });
    }
    if (dbms != "PostgreSQL") {
        return Probe(setup, db);
    }
    if (!PostgresChangeListener::TriggersPresent(db)) {
        log.WriteLog(
            "Warning: the waiting tables have no change trigger (schema/add-indexes-postgres.sql "
            "adds "
            "it): they are read every second");
        return Probe(setup, db);
    }
    return std::make_unique<PostgresChangeListener>(
        PostgresParametersFromOdbc(OdbcConnectionString(setup),
                                   PostgresChangeListener::kApplicationName),
        std::move(wake), [&log](const std::string& line) { log.WriteLog(line); });
}

}  // namespace kps
