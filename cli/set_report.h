// Naming what a surveyed set lacks, for join, verify and info alike.
#pragma once

#include <string>

#include "cat/set_survey.h"

// "_Split#001, _Split#004": the missing pieces by name.
std::string MissingPieceNames(const SetSurvey& set);
