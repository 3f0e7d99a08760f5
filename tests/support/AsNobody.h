#pragma once

#include <functional>
#include <string>

namespace kps::test {

// Whether this process may become another user (tests of what others may do
// skip otherwise).
bool CanActAsAnotherUser();

// Runs `body` in a forked child that has become the user nobody and returns
// the child's exit status: `body`'s result, or 125 when it could not become
// nobody. `body` must not use the test framework's assertions.
int ExitStatusAsNobody(const std::function<int()>& body);

// Lets nobody reach `folder` (the test's temporary folders are private).
void OpenToEveryone(const std::string& folder);

// Gives `path` to the user nobody, as if another user had created it.
void GiveToNobody(const std::string& path);

}  // namespace kps::test
