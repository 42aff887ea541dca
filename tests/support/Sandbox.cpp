#include "tests/support/Sandbox.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace testsupport {

namespace fs = std::filesystem;

void SandboxTest::SetUp() {
    const char* env_root = std::getenv("VELA_TEST_ROOT");
    fs::path base = env_root ? fs::path(env_root) : fs::temp_directory_path();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name) {
        if (c == '/') {
            c = '_';
        }
    }
    std::random_device rd;
    root_ = base / (name + "." + std::to_string(rd()));
    work_ = root_ / "work";
    fs::create_directories(work_);
    fs::create_directories(root_ / "sandbox");
    setenv("VELA_SANDBOX", (root_ / "sandbox").c_str(), 1);
    previous_cwd_ = fs::current_path();
    fs::current_path(work_);
}

void SandboxTest::TearDown() {
    fs::current_path(previous_cwd_);
    if (!HasFailure()) {
        std::error_code ec;
        // Read-only fixtures must not keep the folder alive.
        for (auto it = fs::recursive_directory_iterator(root_, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
        fs::remove_all(root_, ec);
    }
}

std::string SandboxTest::BinPath(const std::string& program) {
    return std::string(VELA_BIN_DIR) + "/" + program;
}

void SandboxTest::WriteFile(const fs::path& path, std::string_view bytes) {
    if (path.has_parent_path()) {
        fs::create_directories(path.parent_path());
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << "cannot write fixture " << path;
}

std::string SandboxTest::ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

}  // namespace testsupport
