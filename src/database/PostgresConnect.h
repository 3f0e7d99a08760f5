#pragma once

#include <memory>
#include <string>

#include "database/PostgresParameters.h"

// libpq's connection; only the files that talk libpq include its header.
typedef struct pg_conn PGconn;

namespace kps {

struct PostgresFinish {
    void operator()(PGconn* connection) const;
};
using PostgresConnection = std::unique_ptr<PGconn, PostgresFinish>;

// Connects with libpq, waiting at most the parameters' connect_timeout for
// each address. The connection may have failed: ask PQstatus.
PostgresConnection ConnectPostgres(const PostgresParameters& parameters);

// libpq's last error on the connection, without its line break; "connection
// ended" when libpq says nothing.
std::string PostgresFailure(const PGconn* connection);

}  // namespace kps
