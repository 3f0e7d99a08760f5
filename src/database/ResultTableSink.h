#pragma once

#include <string>
#include <utility>
#include <vector>

#include "database/ResultTable.h"
#include "database/RowSink.h"

namespace kps {

// Keeps every row it is given: a whole result for Statement::Query.
class ResultTableSink final : public RowSink {
  public:
    void Columns(const std::vector<std::string>& names) override { table.columns = names; }
    void Row(std::vector<Value>& values) override { table.rows.push_back(std::move(values)); }

    ResultTable table;
};

}  // namespace kps
