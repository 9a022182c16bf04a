// A fresh temporary folder made the working directory for the life of the object; the previous
// working directory is restored before the folder is removed.
#pragma once

#include <filesystem>
#include <string>

#include "temp_folder.h"

namespace vexor::testing {

class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    // Code page 932, for platform/files.h.
    const std::string& path() const { return folder_.path(); }

private:
    TempFolder folder_;
    std::string previous_;
};

// Test-side file access by native path (ASCII names), byte for byte, independent of the
// platform layer under test.
void writeBytes(const std::filesystem::path& file, const std::string& bytes);
std::string readBytes(const std::filesystem::path& file);  // "" when missing

}  // namespace vexor::testing
