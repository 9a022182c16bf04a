// The engine definition file (".eng"): a packed little-endian stream that starts with the magic
// "_VEXOR_ENGINE_DEFINITION_" and the version, then every field of the record in order, each
// string as a 32-bit byte count and its bytes.
#pragma once

#include <string>

#include "engine/engine_definition.h"

namespace vexor {

inline constexpr char ENGINE_FILE_MAGIC[] = "_VEXOR_ENGINE_DEFINITION_";  // 25 bytes in the file

// After the last rule, where earlier readers stop, a file may carry an extension: the four
// bytes of ENGINE_EXTENSION_MARK, then blocks of a 4-byte tag, a 32-bit byte count and the
// content. Block ENGINE_EXTENDED_RULES_TAG holds the extended rules: a 32-bit count, then for
// each rule its selection (1 byte), prefix and link kind (strings). Block ENGINE_RULE_CONTEXTS_TAG,
// after it and only when a rule has a context, holds a 32-bit count (that of the extended rules)
// and each rule's context as a string; a reader that does not know it skips it and reads the
// rules without their contexts. Block ENGINE_RULE_CONTAINERS_TAG, likewise only when a rule has a
// container, holds the count and each rule's container as a string. Block ENGINE_PAGE_MARKS_TAG
// holds the results page marks: a 32-bit count, then each mark as a string, at most
// MOST_PAGE_MARKS of at most LONGEST_PAGE_MARK bytes. A record without extended rules and
// without marks is written without an extension, so earlier programs read it byte for byte.
inline constexpr char ENGINE_EXTENSION_MARK[] = "VXEX";
inline constexpr char ENGINE_EXTENDED_RULES_TAG[] = "XRUL";
inline constexpr char ENGINE_RULE_CONTEXTS_TAG[] = "XCTX";
inline constexpr char ENGINE_RULE_CONTAINERS_TAG[] = "XCON";
inline constexpr char ENGINE_PAGE_MARKS_TAG[] = "MARK";

// How a read ended.
enum class EngineFileRead {
    Read,        // every field and rule was read
    CannotOpen,  // missing, not a regular file, or unreadable
    WrongMagic,  // too short for the magic, or other bytes there
    Truncated,   // cut short inside a field or an extension block, or a count beyond the end
};

// How a write ended.
enum class EngineFileWrite {
    Written,
    CannotCreate,  // no file could be made at the path (folder missing or not writable)
    CannotWrite,   // made, but writing or putting it in place failed; the old file is intact
};

// The file's bytes for record.
std::string engineFileBytes(const EngineDefinition& record);

// Resets record and fills it from bytes, assigning each field as soon as it is read. At the
// first field the bytes cannot give, the fields read before it stay in record and the others
// keep their reset values. The stored version is skipped: record keeps version 100. A string
// ends at its first NUL byte. Bytes after the last rule are ignored unless they begin with the
// extension mark; a damaged extended rules block leaves record without extended rules, a damaged
// marks block (or one past the bounds) without marks, and either reads as Truncated.
EngineFileRead parseEngineFile(const std::string& bytes, EngineDefinition& record);

// Reads the file at path (a code page 932 path) into record as parseEngineFile does; a file
// that cannot be read leaves record reset.
EngineFileRead readEngineFile(EngineDefinition& record, const std::string& path);

// Stores record at path. The bytes go to a temporary file beside path that replaces the old
// file only when it is complete, so a failed save leaves the previous file as it was.
EngineFileWrite writeEngineFile(const EngineDefinition& record, const std::string& path);

}  // namespace vexor
