#pragma once

#include <string>
#include <vector>

#include "database/OdbcStatementHandle.h"
#include "database/Statement.h"

namespace kps {

// A statement prepared by the ODBC driver; values are bound afresh for each
// run, so a value may be bound again between runs.
class OdbcStatement final : public Statement {
  public:
    OdbcStatement(void* dbc, const std::string& password, OdbcStatementStyle style,
                  const std::string& sql);

    void Bind(int index, const Value& value) override;
    void Execute() override;
    ResultTable Query() override;
    void QueryInto(RowSink& sink) override;

  private:
    void Run();

    OdbcStatementHandle handle_;
    std::vector<Value> values_;
};

}  // namespace kps
