#pragma once

#include "support/RecordingConnection.h"
#include "support/TestDatabase.h"

namespace kps::test {

// An order database whose updates are recorded. Fixtures inherit it ahead of
// PrintRig so the connection exists before the rig that uses it.
struct RecordedDatabase {
    explicit RecordedDatabase(Backend backend) : database(backend) {}

    TestDatabase database;
    RecordingConnection db{database.Db()};
};

}  // namespace kps::test
