// The name of an engine as window titles, history headers and the resume check use it.
#pragma once

#include <string>

namespace vexor {

// The text after the last path separator of path, up to the last full stop that follows it:
// engine\nuq.eng -> nuq, C:\tools\engine\a.b.eng -> a.b, a.x\name -> name. The separators are
// "\" and "/" on every platform, as Windows takes both in paths: engine/nuq.eng names the same
// engine as engine\nuq.eng. Code page 932 aware: a "\" that is the second byte of a
// double-byte character is part of the name.
std::string baseName(const std::string& path);

// The same rule with "\" as the only separator, for texts that are not paths but may hold "/"
// (a history header such as 2006/02/01 (nuq) stays whole).
std::string baseNameAtBackslash(const std::string& text);

}  // namespace vexor
