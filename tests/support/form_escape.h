// A sample search address as a browser shows it after a form's submission.
#pragma once

#include <string>

namespace vexor::testing {

// The escaping of a search form (application/x-www-form-urlencoded): ASCII letters, digits and
// * - . _ as they are, a space as "+", every other byte "%XX" in upper case, with no lead-byte
// rule (unlike percentEncode).
std::string formEscaped(const std::string& bytes);

}  // namespace vexor::testing
