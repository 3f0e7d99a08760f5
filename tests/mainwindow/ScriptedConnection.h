#pragma once

#include <map>
#include <string>
#include <vector>

#include "database/Connection.h"
#include "text/KpsError.h"

namespace kps::test {

// A connection that answers known statements with set tables, records every
// statement and fails every call once `lost` is set.
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

    std::map<std::string, ResultTable> tables;
    std::vector<std::string> queried;
    std::vector<std::string> executed;
    bool lost = false;

  private:
    void Check(const std::string& sql) const {
        if (lost) {
            throw KpsError(-2147467259, "[DBNETLIB] General network error for: " + sql);
        }
    }
};

}  // namespace kps::test
