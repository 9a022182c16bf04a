// Temporary folders for tests.
#include "temp_folder.h"

#include <random>
#include <stdexcept>
#include <system_error>

#include "platform/files.h"
#include "platform/text.h"

namespace vexor::testing {
namespace {

std::string cp932Of(const std::filesystem::path& path) {
#ifdef _WIN32
    const auto text = wideToCp932(path.wstring());
#else
    const auto text = utf8ToCp932(path.string());
#endif
    if (!text) throw std::runtime_error("temporary folder path has no code page 932 form");
    return *text;
}

}  // namespace

TempFolder::TempFolder() {
    std::random_device random;
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        native_ = base / ("vexor-test-" + std::to_string(random()));
        std::error_code error;
        if (std::filesystem::create_directory(native_, error)) {
            path_ = cp932Of(native_);
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(native_, ignored);
}

std::string TempFolder::file(const std::string& name) const { return joinPath(path_, name); }

}  // namespace vexor::testing
