#pragma once

#include <atomic>
#include <memory>

#include "database/Connection.h"

namespace kps {

// A connection that counts the statements that failed on it (a back end's
// KpsError), for the server's figures, and passes everything on unchanged.
class CountedConnection final : public Connection {
  public:
    CountedConnection(Connection& inner, std::atomic<long long>& failures);
    // Owns the connection it counts for.
    CountedConnection(std::unique_ptr<Connection> owned, std::atomic<long long>& failures);

    void Execute(const std::string& sql) override;
    ResultTable Query(const std::string& sql) override;
    std::unique_ptr<Statement> Prepare(const std::string& sql) override;
    void BeginTransaction() override;
    void CommitTransaction() override;
    void RollbackTransaction() override { inner_.RollbackTransaction(); }
    std::string DbmsName() const override { return inner_.DbmsName(); }

  private:
    std::unique_ptr<Connection> owned_;
    Connection& inner_;
    std::atomic<long long>& failures_;
};

}  // namespace kps
