// A small program that holds a browser session, for the test that kills a program while its
// browser runs: browser_holder PROGRAM PROFILE PROXY ADDRESS fetches ADDRESS through a browser
// session, writes "ready" on its descriptor 4 and waits to be killed.
#include <unistd.h>

#include <atomic>
#include <string>

#include "web/browser_fetcher.h"

int main(int argc, char** argv) {
    if (argc != 5) return 2;
    vexor::BrowserOptions options;
    options.program = argv[1];
    options.profileFolder = argv[2];
    options.proxy = argv[3];
    vexor::BrowserSession session(options);
    std::string body;
    const std::atomic<bool> never{false};
    session.fetch(argv[4], body, never);
    const std::string word = body.empty() ? "failed" : "ready";
    if (::write(4, word.data(), word.size()) < 0) return 1;
    for (;;) pause();
}
