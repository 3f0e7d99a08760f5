#include "harness/RunArguments.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace kps::bench {

RunArguments::RunArguments(int argc, char** argv, std::string program, std::string usage)
    : argc_(argc), argv_(argv), program_(std::move(program)), usage_(std::move(usage)) {}

bool RunArguments::Next() {
    if (next_ >= argc_) {
        return false;
    }
    current_ = argv_[next_++];
    return true;
}

bool RunArguments::Number(const char* name, int& target) {
    if (current_ != name) {
        return false;
    }
    int value = 0;
    char rest = 0;
    if (next_ >= argc_ || std::sscanf(argv_[next_], "%d%c", &value, &rest) != 1 || value < 0) {
        std::cerr << program_ << ": " << name << " wants a number\n" << usage_;
        std::exit(2);
    }
    ++next_;
    target = value;
    return true;
}

bool RunArguments::Text(const char* name, std::string& target) {
    if (current_ != name || next_ >= argc_) {
        return false;
    }
    target = argv_[next_++];
    return true;
}

int RunArguments::Unexpected() const {
    std::cerr << program_ << ": unexpected argument " << current_ << "\n" << usage_;
    return 2;
}

}  // namespace kps::bench
