// A failure of a command: printed as "vela-gameinfo: <what>: <why>", exit 1.
#pragma once

#include <stdexcept>
#include <string>

class ToolError : public std::runtime_error {
  public:
    ToolError(std::string what, std::string why)
        : std::runtime_error(what + ": " + why), m_strWhat(std::move(what)) {}
    const std::string& subject() const { return m_strWhat; }

  private:
    std::string m_strWhat;
};

// A bad command line: usage on standard error, exit 2.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};
