// Steps both joins share: the copy of one input and the outcome of an unfinished run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/crc32.h"
#include "core/messages.h"
#include "core/piece_header.h"
#include "core/piece_name.h"
#include "core/progress_meter.h"
#include "core/read_ahead.h"
#include "platform/file.h"

// Large blocks keep the copy at disk speed; one set of buffers serves the whole run.
constexpr size_t kCopyBlockSize = 128 * 1024;

// Copies first from its current position to its end, then every file of rest whole, in order, as
// one stream: the next piece is opened and read ahead while the last block is written, and what is
// copied is fed to crc when there is one. A piece that cannot be opened or read, or a failed write,
// throws FileException; a stop request throws JobStopped.
void CopyInOrder(File& first, const std::vector<std::string>& rest, File& output, ProgressMeter& meter,
                 Crc32* crc = nullptr);

// The one read of a first piece's header: seeks to its data area (behind the catstub image of a
// self-catenating piece) and fills the header window, kHeaderWindow bytes, fewer only when the piece ends
// first. Returns how many; the file stands behind them.
size_t ReadFirstPieceWindow(File& first, const PieceNameParts& parts, uint8_t* window);

// The name parts of a path's last component.
PieceNameParts PiecePartsOf(const std::string& path);

// Bytes from the current position of each input to its end: a join's progress total.
uint64_t BytesToCat(const std::vector<std::string>& paths, uint64_t skippedInFirst);

// The unfinished output of a join that ends unfinished (empty when none was created) and whether that
// is still there.
told::Unfinished UnfinishedOutput(const std::string& partialPath);
