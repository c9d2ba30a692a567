#pragma once
// A failed expectation on an Outcome or its code prints the code's name
// (and the text).

#include "model/Outcome.h"

#include <ostream>

inline void PrintTo(OutcomeCode code, std::ostream *os)
{
    *os << Outcome::codeName(code);
}

inline void PrintTo(const Outcome &outcome, std::ostream *os)
{
    *os << outcome.codeName() << " \"" << outcome.text().toStdString() << '"';
}

// The success expected of a step a test builds on.
inline const Outcome kOk;
