// A fresh folder under the system's temporary folder for one test, removed with everything in
// it when the object goes. Its path is a code page 932 string, ready for platform/files.h.
#pragma once

#include <filesystem>
#include <string>

namespace vexor::testing {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    const std::filesystem::path& native() const { return native_; }
    // path() joined with name by the Windows separator, as the program writes paths.
    std::string file(const std::string& name) const;

private:
    std::filesystem::path native_;
    std::string path_;
};

}  // namespace vexor::testing
