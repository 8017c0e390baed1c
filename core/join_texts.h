// The texts of a join that catstub and Fendrik's joins both show: one table, so that the two never
// word the same thing twice. catstub builds its messages from these pieces in fixed buffers.
#pragma once

namespace join_text {
constexpr char kConfirm[] = "Self Catenate Splited Files?";
constexpr char kCantOpenSplitFile[] = "Can't open split file";
constexpr char kCantOpenFile[] = "Can't open file:\n";
constexpr char kDeleteAndStartAgain[] = "\nDelete and start again";
constexpr char kCrcOk[] = "CRC check OK. Catenated File OK";
constexpr char kCrcFailed[] = "CRC check FAILED. Catenated File inconsistent";
constexpr char kNoUsableName[] = "_Split#000.exe holds no usable file name";
constexpr char kNothingWritten[] = "Nothing was written.";
constexpr char kCantRead[] = "Can't read split file:\n";
constexpr char kCantWrite[] = "Can't write file:\n";
constexpr char kUnfinished[] = "\nThe unfinished file ";
constexpr char kWasDeleted[] = " was deleted.";
constexpr char kCantSearch[] = "Can't search for split files";
constexpr char kFoundTwice[] = "Two split files carry the same number:\n";
constexpr char kIsMissing[] = " is missing: the set cannot be catenated without it.";
// What the recovery index tells: the pieces that are missing before the join, the damaged ones after it.
constexpr char kMissingPieces[] = "These split files are missing; the set cannot be catenated without them:";
constexpr char kDamagedPieces[] = "These split files are damaged:";
constexpr char kWrongSize[] = " (wrong size)";
constexpr char kAnd[] = "and ";
constexpr char kMore[] = " more";
constexpr char kRebuildHint[] = "To rebuild them from the recovery files, open the set in Fendrik or any PAR2 program.";
// catstub's rebuild of a set from its recovery files.
constexpr char kMissingOrDamaged[] = "These split files are missing or damaged:";
constexpr char kMissingMark[] = " (missing)";
constexpr char kDamagedMark[] = " (damaged)";
constexpr char kCanRebuild[] = "The recovery files can rebuild them.\nRebuild them, then catenate?";
constexpr char kSlicesHeld[] = "The recovery files here hold ";
constexpr char kRecoverySlice[] = " recovery slice"; // "s" follows for any count but 1
constexpr char kSlicesNeeded[] = "; rebuilding them needs ";
constexpr char kAddVolumes[] = ".\nAdd recovery volumes that hold at least ";
constexpr char kMoreSlices[] = " more";
constexpr char kStartAgain[] = ", then start again.\n";
constexpr char kNoMemory[] = "catstub can't have the memory the rebuild needs: ";
constexpr char kMiB[] = " MiB.";
constexpr char kCantSolve[] = "The recovery slices here can't rebuild them.";
constexpr char kRebuiltWrong[] = "The rebuilt file does not match its recorded MD5:\n";
constexpr char kRebuiltNotKept[] = "\nIt was not kept; the set was not catenated.";
} // namespace join_text
