// vexor-cli's exit statuses; scripts that run it from a scheduler depend on them.
#pragma once

namespace vexor::cli {

inline constexpr int EXIT_DONE = 0;
inline constexpr int EXIT_FAILED = 1;       // the failure's message is on standard error
inline constexpr int EXIT_WRONG_USAGE = 2;  // also an argument without a code page 932 form
inline constexpr int EXIT_KEYWORDS_FAILED = 3;  // surveyed, but some keyword's search failed
inline constexpr int EXIT_ENGINE_REFUSED = 4;   // stopped: the engine refused keywords in a row
inline constexpr int EXIT_INTERRUPTED = 130;     // Ctrl-C, as shells report SIGINT

}  // namespace vexor::cli
