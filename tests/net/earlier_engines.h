// The engine files that the classic fake-engine layouts gave before extended rules existed
// (tests/net/data/engines_before_extension), by layout name.
#pragma once

#include <map>
#include <string>

namespace vexor::test {

const std::map<std::string, std::string>& enginesLearntBeforeExtension();

}  // namespace vexor::test
