// The folder vexor works in, named: it holds the settings file, the engine folder and one history
// folder per survey target. Each entry point chooses it (the Windows program its own folder or
// the current one, vexor-cli the current one or --dir); everything below resolves paths
// through it and never through the process's working directory.
#pragma once

#include <string>

namespace vexor {

inline constexpr char SETTINGS_FILE_NAME[] = "vexor.ini";
inline constexpr char ENGINE_FOLDER_NAME[] = "engine";
// The default engine file, relative to the workspace, as the settings name it.
inline constexpr char DEFAULT_ENGINE_PATH[] = "engine\\nuq.eng";

struct Workspace {
    std::string root;  // absolute, code page 932

    // A path as the user or the settings give it, made absolute: relative paths are taken from
    // the root. The path itself stays what messages, titles and the settings show.
    std::string resolve(const std::string& path) const;

    std::string settingsFile() const;                           // <root>\vexor.ini
    std::string engineFolder() const;                           // <root>\engine
    std::string historyFolder(const std::string& target) const;  // <root>\<escaped target>
};

}  // namespace vexor
