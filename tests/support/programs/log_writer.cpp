// Writes lines to the run log of the current directory as fast as it can:
// log_writer TAG WIDTH COUNT writes COUNT lines of TAG repeated WIDTH times.
#include <cstdlib>
#include <string>

#include "app/RunLog.h"

int main(int argc, char** argv) {
    if (argc != 4 || argv[1][0] == '\0') {
        return 2;
    }
    ConfigureRunLog({.echo_to_stdout = false, .write_file = true});
    const std::string body(std::strtoul(argv[2], nullptr, 10), argv[1][0]);
    const long count = std::strtol(argv[3], nullptr, 10);
    for (long i = 0; i < count; ++i) {
        WriteLog("%s", body.c_str());
    }
    return 0;
}
