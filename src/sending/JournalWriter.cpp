#include "sending/JournalWriter.h"

#include <unistd.h>

#include <chrono>
#include <optional>
#include <utility>

#include "startup/IsoDateTime.h"
#include "text/KpsError.h"

namespace kps {

JournalWriter::JournalWriter(ConnectionOpener open, std::string writer, const Clock& clock,
                             const PrintLog& log)
    : open_(std::move(open)),
      writer_(std::move(writer)),
      clock_(clock),
      log_(log),
      commits_([this](std::vector<Rows>& batch) { return Commit(batch); }) {}

std::string JournalWriter::UniqueWriterName() {
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) != 0) {
        host[0] = '\0';
    }
    const auto since = std::chrono::system_clock::now().time_since_epoch();
    std::string name(host);
    name += '/';
    name += std::to_string(::getpid());
    name += '/';
    name += std::to_string(std::chrono::duration_cast<std::chrono::microseconds>(since).count());
    return name;
}

bool JournalWriter::Starting(const PrintJob& job) {
    if (job.itemIds.empty()) {
        return true;  // a reprint or a probe: nothing it could leave unmarked
    }
    Rows mine;
    const std::string now = FormatIsoDateTime(clock_.Now());
    for (const std::string& key : job.itemIds) {
        mine.push_back({key, job.number, job.device, now});
    }
    return commits_.Add(std::move(mine));
}

bool JournalWriter::Commit(const std::vector<Rows>& batch) {
    // Whatever goes wrong, the lanes waiting for this commit must hear of it.
    std::optional<std::string> failure;
    try {
        if (!db_) {
            db_ = open_();
            insert_ = db_->Prepare(
                "insert into kps_print_journal (ItemKey, Writer, Job, Device, StartedAt) "
                "values (?, ?, ?, ?, ?)");
        }
        db_->BeginTransaction();
        for (const Rows& rows : batch) {
            for (const Row& row : rows) {
                insert_->Bind(1, Value::Text(row.key));
                insert_->Bind(2, Value::Text(writer_));
                insert_->Bind(3, Value::Integer(static_cast<long long>(row.job)));
                insert_->Bind(4, Value::Text(row.device));
                insert_->Bind(5, Value::Text(row.startedAt));
                insert_->Execute();
            }
        }
        db_->CommitTransaction();
    } catch (const KpsError& error) {
        failure = error.Description();
    } catch (const std::exception& error) {
        failure = error.what();
    }
    if (failure) {
        if (db_) {
            db_->RollbackTransaction();
        }
        // Opened afresh next time: the connection may be what failed.
        insert_.reset();
        db_.reset();
        if (!failing_) {
            failing_ = true;
            log_.WriteLog("Error Print Journal: " + *failure);
        }
        return false;
    }
    if (failing_) {
        failing_ = false;
        log_.WriteLog("Print Journal is written again");
    }
    return true;
}

}  // namespace kps
