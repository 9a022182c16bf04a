// A workspace in a fresh temporary folder for one test: the folder vexor works in, with its
// settings file, engine folder and history folders, removed with everything in it when the
// object goes. Nothing changes the process's working directory.
#pragma once

#include <filesystem>
#include <string>

#include "app/workspace.h"
#include "temp_folder.h"

namespace vexor::testing {

class TestWorkspace {
public:
    TestWorkspace() : workspace_{folder_.path()} {}

    const Workspace& workspace() const { return workspace_; }
    const std::string& root() const { return folder_.path(); }
    // A path of the workspace (relative names are taken from its root), code page 932.
    std::string at(const std::string& path) const { return workspace_.resolve(path); }
    // root + "\\" + name, as the program joins the names of its own files and folders.
    std::string joined(const std::string& name) const { return folder_.file(name); }
    // The same for test-side access by native path (ASCII names).
    std::filesystem::path native(const std::string& relative) const { return folder_.native() / relative; }

private:
    TempFolder folder_;
    Workspace workspace_;
};

// Test-side file access by native path, byte for byte, independent of the platform layer
// under test.
void writeBytes(const std::filesystem::path& file, const std::string& bytes);
std::string readBytes(const std::filesystem::path& file);  // "" when missing

}  // namespace vexor::testing
