// The keyword of the learning samples, 東京, and its escaped forms as a browser shows them.
#pragma once

namespace vexor::test {

inline constexpr char TOKYO_UTF8[] = "\xE6\x9D\xB1\xE4\xBA\xAC";
inline constexpr char TOKYO_UTF8_ESCAPED[] = "%E6%9D%B1%E4%BA%AC";
inline constexpr char TOKYO_EUC_ESCAPED[] = "%C5%EC%B5%FE";
inline constexpr char TOKYO_SJIS_ESCAPED[] = "%93%8C%8B%9E";

}  // namespace vexor::test
