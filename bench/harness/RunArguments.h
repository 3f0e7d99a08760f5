#pragma once

#include <string>

namespace kps::bench {

// The command line of a measuring run, read one argument at a time. A
// number option without a whole number ends the run with status 2 and the
// usage.
class RunArguments {
  public:
    RunArguments(int argc, char** argv, std::string program, std::string usage);

    // Moves to the next argument; false after the last.
    bool Next();
    const std::string& Current() const { return current_; }

    // True when the current argument is `name`, taking its value.
    bool Number(const char* name, int& target);
    bool Text(const char* name, std::string& target);

    // Reports the current argument as unexpected; returns the status 2.
    int Unexpected() const;

  private:
    int argc_;
    char** argv_;
    int next_ = 1;
    std::string current_;
    std::string program_;
    std::string usage_;
};

}  // namespace kps::bench
