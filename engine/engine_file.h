// The engine definition file (".eng"): a packed little-endian stream that starts with the magic
// "_VEXOR_ENGINE_DEFINITION_" and the version, then every field of the record in order, each
// string as a 32-bit byte count and its bytes.
#pragma once

#include <string>

#include "app/ui.h"
#include "engine/engine_definition.h"

namespace vexor {

inline constexpr char ENGINE_FILE_MAGIC[] = "_VEXOR_ENGINE_DEFINITION_";  // 25 bytes in the file

// The file's bytes for record.
std::string engineFileBytes(const EngineDefinition& record);

// Resets record and fills it from bytes, assigning each field as soon as it is read. False at
// the first field the bytes cannot give (wrong magic, cut short, a count beyond the end); the
// fields read before it stay in record, the others keep their reset values. The stored version
// is skipped: record keeps version 100. A string ends at its first NUL byte. Bytes after the
// last rule are ignored.
bool parseEngineFile(const std::string& bytes, EngineDefinition& record);

// Reads the file at path (a code page 932 path) into record as parseEngineFile does. On any
// failure, the file missing or unreadable included, shows "\"path\" の読み込みに失敗しました"
// with the warning icon over the main window and returns false.
bool readEngineFile(EngineDefinition& record, const std::string& path, Ui& ui);

// Stores record at path. The bytes go to a temporary file beside path that replaces the old
// file only when it is complete, so a failed save leaves the previous file as it was. A file
// that cannot be created gives false with no message (the read-back that follows reports it);
// a failure after that shows "\"path\" への書き込みに失敗しました" with the warning icon over
// the main window and returns false.
bool writeEngineFile(const EngineDefinition& record, const std::string& path, Ui& ui);

}  // namespace vexor
