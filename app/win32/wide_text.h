// Texts crossing into and out of the W APIs. Everything the program keeps is code page 932;
// these helpers add what windows and file names need beyond platform/text.h.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace vexor {

// A path from Windows as code page 932. A name with characters that code page 932 cannot hold
// is taken by its short (8.3) form when the file system has one; nothing when neither fits.
std::optional<std::string> pathToCp932(const std::wstring& path);

// Typed text as code page 932, each character without a code page 932 form replaced by "?",
// as the ANSI text functions do.
std::string typedTextToCp932(const std::wstring& text);

// The whole text of a window (an edit control, a caption) as UTF-16.
std::wstring windowText(HWND window);

}  // namespace vexor
