#pragma once

#include <string>
#include <vector>

#include "database/Connection.h"

namespace kps::test {

// Passes every statement on to a real connection and keeps the text of the
// statements that return no rows, so a test can see each update exactly.
class RecordingConnection final : public Connection {
  public:
    explicit RecordingConnection(Connection& inner) : inner_(inner) {}

    void Execute(const std::string& sql) override {
        executed.push_back(sql);
        inner_.Execute(sql);
    }
    ResultTable Query(const std::string& sql) override { return inner_.Query(sql); }

    std::vector<std::string> executed;

  private:
    Connection& inner_;
};

}  // namespace kps::test
