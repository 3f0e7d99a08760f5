#pragma once

#include <map>
#include <string>
#include <vector>

#include "database/PostgresSession.h"

namespace kps::test {

// A PostgreSQL session that answers each statement from `answers` (nothing
// for any other), records what it was asked in a list that outlives it, and
// answers a Sync while `alive`.
class FakePostgresSession final : public PostgresSession {
  public:
    explicit FakePostgresSession(std::vector<std::string>& asked) : asked_(asked) {}

    std::int64_t Backend() const override { return backend; }
    std::vector<std::int64_t> Ask(const std::string& sql,
                                  const std::vector<std::int64_t>& /*parameters*/) override {
        asked_.push_back(sql);
        return answers.contains(sql) ? answers.at(sql) : std::vector<std::int64_t>{};
    }
    bool Sync() override { return alive; }

    std::int64_t backend = 0;
    std::map<std::string, std::vector<std::int64_t>> answers;
    bool alive = true;

  private:
    std::vector<std::string>& asked_;
};

}  // namespace kps::test
