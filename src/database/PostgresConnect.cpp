#include "database/PostgresConnect.h"

#include <libpq-fe.h>

#include <vector>

namespace kps {

void PostgresFinish::operator()(PGconn* connection) const {
    PQfinish(connection);
}

PostgresConnection ConnectPostgres(const PostgresParameters& parameters) {
    std::vector<const char*> keywords;
    std::vector<const char*> values;
    for (const auto& [keyword, value] : parameters) {
        keywords.push_back(keyword.c_str());
        values.push_back(value.c_str());
    }
    keywords.push_back(nullptr);
    values.push_back(nullptr);
    return PostgresConnection(PQconnectdbParams(keywords.data(), values.data(), 0));
}

std::string PostgresFailure(const PGconn* connection) {
    std::string message = PQerrorMessage(connection);
    while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) {
        message.pop_back();
    }
    return message.empty() ? std::string("connection ended") : message;
}

}  // namespace kps
