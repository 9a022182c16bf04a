// Filling the one placeholder of a system text (app/texts.h), with no length limit.
#pragma once

#include <string>

namespace vexor {

// pattern with its first "%s" replaced by value; "%%" gives "%".
std::string formatWithText(const char* pattern, const std::string& value);

// pattern with its first "%d" replaced by value in decimal; "%%" gives "%".
std::string formatWithNumber(const char* pattern, long long value);

}  // namespace vexor
