// Counting a browser's processes from outside: those whose command line names its profile
// folder (the browser itself, and the helpers that carry the folder along), and those in the
// process groups that such processes were seen in (helpers that do not carry it).
#pragma once

#include <set>
#include <string>

namespace vexor::testing {

class BrowserProcesses {
public:
    explicit BrowserProcesses(std::string profileFolder) : profile_(std::move(profileFolder)) {}

    // The processes running now; also remembers their process groups for later counts.
    int count();

private:
    std::string profile_;
    std::set<long> groups_;
};

// Waits up to a few seconds for count() to reach 0, for processes that are still ending; the
// last count.
int countAfterEnding(BrowserProcesses& processes);

}  // namespace vexor::testing
