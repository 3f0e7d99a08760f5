#pragma once

#include <map>
#include <string>
#include <vector>

#include "database/Connection.h"
#include "support/TextStatement.h"
#include "text/KpsError.h"

namespace kps::test {

// A connection that answers known statements with set tables, records every
// statement (prepared ones with their values written in, transactions as
// "BEGIN", "COMMIT", "ROLLBACK") and fails every call once `lost` is set.
class ScriptedConnection final : public Connection {
  public:
    void Execute(const std::string& sql) override {
        Check(sql);
        executed.push_back(sql);
    }
    ResultTable Query(const std::string& sql) override {
        Check(sql);
        queried.push_back(sql);
        auto found = tables.find(sql);
        if (found == tables.end()) {
            throw KpsError(kErrStatement, "Unknown statement: " + sql);
        }
        return found->second;
    }
    std::unique_ptr<Statement> Prepare(const std::string& sql) override {
        Check(sql);
        return std::make_unique<TextStatement>(*this, sql);
    }
    void BeginTransaction() override { Execute("BEGIN"); }
    void CommitTransaction() override { Execute("COMMIT"); }
    void RollbackTransaction() override { executed.push_back("ROLLBACK"); }
    std::string DbmsName() const override { return dbmsName; }

    std::map<std::string, ResultTable> tables;
    std::vector<std::string> queried;
    std::vector<std::string> executed;
    bool lost = false;
    std::string dbmsName = "Scripted";

  private:
    void Check(const std::string& sql) const {
        if (lost) {
            throw KpsError(-2147467259, "[DBNETLIB] General network error for: " + sql);
        }
    }
};

}  // namespace kps::test
