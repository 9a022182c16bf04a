// Reading /proc for a browser's processes.
#include <dirent.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "browser_processes.h"

namespace vexor::testing {
namespace {

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The process group from /proc/PID/stat: the fifth field, counted after the name in brackets.
long groupOf(const std::string& stat) {
    const auto close = stat.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream fields(stat.substr(close + 1));
    std::string state;
    long parent = 0;
    long group = -1;
    fields >> state >> parent >> group;
    return group;
}

}  // namespace

int BrowserProcesses::count() {
    int seen = 0;
    DIR* proc = opendir("/proc");
    if (!proc) return -1;
    while (const dirent* entry = readdir(proc)) {
        const std::string name = entry->d_name;
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
        const std::string stat = fileText("/proc/" + name + "/stat");
        if (stat.empty()) continue;
        // A zombie is ended; only its parent's wait is missing.
        const auto close = stat.rfind(')');
        if (close != std::string::npos && stat.compare(close + 2, 1, "Z") == 0) continue;
        const long group = groupOf(stat);
        const bool named = fileText("/proc/" + name + "/cmdline").find(profile_) != std::string::npos;
        if (named) groups_.insert(group);
        if (named || groups_.count(group)) ++seen;
    }
    closedir(proc);
    return seen;
}

int countAfterEnding(BrowserProcesses& processes) {
    int left = processes.count();
    for (int i = 0; i < 100 && left != 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        left = processes.count();
    }
    return left;
}

}  // namespace vexor::testing
