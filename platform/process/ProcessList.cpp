#include "platform/process/ProcessList.h"

#include <dirent.h>

#include <cstdlib>
#include <optional>

#include "platform/process/ProcessInternal.h"

namespace platform {
namespace {

std::optional<int> PidOf(const char* name) {
    char* end = nullptr;
    long pid = std::strtol(name, &end, 10);
    if (end == name || *end != '\0' || pid <= 0) {
        return std::nullopt;
    }
    return static_cast<int>(pid);
}

}  // namespace

std::vector<ProcessEntry> ListProcesses() {
    std::vector<ProcessEntry> processes;
    DIR* proc = opendir("/proc");
    if (proc == nullptr) {
        return processes;
    }
    while (dirent* entry = readdir(proc)) {
        std::optional<int> pid = PidOf(entry->d_name);
        if (!pid) {
            continue;
        }
        std::optional<std::string> path =
            process_internal::ReadLinkTarget("/proc/" + std::string(entry->d_name) + "/exe");
        if (!path) {
            continue;
        }
        processes.push_back({*pid, *path, process_internal::WideReportedPath(*path)});
    }
    closedir(proc);
    return processes;
}

}  // namespace platform
