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
// `ask` shows the box with the text it is given and returns the answer;
// the first box shows `first`, every later one `proposal`. Refusals are
// explained in a message box and the same prompt comes again.
template <typename Ask>
bool ask_until_accepted(rt::Runtime& runtime, Field field, const AcceptedCounts& accepted, Ask ask,
                        const std::string& first, const std::string& proposal, CheckedAnswer& result) {
    for (bool first_box = true;; first_box = false) {
        const std::string answer = ask(first_box ? first : proposal);
        if (answer.empty()) return false;
        result = check_parameter(field, rt::parse_number(answer).value, accepted);
        if (result.verdict == Verdict::accepted) return true;
        if (result.verdict == Verdict::refused) runtime.message_box(rt::box_message, result.message, 1, " OK ");
    }
}

}  // namespace

// A lesson's value meets the rules of a typed answer before anything
// shows it: refused, it brings the same message and the built-in proposal
// stands; above N_A's limit, the limit is proposed, as after a typed answer.
bool Kalorix::lesson_value(Field field, const AcceptedCounts& accepted, std::optional<double> value,
                           std::string& proposal, CheckedAnswer& result) {
    if (!value) return false;
    const CheckedAnswer checked = check_parameter(field, *value, accepted);
    if (checked.verdict == Verdict::refused) runtime_.message_box(rt::box_message, checked.message, 1, " OK ");
    if (checked.verdict != Verdict::accepted) return false;
    if (lesson_.at_once) {
        result = checked;
        return true;
    }
    const bool count = field == Field::Nmax_A || field == Field::Nmax_B || field == Field::n || field == Field::N_A;
    proposal = rt::number_text(count ? checked.count : checked.real);
    return false;
}

void Kalorix::ask_parameters() {
    ++parameter_inputs_begun;
    // The lesson sets the start; a later "Neue Eingabe" proposes as always.
    const bool from_lesson = parameter_inputs_begun == 1;
    // New values end the automatic trials before the first box opens.
    end_automatic_trials();
    const auto abort_input = [this] {
        quit_marker = "*";
        clear_window();
    };
    AcceptedCounts accepted{Nmax_A, Nmax_B, n};
    CheckedAnswer result;

    // The box of one field, unless the lesson's value is taken at once.
    const auto field_accepted = [&](Field field, std::size_t index, const std::string& proposal, auto ask) {
        std::string first = proposal;
        if (from_lesson && lesson_value(field, accepted, lesson_.value(index), first, result)) return true;
        return ask_until_accepted(runtime_, field, accepted, ask, first, proposal, result);
    };
    const auto box = [this](const char* prompt) {
        return [this, prompt](const std::string& proposal) { return runtime_.input_box(prompt, proposal); };
    };
    const auto dialog = [this](const char* prompt, const std::string& hint) {
        return [this, prompt, hint](const std::string& proposal) {
            std::string text = proposal;
            runtime_.input_dialog(prompt, hint, text);
            return text;
        };
    };

    if (!field_accepted(Field::Nmax_A, 0, "400", box("Zahl der Teilchen in Raum A:   Nmax_A"))) return abort_input();
    Nmax_A = accepted.Nmax_A = result.count;

    if (!field_accepted(Field::Nmax_B, 1, "1200", box("Zahl der Teilchen in Raum B:   Nmax_B"))) return abort_input();
    Nmax_B = accepted.Nmax_B = result.count;

    if (!field_accepted(Field::n, 2, "150", dialog("Gesamtzahl angeregter Atome:   n", ""))) return abort_input();
    n = accepted.n = result.count;

    // Above the limit the dialog comes back silently, pre-filled with the limit.
    if (!field_accepted(Field::N_A, 3, rt::number_text(N_A_limit(accepted)), dialog(N_A_prompt, N_A_hint())))
        return abort_input();
    N_A = result.count;

    if (N_A == 0) {
        message_text = "Nur experimentelle Untersuchung !";
        show_message();
    } else {
        const double scale_default = Nmax_A > 1000 ? 0.1 : Nmax_A > 500 ? 0.2 : 0.4;
        graph_width = 319.0 * x_scale;
        if (!field_accepted(Field::entropy_scale, 4, rt::number_text(scale_default), box("Entropieskala")))
            return abort_input();
        entropy_scale = result.real;
    }

    if (!field_accepted(Field::excitation_energy, 5, "2.0", box("Anregungsenergie in eV  "))) return abort_input();
    excitation_energy = result.real;

    reset_colours();
    message_text = "Was haben Sie vor?";
    button_list = "experimentelle Analyse | theoretische Analyse | Wahl nach Menue";
    const std::optional<lesson::Analysis> analysis = from_lesson ? lesson_.analysis : std::nullopt;
    if (analysis && lesson_.at_once)
        choice = static_cast<int>(*analysis);
    else
        choice = runtime_.message_box(rt::box_question, message_text, analysis ? static_cast<int>(*analysis) : 1,
                                      button_list);
    answered_choice = choice;
    clear_window();
}

lesson::Lesson Kalorix::values_in_use() const {
    // Before the first input is complete, the lesson as it was given.
    if (answered_choice == 0) return lesson_;
    lesson::Lesson in_use;
    // Without excitations in A no scale was asked: its field stays empty.
    in_use.values = {Nmax_A,   Nmax_B, n, N_A, N_A != 0 ? std::optional<double>(entropy_scale) : std::nullopt,
                     excitation_energy};
    in_use.analysis = static_cast<lesson::Analysis>(static_cast<int>(answered_choice));
    in_use.at_once = lesson_.at_once;
    in_use.without_title = lesson_.without_title;
    return in_use;
}

}  // namespace kalorix
