// Reading and writing engine files for the shell, with their failure messages over the main
// window. Paths are as given (relative ones are taken from the workspace); messages show them
// with the system's separators.
#pragma once

#include <string>

#include "app/messages.h"
#include "app/workspace.h"
#include "engine/engine_definition.h"

namespace vexor {

// "\"path\" の読み込みに失敗しました" and "\"path\" への書き込みに失敗しました".
Message engineReadFailed(const std::string& path);
Message engineWriteFailed(const std::string& path);

// A fresh workspace has no engine folder: it is made the first time something goes into it.
// makeEngineFolderFor makes it when path (as given, relative ones from the workspace) names a
// file in it; makeEngineFolder makes it in any case, for the Save As dialog that starts there.
void makeEngineFolder(const Workspace& workspace);
void makeEngineFolderFor(const Workspace& workspace, const std::string& path);

// Reads path into record (see readEngineFile); any failure shows the read failure.
bool loadEngineFile(EngineDefinition& record, const Workspace& workspace, const std::string& path,
                    Messages& messages);

// Writes record to path (see writeEngineFile), the engine folder made first when path is in it. Any failure shows the write failure: a file that
// could not even be made too, since a save that did not write must say so before anything reads
// the file back over the engine in memory.
bool saveEngineFile(const EngineDefinition& record, const Workspace& workspace,
                    const std::string& path, Messages& messages);

}  // namespace vexor
