// Starting a program from a wide command line, as the original platform does:
// the first argument names the program and is looked up in the current
// directory first (a name with a separator is a path from there; a bare name
// is tried there, then on PATH). A program file without its execute bit gets
// it first, since there any image can be started. The child sees the program
// token as written as its argv[0], and inherits no descriptors beyond the
// standard three (its output goes to our pipe when captured).
//
// One object owns one child and belongs to one thread at a time. Waits follow
// the layer's replaceable clock. Destroying the object neither waits for nor
// ends the child.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

struct ProcessStartOptions {
    std::u16string working_directory;  // empty: the current directory
    // Standard output and standard error of the child into one pipe.
    bool capture_output = false;
};

class ChildProcess {
  public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // False when the line names no program that can be found and started.
    bool Start(std::u16string_view command_line, const ProcessStartOptions& options = {});

    int pid() const { return pid_; }
    // True once the child has ended, waiting up to timeout_ms (0xFFFFFFFF: no limit).
    bool WaitForExit(uint32_t timeout_ms);
    // The exit status once the child has ended; 128 + the signal number when a
    // signal ended it.
    std::optional<int> exit_code() const { return exit_code_; }

    // One read of what the captured output holds now, up to max_bytes. Never
    // blocks: empty when the child has written nothing (yet) or output is not
    // captured.
    std::string ReadOutput(std::size_t max_bytes);

  private:
    bool PollExit();
    void CloseOutput();

    int pid_ = -1;
    int output_fd_ = -1;
    std::optional<int> exit_code_;
};

}  // namespace platform
