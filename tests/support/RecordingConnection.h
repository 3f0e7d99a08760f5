#pragma once

#include <string>
#include <vector>

#include "database/Connection.h"
#include "support/TextStatement.h"

namespace kps::test {

// Passes every statement on to a real connection and keeps the text of the
// statements that return no rows (prepared ones with their values written
// in, transactions as "BEGIN", "COMMIT", "ROLLBACK"), so a test can see each
// update exactly.
class RecordingConnection final : public Connection {
  public:
    explicit RecordingConnection(Connection& inner) : inner_(inner) {}

    void Execute(const std::string& sql) override {
        executed.push_back(sql);
        inner_.Execute(sql);
    }
    ResultTable Query(const std::string& sql) override { return inner_.Query(sql); }
    std::unique_ptr<Statement> Prepare(const std::string& sql) override {
        return std::make_unique<TextStatement>(*this, sql);
    }
    void BeginTransaction() override {
        executed.push_back("BEGIN");
        inner_.BeginTransaction();
    }
    void CommitTransaction() override {
        executed.push_back("COMMIT");
        inner_.CommitTransaction();
    }
    void RollbackTransaction() override {
        executed.push_back("ROLLBACK");
        inner_.RollbackTransaction();
    }
    std::string DbmsName() const override { return inner_.DbmsName(); }

    std::vector<std::string> executed;

  private:
    Connection& inner_;
};

}  // namespace kps::test
