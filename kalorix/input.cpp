// The parameter input: room sizes, excitations, entropy scale, energy, and
// the question what to do next.
#include "common/runtime/number_format.h"
#include "kalorix/core/parameter_rules.h"
#include "kalorix/kalorix.h"

namespace kalorix {
namespace {

constexpr const char* N_A_prompt = "Zahl anfängl. angeregter Atome in Raum A:   N_A ";

std::string N_A_hint() {
    return " N_A    (   <=  NMAX_A    und   <=  NMAX_B   )" + std::string(28, ' ') +
           "Bei Eingabe 0 werden n Teilchen gleichmäßig über A und B verteilt";
}

// Asks one prompt until its answer is accepted. Returns false on an empty
// answer (emptied field or cancelled box), which ends the program.
// `ask` shows the box and returns the answer text; refusals are explained
// in a message box and the same prompt comes again.
template <typename Ask>
bool ask_until_accepted(rt::Runtime& runtime, Field field, const AcceptedCounts& accepted, Ask ask,
                        CheckedAnswer& result) {
    for (;;) {
        const std::string answer = ask();
        if (answer.empty()) return false;
        result = check_parameter(field, rt::parse_number(answer).value, accepted);
        if (result.verdict == Verdict::accepted) return true;
        if (result.verdict == Verdict::refused) runtime.message_box(rt::box_message, result.message, 1, " OK ");
    }
}

}  // namespace

void Kalorix::ask_parameters() {
    ++parameter_inputs_begun;
    // New values end the automatic trials before the first box opens.
    end_automatic_trials();
    const auto abort_input = [this] {
        quit_marker = "*";
        clear_window();
    };
    AcceptedCounts accepted{Nmax_A, Nmax_B, n};
    CheckedAnswer result;

    const auto box = [this](const char* prompt, const char* default_text) {
        return [this, prompt, default_text] { return runtime_.input_box(prompt, default_text); };
    };

    if (!ask_until_accepted(runtime_, Field::Nmax_A, accepted, box("Zahl der Teilchen in Raum A:   Nmax_A", "400"),
                            result))
        return abort_input();
    Nmax_A = accepted.Nmax_A = result.count;

    if (!ask_until_accepted(runtime_, Field::Nmax_B, accepted, box("Zahl der Teilchen in Raum B:   Nmax_B", "1200"),
                            result))
        return abort_input();
    Nmax_B = accepted.Nmax_B = result.count;

    const auto ask_n = [this] {
        std::string text = "150";
        runtime_.input_dialog("Gesamtzahl angeregter Atome:   n", "", text);
        return text;
    };
    if (!ask_until_accepted(runtime_, Field::n, accepted, ask_n, result)) return abort_input();
    n = accepted.n = result.count;

    // Above the limit the dialog comes back silently, pre-filled with the limit.
    const std::string limit_text = rt::number_text(N_A_limit(accepted));
    const auto ask_N_A = [this, &limit_text] {
        std::string text = limit_text;
        runtime_.input_dialog(N_A_prompt, N_A_hint(), text);
        return text;
    };
    if (!ask_until_accepted(runtime_, Field::N_A, accepted, ask_N_A, result)) return abort_input();
    N_A = result.count;

    if (N_A == 0) {
        message_text = "Nur experimentelle Untersuchung !";
        show_message();
    } else {
        const double scale_default = Nmax_A > 1000 ? 0.1 : Nmax_A > 500 ? 0.2 : 0.4;
        graph_width = 319.0 * x_scale;
        const std::string default_text = rt::number_text(scale_default);
        const auto ask_scale = [this, &default_text] { return runtime_.input_box("Entropieskala", default_text); };
        if (!ask_until_accepted(runtime_, Field::entropy_scale, accepted, ask_scale, result)) return abort_input();
        entropy_scale = result.real;
    }

    if (!ask_until_accepted(runtime_, Field::excitation_energy, accepted, box("Anregungsenergie in eV  ", "2.0"),
                            result))
        return abort_input();
    excitation_energy = result.real;

    reset_colours();
    message_text = "Was haben Sie vor?";
    button_list = "experimentelle Analyse | theoretische Analyse | Wahl nach Menue";
    choice = runtime_.message_box(rt::box_question, message_text, 1, button_list);
    clear_window();
}

}  // namespace kalorix
