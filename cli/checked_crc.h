// The CRC-32 of the data a join would write, from what the check against the recovery files read: each
// piece was read once there, so verify needs no second pass over the set.
#pragma once

#include <optional>

#include "cat/set_survey.h"
#include "cli/console.h"
#include "core/crc32_job.h"
#include "recovery/piece_check.h"

// Done with the joined data's CRC-32 when every surveyed piece was checked intact under its path at its
// present size; empty otherwise (a piece the recovery files do not describe), when it is read as before.
// Throws FileException when the first piece cannot be opened.
std::optional<CrcJobResult> CrcFromCheck(const SetSurvey& set, const par2::SetCheck& check);

// The joined data's CRC-32: from the check's one read of each piece where it covered them all, else read
// with a "Verify" progress line.
CrcJobResult JoinedCrc(const SetSurvey& set, const par2::CheckResult& checked, Console& console);
