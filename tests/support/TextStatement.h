#pragma once

#include <string>
#include <vector>

#include "database/Connection.h"

namespace kps::test {

// The statement text with each "?" marker outside quotes replaced by its
// value: NULL, numbers bare, any other value between single quotes (inner
// quotes doubled). A marker without a value throws.
std::string SqlWithValues(const std::string& sql, const std::vector<Value>& values);

// A prepared statement for fake connections: each run hands SqlWithValues to
// the connection's Execute or Query, so the fake sees, records and answers
// plain text.
class TextStatement final : public Statement {
  public:
    TextStatement(Connection& connection, std::string sql);

    void Bind(int index, const Value& value) override;
    void Execute() override;
    ResultTable Query() override;

  private:
    Connection& connection_;
    std::string sql_;
    std::vector<Value> values_;
};

}  // namespace kps::test
