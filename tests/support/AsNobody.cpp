#include "support/AsNobody.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

namespace kps::test {
namespace {

const passwd& Nobody() {
    const passwd* nobody = ::getpwnam("nobody");
    if (nobody == nullptr) {
        throw std::runtime_error("this machine has no user nobody");
    }
    return *nobody;
}

}  // namespace

bool CanActAsAnotherUser() {
    return ::geteuid() == 0 && ::getpwnam("nobody") != nullptr;
}

int ExitStatusAsNobody(const std::function<int()>& body) {
    const passwd& nobody = Nobody();
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(nobody.pw_gid) != 0 ||
            ::setuid(nobody.pw_uid) != 0) {
            ::_exit(125);
        }
        ::_exit(body());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

void OpenToEveryone(const std::string& folder) {
    if (::chmod(folder.c_str(), 0755) != 0) {
        throw std::runtime_error("cannot open " + folder + " to everyone");
    }
}

void GiveToNobody(const std::string& path) {
    const passwd& nobody = Nobody();
    if (::lchown(path.c_str(), nobody.pw_uid, nobody.pw_gid) != 0) {
        throw std::runtime_error("cannot give " + path + " to nobody");
    }
}

}  // namespace kps::test
