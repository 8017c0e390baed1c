#include "core/outcome.h"

Outcome::Outcome(const Outcome&) = default;
Outcome::Outcome(Outcome&&) noexcept = default;
Outcome& Outcome::operator=(const Outcome&) = default;
Outcome& Outcome::operator=(Outcome&&) noexcept = default;
Outcome::~Outcome() = default;
