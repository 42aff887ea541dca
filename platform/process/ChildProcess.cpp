#include "platform/process/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>
#include <vector>

#include "platform/files/PathArg.h"
#include "platform/process/CommandLine.h"
#include "platform/text/TextConversion.h"
#include "platform/time/Clock.h"

extern char** environ;

namespace platform {
namespace {

constexpr uint32_t kExitPollMs = 5;

bool IsRegularFile(const std::string& path, struct stat* info) {
    return stat(path.c_str(), info) == 0 && S_ISREG(info->st_mode);
}

std::string CurrentDirectory() {
    std::vector<char> buffer(4096);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) {
            return ".";
        }
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

std::optional<std::string> SearchPath(const std::string& name) {
    const char* path_env = getenv("PATH");
    std::string_view dirs = path_env ? path_env : "/bin:/usr/bin";
    while (!dirs.empty()) {
        std::size_t colon = dirs.find(':');
        std::string_view dir = dirs.substr(0, colon);
        dirs = colon == std::string_view::npos ? std::string_view() : dirs.substr(colon + 1);
        if (dir.empty()) {
            continue;  // the current directory has been tried already
        }
        std::string candidate = std::string(dir) + "/" + name;
        struct stat info;
        if (IsRegularFile(candidate, &info) && access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return std::nullopt;
}

// Absolute path of the program a command line names. Files found from the
// current directory may be made executable; files on PATH are taken as they are.
std::optional<std::string> ResolveProgram(std::u16string_view token) {
    const PathArg arg(token);
    const std::optional<std::string>& native = arg.native();
    if (!native) {
        return std::nullopt;
    }
    std::string path = native->front() == '/' ? *native : CurrentDirectory() + "/" + *native;
    struct stat info;
    if (!IsRegularFile(path, &info)) {
        if (native->find('/') != std::string::npos) {
            return std::nullopt;
        }
        return SearchPath(*native);
    }
    if ((info.st_mode & S_IXUSR) == 0) {
        chmod(path.c_str(), (info.st_mode & 07777) | S_IXUSR);  // a failure shows at the start
    }
    return path;
}

class SpawnSetup {
  public:
    SpawnSetup() {
        posix_spawn_file_actions_init(&actions_);
        posix_spawnattr_init(&attributes_);
        // The child starts with no blocked signals and a default SIGPIPE,
        // whatever this process has chosen for itself.
        sigset_t none;
        sigemptyset(&none);
        posix_spawnattr_setsigmask(&attributes_, &none);
        sigset_t defaults;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGPIPE);
        posix_spawnattr_setsigdefault(&attributes_, &defaults);
        posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions_);
        posix_spawnattr_destroy(&attributes_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    bool RedirectOutput(int fd) {
        return posix_spawn_file_actions_adddup2(&actions_, fd, STDOUT_FILENO) == 0 &&
               posix_spawn_file_actions_adddup2(&actions_, fd, STDERR_FILENO) == 0;
    }
    bool ChangeDirectory(const std::string& dir) {
        return posix_spawn_file_actions_addchdir_np(&actions_, dir.c_str()) == 0;
    }
    // As there, a child inherits no handles: only the standard three stay,
    // also descriptors that a library opened without close-on-exec.
    bool CloseTheRest() {
        return posix_spawn_file_actions_addclosefrom_np(&actions_, STDERR_FILENO + 1) == 0;
    }
    int Spawn(pid_t* pid, const std::string& program, std::vector<std::string>& args) {
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        return posix_spawn(pid, program.c_str(), &actions_, &attributes_, argv.data(), environ);
    }

  private:
    posix_spawn_file_actions_t actions_;
    posix_spawnattr_t attributes_;
};

}  // namespace

ChildProcess::~ChildProcess() {
    CloseOutput();
    if (pid_ > 0 && !exit_code_) {
        PollExit();  // a child that has ended leaves no zombie behind
    }
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)),
      output_fd_(std::exchange(other.output_fd_, -1)),
      exit_code_(std::exchange(other.exit_code_, std::nullopt)) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        CloseOutput();
        pid_ = std::exchange(other.pid_, -1);
        output_fd_ = std::exchange(other.output_fd_, -1);
        exit_code_ = std::exchange(other.exit_code_, std::nullopt);
    }
    return *this;
}

