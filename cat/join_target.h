// A header join's output decided before the set's pieces are rebuilt, so that every refusal of the join
// (no name to create, the output is one of its inputs, the replace question, too little room) comes before
// any piece is rewritten or renamed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/messages.h"

struct CatTarget {
    // The replace question's answer, asked here; empty for a set without header, whose plain join always
    // takes a new name.
    std::optional<bool> replaceExisting;
};

// firstPiecePath: the first piece's name, which says where its header lies; firstPieceBytes: where its bytes
// are read now, the piece itself or its rebuilt copy waiting under another name; piecePaths: the set's
// pieces as they will be; joinedBytes: what the join writes at most; outputName: the name the join creates
// (empty: the recorded one). Empty, after telling why, when the join would be refused.
// Whether a join may write name in the current directory: not over one of its inputs, the replace question
// (unless answered already), room for joinedBytes, and a commit that replaces nothing where nothing may be.
// Empty, after telling why, when refused; else whether an existing file is replaced.
std::optional<bool> MayWriteOutput(const std::string& name, const std::vector<std::string>& inputs,
                                   uint64_t joinedBytes, std::optional<bool> answered, Messenger& messenger);

std::optional<CatTarget> DecideCatTarget(const std::string& firstPiecePath, const std::string& firstPieceBytes,
                                         const std::vector<std::string>& piecePaths, uint64_t joinedBytes,
                                         const std::string& outputName, Messenger& messenger);
