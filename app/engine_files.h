// Reading and writing engine files for the shell, with the specified failure messages over the
// main window. Paths are as given (relative ones are taken from the workspace) and are shown as
// given.
#pragma once

#include <string>

#include "app/messages.h"
#include "app/workspace.h"
#include "engine/engine_definition.h"

namespace vexor {

// "\"path\" の読み込みに失敗しました" and "\"path\" への書き込みに失敗しました".
Message engineReadFailed(const std::string& path);
Message engineWriteFailed(const std::string& path);

// Reads path into record (see readEngineFile); any failure shows the read failure.
bool loadEngineFile(EngineDefinition& record, const Workspace& workspace, const std::string& path,
                    Messages& messages);

// Writes record to path (see writeEngineFile). A file that could not be written after it was
// made shows the write failure; one that could not be made at all is left to the read-back that
// follows every save, which reports it.
bool saveEngineFile(const EngineDefinition& record, const Workspace& workspace,
                    const std::string& path, Messages& messages);

}  // namespace vexor