bool ChildProcess::Start(std::u16string_view command_line, const ProcessStartOptions& options) {
    CloseOutput();
    pid_ = -1;
    exit_code_.reset();

    std::vector<std::u16string> words = SplitCommandLine(command_line);
    if (words.empty()) {
        return false;
    }
    std::vector<std::string> args;
    for (const std::u16string& word : words) {
        if (word.find(u'\0') != std::u16string::npos) {
            return false;
        }
        args.push_back(Utf16ToUtf8(word));
    }
    std::optional<std::string> program = ResolveProgram(words.front());
    if (!program) {
        return false;
    }

    SpawnSetup setup;
    if (!options.working_directory.empty()) {
        const PathArg dir(options.working_directory);
        if (!dir.native() || !setup.ChangeDirectory(*dir.native())) {
            return false;
        }
    }
    int pipe_fds[2] = {-1, -1};
    if (options.capture_output) {
        if (pipe2(pipe_fds, O_CLOEXEC) != 0) {
            return false;
        }
        // Only our end is non-blocking, so a read never waits for the child.
        fcntl(pipe_fds[0], F_SETFL, fcntl(pipe_fds[0], F_GETFL) | O_NONBLOCK);
        if (!setup.RedirectOutput(pipe_fds[1])) {
            close(pipe_fds[0]);
            close(pipe_fds[1]);
            return false;
        }
    }
    pid_t pid = -1;
    int rc = setup.CloseTheRest() ? setup.Spawn(&pid, *program, args) : ENOMEM;
    if (pipe_fds[1] >= 0) {
        // The child holds the write end now; ours would keep the pipe open
        // after the child has ended.
        close(pipe_fds[1]);
    }
    if (rc != 0) {
        if (pipe_fds[0] >= 0) {
            close(pipe_fds[0]);
        }
        errno = rc;
        return false;
    }
    pid_ = pid;
    output_fd_ = pipe_fds[0];
    return true;
}

bool ChildProcess::PollExit() {
    if (exit_code_) {
        return true;
    }
    if (pid_ <= 0) {
        return false;
    }
    int status = 0;
    pid_t rc;
    do {
        rc = waitpid(pid_, &status, WNOHANG);
    } while (rc < 0 && errno == EINTR);
    if (rc == 0) {
        return false;
    }
    if (rc < 0) {
        exit_code_ = -1;  // reaped elsewhere: ended, status unknown
    } else if (WIFEXITED(status)) {
        exit_code_ = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        exit_code_ = 128 + WTERMSIG(status);
    } else {
        return false;
    }
    return true;
}

bool ChildProcess::WaitForExit(uint32_t timeout_ms) {
    const uint64_t deadline = DeadlineAfter(timeout_ms);
    for (;;) {
        if (PollExit()) {
            return true;
        }
        if (pid_ <= 0) {
            return false;
        }
        uint64_t now = CurrentClock().MonotonicMs();
        if (now >= deadline) {
            return false;
        }
        Sleep(static_cast<uint32_t>(std::min<uint64_t>(kExitPollMs, deadline - now)));
    }
}

std::string ChildProcess::ReadOutput(std::size_t max_bytes) {
    if (output_fd_ < 0 || max_bytes == 0) {
        return {};
    }
    std::string data(max_bytes, '\0');
    ssize_t n;
    do {
        n = read(output_fd_, data.data(), max_bytes);
    } while (n < 0 && errno == EINTR);
    data.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return data;
}

void ChildProcess::CloseOutput() {
    if (output_fd_ >= 0) {
        close(output_fd_);
        output_fd_ = -1;
    }
}

}  // namespace platform
