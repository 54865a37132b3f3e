#include "diffundo/core/frequency_csv.h"

#include "common/numeric/csv_table.h"
#include "diffundo/core/binomial_distance.h"
#include "diffundo/core/dice_model.h"
#include "diffundo/core/ln_g.h"

namespace diffundo {

std::string frequency_csv(const DiceModel& gas) {
    using numeric::csv_number;
    using numeric::csv_row;
    std::string text(numeric::csv_byte_order_mark);
    text += csv_row({"diffundo: Häufigkeit der Aufteilungen"});
    text += csv_row({"Atome N", std::to_string(gas.N)});
    text += csv_row({"Schritte", std::to_string(gas.trial_count)});
    // The distance as the status line shows it while the statistics display
    // waits, so that a class finds the figure it saw; the table below gives
    // it to full precision (half the sum of |relative frequency - g/2^N|).
    text += csv_row({std::string(distance_name), distance_percent_text(total_variation_distance(gas)), "%"});
    text += csv_row({"m (Atome in Kasten 1)", "Anzahl", "relative Häufigkeit", "g(N,m)/2^N", "ln g(N,m)"});
    const auto steps = static_cast<double>(gas.trial_count);
    for (std::int32_t m = 0; m <= gas.N && m < DiceModel::table_size; ++m) {
        const auto count = gas.frequency_count[static_cast<std::size_t>(m)];
        text += csv_row({std::to_string(m), std::to_string(count), csv_number(steps > 0 ? count / steps : 0.0),
                         csv_number(binomial_probability(gas.N, m)), csv_number(ln_g(gas.N, m))});
    }
    return text;
}

}  // namespace diffundo
