#pragma once

#include <string>
#include <vector>

#include "database/Value.h"

namespace kps {

// Takes the rows of a statement one at a time, as they are fetched, so a
// caller can count or fold a large result without holding it.
class RowSink {
  public:
    virtual ~RowSink() = default;

    // Once per run, before the first row.
    virtual void Columns(const std::vector<std::string>& names) = 0;

    // One row, columns in the order given. The sink may move the values out;
    // the statement refills the vector for the next row.
    virtual void Row(std::vector<Value>& values) = 0;
};

}  // namespace kps
