#include "harness/DatabaseChoice.h"

#include <cstdlib>
#include <iostream>

namespace kps::bench {

bool DatabaseChoice::Take(RunArguments& arguments) {
    std::string name;
    if (arguments.Current() == "--no-trigger") {
        trigger = false;
        return true;
    }
    if (!arguments.Text("--database", name)) {
        return false;
    }
    if (name != "sqlite" && name != "postgres") {
        std::cerr << "--database is sqlite or postgres, not " << name << "\n";
        std::exit(2);
    }
    postgres = name == "postgres";
    return true;
}

OutletDatabase DatabaseChoice::For(const std::string& server) const {
    OutletDatabase where;
    if (postgres) {
        where.postgres = PostgresLogin::FromEnvironment();
    }
    where.schemaFolder = SchemaFolderOf(server);
    where.trigger = trigger;
    return where;
}

std::string DatabaseChoice::Name() const {
    if (!postgres) {
        return "SQLite";
    }
    return trigger ? "PostgreSQL" : "PostgreSQL without trigger";
}

}  // namespace kps::bench
