// Beginning a new history generation so that a kill at any moment leaves it done or undone:
// the files move up by renames from the oldest down (the oldest, 4.txt, into the folder
// "archive" instead of being deleted), and a marker file names the plan until the new 0.txt
// stands. A run that finds the marker finishes the rotation first.
//
// The order of a rotation in folder F, with P the generations present:
//   1. F\0.new: the new generation's file, its header only;
//   2. F\rotation: P and the header (written as rotation.new, then renamed);
//   3. for k in P from the highest: 4.txt to archive\<start>.txt, k.txt to (k+1).txt;
//   4. 0.new to 0.txt;  5. the marker removed.
// While 0.new stands the moves of P can be told done or not (a generation of P whose file is
// gone has moved, and so have all above it); once it is gone only the marker is left to remove.
#pragma once

#include <string>

namespace vexor {

inline constexpr char ARCHIVE_FOLDER[] = "archive";

enum class RotationOutcome {
    Rotated,
    Failed,  // a move could not be made: every file is as it was before
};

// Shifts the generations of folder by one and starts 0.txt with header (without line end).
// Refused (Failed, nothing changed) when a generation's name holds anything but a regular file.
RotationOutcome rotateGenerations(const std::string& folder, const std::string& header);

// Finishes a rotation that a killed run left in folder, and removes what a run killed before it
// began one left behind. True when the history changed.
bool finishInterruptedRotation(const std::string& folder);

// The name under archive\ of a generation file's content: "YYYYMMDD-HHMMSS.txt" from its first
// record (with no record, the header's date and 000000), so that names sort by the run's start.
std::string archiveName(const std::string& generationFile);

}  // namespace vexor
