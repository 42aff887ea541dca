// vela-rescompile SCRIPT ARTWORK_DIR OUTPUT: compiles a program's resource
// script and its generated artwork into the C++ source of its module.
// Errors name the script line; nothing is written then, so a broken script
// or a wrong artwork size breaks the build instead of shipping.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "tools/rescompile/ModuleSource.h"
#include "tools/rescompile/ResourceScript.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: vela-rescompile SCRIPT ARTWORK_DIR OUTPUT.cpp\n");
        return 2;
    }
    const std::string script_path = argv[1];
    std::ifstream in(script_path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "%s: error: cannot read the script\n", script_path.c_str());
        return 1;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    rescompile::ResourceScript script;
    rescompile::ScriptError error;
    std::string source;
    if (!rescompile::ParseResourceScript(text, script, error) ||
        !rescompile::WriteModuleSource(script, argv[2],
                                       std::filesystem::path(script_path).filename().string(),
                                       source, error)) {
        std::fprintf(stderr, "%s:%d: error: %s\n", script_path.c_str(), error.line,
                     error.message.c_str());
        return 1;
    }

    // Written beside the target and renamed, so a failed run leaves no half file.
    const std::filesystem::path output = argv[3];
    std::filesystem::path partial = output;
    partial += ".partial";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(source.data(), static_cast<std::streamsize>(source.size()));
        if (!out.good()) {
            std::fprintf(stderr, "%s: error: cannot write\n", partial.c_str());
            return 1;
        }
    }
    std::error_code ec;
    std::filesystem::rename(partial, output, ec);
    if (ec) {
        std::fprintf(stderr, "%s: error: cannot write: %s\n", output.c_str(), ec.message().c_str());
        return 1;
    }
    return 0;
}
