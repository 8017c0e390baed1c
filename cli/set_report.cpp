// The names of missing pieces.
#include "cli/set_report.h"

#include "core/piece_name.h"

std::string MissingPieceNames(const SetSurvey& set) {
    std::string names;
    for (int n : set.missing)
        names += (names.empty() ? "" : ", ") + PieceName(n);
    return names;
}
