#pragma once
// The frequency table of the dice as CSV text for a spreadsheet: N, the
// steps and the distance to the binomial law (named and rounded as in the
// status line, then "%" in a field of its own) in the header, then one row per
// split m = 0 .. N: count, relative frequency, g(N, m) / 2^N, ln g(N, m).

#include <string>

namespace diffundo {

class DiceModel;

std::string frequency_csv(const DiceModel& gas);

}  // namespace diffundo
