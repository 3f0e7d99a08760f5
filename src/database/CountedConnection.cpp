#include "database/CountedConnection.h"

#include "text/KpsError.h"

namespace kps {
namespace {

template <typename Call>
auto Counted(std::atomic<long long>& failures, Call&& call) {
    try {
        return call();
    } catch (const KpsError&) {
        failures.fetch_add(1, std::memory_order_relaxed);
        throw;
    }
}

class CountedStatement final : public Statement {
  public:
    CountedStatement(std::unique_ptr<Statement> inner, std::atomic<long long>& failures)
        : inner_(std::move(inner)), failures_(failures) {}

    void Bind(int index, const Value& value) override {
        Counted(failures_, [&] { inner_->Bind(index, value); });
    }
    void Execute() override {
        Counted(failures_, [&] { inner_->Execute(); });
    }
    ResultTable Query() override {
        return Counted(failures_, [&] { return inner_->Query(); });
    }
    // Passed on as such, so that a statement read row by row stays so.
    void QueryInto(RowSink& sink) override {
        Counted(failures_, [&] { inner_->QueryInto(sink); });
    }

  private:
    std::unique_ptr<Statement> inner_;
    std::atomic<long long>& failures_;
};

}  // namespace

CountedConnection::CountedConnection(Connection& inner, std::atomic<long long>& failures)
    : inner_(inner), failures_(failures) {}

CountedConnection::CountedConnection(std::unique_ptr<Connection> owned,
                                     std::atomic<long long>& failures)
    : owned_(std::move(owned)), inner_(*owned_), failures_(failures) {}

void CountedConnection::Execute(const std::string& sql) {
    Counted(failures_, [&] { inner_.Execute(sql); });
}

ResultTable CountedConnection::Query(const std::string& sql) {
    return Counted(failures_, [&] { return inner_.Query(sql); });
}

std::unique_ptr<Statement> CountedConnection::Prepare(const std::string& sql) {
    return Counted(failures_, [&]() -> std::unique_ptr<Statement> {
        return std::make_unique<CountedStatement>(inner_.Prepare(sql), failures_);
    });
}

void CountedConnection::BeginTransaction() {
    Counted(failures_, [&] { inner_.BeginTransaction(); });
}

void CountedConnection::CommitTransaction() {
    Counted(failures_, [&] { inner_.CommitTransaction(); });
}

}  // namespace kps
