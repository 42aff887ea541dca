// Runs a built tool as a shell command in a folder of the test, with its
// standard output and standard error kept apart. A deadline kills a tool that
// hangs, so the test fails instead of hanging.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace testsupport {

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// args is shell text; the tool runs in dir with no standard input. Its output
// is caught in the current directory, outside dir.
inline ToolRun RunToolIn(const std::filesystem::path& dir, const std::string& program,
                         const std::string& args, int deadlineSeconds = 60) {
    const std::filesystem::path out = std::filesystem::absolute("tool.out");
    const std::filesystem::path err = std::filesystem::absolute("tool.err");
    const std::string command = "cd '" + dir.string() + "' && timeout -s KILL " +
                                std::to_string(deadlineSeconds) + " '" + program + "' " + args +
                                " >'" + out.string() + "' 2>'" + err.string() + "' </dev/null";
    const int status = std::system(command.c_str());
    ToolRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadWholeFile(out);
    run.err = ReadWholeFile(err);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return run;
}

}  // namespace testsupport
