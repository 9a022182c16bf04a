// Temporary working directories for tests that touch files.
#include "scratch_directory.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "platform/files.h"

namespace vexor::testing {

ScratchDirectory::ScratchDirectory() : previous_(workingDirectory()) {
    if (!changeDirectory(folder_.path()))
        throw std::runtime_error("cannot enter the temporary folder");
}

ScratchDirectory::~ScratchDirectory() { changeDirectory(previous_); }

void writeBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::string readBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace vexor::testing
