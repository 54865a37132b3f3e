// kalorix's parameter input: prompts, defaults, refusals, aborts, the closing question.
#include "kalorix_harness.h"

#include <gtest/gtest.h>

namespace {

using kalorix_test::KalorixRun;

// The value of a "key":"..." field in a transcript line.
std::string field(const std::string& line, const std::string& key) {
    const std::string marker = "\"" + key + "\":\"";
    const auto start = line.find(marker);
    if (start == std::string::npos) return "<none>";
    const auto from = start + marker.size();
    return line.substr(from, line.find('"', from) - from);
}

TEST(KalorixInput, ProposedParametersThroughTheWholeStart) {
    KalorixRun run(std::string(kalorix_test::start_up) + kalorix_test::default_input);
    run.program.run();
    const auto inputs = run.records("input");
    ASSERT_EQ(inputs.size(), 6u);
    const std::pair<const char*, const char*> shown[] = {
        {"Zahl der Teilchen in Raum A:   Nmax_A", "400"},
        {"Zahl der Teilchen in Raum B:   Nmax_B", "1200"},
        {"Gesamtzahl angeregter Atome:   n", "150"},
        {"Zahl anfängl. angeregter Atome in Raum A:   N_A ", "150"},
        {"Entropieskala", "0.4"},
        {"Anregungsenergie in eV  ", "2.0"},
    };
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        EXPECT_EQ(field(inputs[i], "prompt"), shown[i].first) << i;
        EXPECT_EQ(field(inputs[i], "default"), shown[i].second) << i;
    }
    EXPECT_NE(inputs[2].find("\"dialog\":true"), std::string::npos);
    EXPECT_EQ(field(inputs[3], "hint"), " N_A    (   <=  NMAX_A    und   <=  NMAX_B   )" + std::string(28, ' ') +
                                            "Bei Eingabe 0 werden n Teilchen gleichmäßig über A und B verteilt");
    const auto messages = run.records("message");
    EXPECT_NE(messages.back().find("\"style\":18,\"text\":\"Was haben Sie vor?\""), std::string::npos);
    EXPECT_NE(messages.back().find("[\"experimentelle Analyse \",\" theoretische Analyse \",\" Wahl nach Menue\"]"),
              std::string::npos);

    const kalorix::Kalorix& k = run.program;
    EXPECT_EQ(k.Nmax_A, 400);
    EXPECT_EQ(k.Nmax_B, 1200);
    EXPECT_EQ(k.n, 150);
    EXPECT_EQ(k.N_A, 150);
    EXPECT_DOUBLE_EQ(k.entropy_scale, 0.4);
    EXPECT_DOUBLE_EQ(k.excitation_energy, 2.0);
    EXPECT_DOUBLE_EQ(k.graph_width, 319.0 * 3);
    EXPECT_EQ(k.choice, 3) << "Wahl nach Menue";
}

// Runs ask_parameters alone with the given answers.
struct InputRun : KalorixRun {
    explicit InputRun(const std::string& script) : KalorixRun(script) {
        program.x_scale = 3;
        program.ask_parameters();
    }
};

TEST(KalorixInput, N_A_AboveTheSmallestIsAskedAgainPrefilled) {
    InputRun run("answer 400\nanswer 1200\nanswer 3\nanswer 3.4\nanswer 2,6\nanswer 0.4\nanswer 2\nbutton 2\n");
    const auto inputs = run.records("input");
    ASSERT_EQ(inputs.size(), 7u);
    EXPECT_EQ(field(inputs[3], "default"), "3");
    EXPECT_EQ(field(inputs[4], "prompt"), field(inputs[3], "prompt")) << "the same dialog again";
    EXPECT_EQ(field(inputs[4], "default"), "3") << "reset to the limit";
    EXPECT_EQ(run.records("message").size(), 1u) << "no message for the re-ask";
    EXPECT_EQ(run.program.N_A, 3) << "2.6 rounds to 3";
    EXPECT_EQ(run.program.choice, 2);
}

TEST(KalorixInput, EntropyScaleDefaultFollowsRoomA) {
    for (const auto& [room, expected] : {std::pair{500, "0.4"}, {501, "0.2"}, {1000, "0.2"}, {1001, "0.1"}}) {
        InputRun run("answer " + std::to_string(room) + "\nanswer 1200\nanswer 150\nanswer 150\nanswer\n");
        const auto inputs = run.records("input");
        ASSERT_EQ(inputs.size(), 5u) << room;
        EXPECT_EQ(field(inputs[4], "default"), expected) << room;
    }
}

TEST(KalorixInput, OnlyExperimentWithoutExcitationsInA) {
    InputRun run("answer 400\nanswer 1200\nanswer 150\nanswer 0\nbutton 1\nanswer 2\nbutton 1\n");
    const auto inputs = run.records("input");
    ASSERT_EQ(inputs.size(), 5u) << "no entropy scale";
    EXPECT_EQ(field(inputs[4], "prompt"), "Anregungsenergie in eV  ");
    EXPECT_NE(run.records("message")[0].find("Nur experimentelle Untersuchung !"), std::string::npos);
    EXPECT_EQ(run.program.N_A, 0);
    EXPECT_EQ(run.program.choice, 1);
}

struct Refusal {
    const char* name;
    const char* script;   // ends with the accepted answers and the closing question
    const char* message;  // the refusal shown before the prompt comes again
};

class KalorixRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(KalorixRefusal, ExplainsAndAsksTheSamePromptAgain) {
    const Refusal& r = GetParam();
    InputRun run(r.script);
    EXPECT_EQ(run.runtime.next_unused_item(), nullptr) << r.name;
    const auto messages = run.records("message");
    ASSERT_GE(messages.size(), 2u) << r.name;
    EXPECT_EQ(field(messages[0], "text"), r.message) << r.name;
    EXPECT_EQ(run.program.quit_marker, "") << r.name;
    EXPECT_EQ(run.program.Nmax_A, 400) << r.name;
    EXPECT_EQ(run.program.Nmax_B, 1200) << r.name;
    EXPECT_EQ(run.program.n, 150) << r.name;
}

INSTANTIATE_TEST_SUITE_P(
    Answers, KalorixRefusal,
    ::testing::Values(
        Refusal{"empty_room",
                "answer 0\nbutton 1\nanswer 400\nanswer 1200\nanswer 150\nanswer 150\nanswer 1\nanswer 2\nbutton 3\n",
                "Bitte eine ganze Zahl von 1 bis 2563200 eingeben."},
        Refusal{"negative_room",
                "answer -5\nbutton 1\nanswer 400\nanswer 1200\nanswer 150\nanswer 150\nanswer 1\nanswer 2\nbutton 3\n",
                "Bitte eine ganze Zahl von 1 bis 2563200 eingeben."},
        Refusal{
            "text_is_no_room",
            "answer viele\nbutton 1\nanswer 400\nanswer 1200\nanswer 150\nanswer 150\nanswer 1\nanswer 2\nbutton 3\n",
            "Bitte eine ganze Zahl von 1 bis 2563200 eingeben."},
        Refusal{
            "room_beyond_32_bits",
            "answer 1e10\nbutton 1\nanswer 400\nanswer 1200\nanswer 150\nanswer 150\nanswer 1\nanswer 2\nbutton 3\n",
            "Bitte eine ganze Zahl von 1 bis 2563200 eingeben."},
        Refusal{
            "rooms_beyond_the_table",
            "answer 400\nanswer 2562802\nbutton 1\nanswer 1200\nanswer 150\nanswer 150\nanswer 1\nanswer 2\nbutton 3\n",
            "Bitte eine ganze Zahl von 1 bis 2562801 eingeben."},
        Refusal{"no_excitation",
                "answer 400\nanswer 1200\nanswer 0,4\nbutton 1\nanswer 150\nanswer 150\nanswer 1\nanswer 2\nbutton 3\n",
                "Bitte eine ganze Zahl von 1 bis 1600 eingeben."},
        Refusal{
            "more_excitations_than_atoms",
            "answer 400\nanswer 1200\nanswer 1601\nbutton 1\nanswer 150\nanswer 150\nanswer 1\nanswer 2\nbutton 3\n",
            "Bitte eine ganze Zahl von 1 bis 1600 eingeben."},
        Refusal{"negative_N_A",
                "answer 400\nanswer 1200\nanswer 150\nanswer -1\nbutton 1\nanswer 150\nanswer 1\nanswer 2\nbutton 3\n",
                "Bitte eine ganze Zahl von 0 bis 150 eingeben."},
        Refusal{"zero_scale",
                "answer 400\nanswer 1200\nanswer 150\nanswer 150\nanswer 0\nbutton 1\nanswer 0,4\nanswer 2\nbutton 3\n",
                "Bitte eine Zahl größer als 0 eingeben."},
        Refusal{
            "negative_energy",
            "answer 400\nanswer 1200\nanswer 150\nanswer 150\nanswer 0,4\nanswer -2\nbutton 1\nanswer 2\nbutton 3\n",
            "Bitte eine Zahl größer als 0 eingeben."},
        Refusal{
            "infinite_energy",
            "answer 400\nanswer 1200\nanswer 150\nanswer 150\nanswer 0,4\nanswer 1e999\nbutton 1\nanswer 2\nbutton 3\n",
            "Bitte eine Zahl größer als 0 eingeben."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(KalorixInput, TheExperimentRecordLimitsNWithoutExcitationsInA) {
    // One excitation more than a trial can record, in rooms that hold them.
    const std::string n = std::to_string(kalorix::max_recorded_excitations + 1);
    InputRun run("answer 1600\nanswer 1600\nanswer " + n +
                 "\nanswer 0\nbutton 1\nanswer 1\nanswer 1\nanswer 2\nbutton 3\n");
    EXPECT_EQ(run.runtime.next_unused_item(), nullptr);
    const auto messages = run.records("message");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(field(messages[0], "text").find("höchstens 1600 Anregungen"), std::string::npos);
    EXPECT_EQ(run.program.n, kalorix::max_recorded_excitations + 1) << "the answer given before stays";
    EXPECT_EQ(run.program.N_A, 1);
}

TEST(KalorixInput, AnEmptyAnswerEndsAndKeepsTheLaterValues) {
    const char* answers[] = {"answer 10\n", "answer 20\n", "answer 5\n", "answer 4\n", "answer 0.2\n", "answer 3\n"};
    for (int abort_at = 0; abort_at < 6; ++abort_at) {
        std::string script;
        for (int i = 0; i < abort_at; ++i) script += answers[i];
        script += abort_at % 2 ? "cancel\n" : "answer\n";  // an emptied field is the same as a cancel
        KalorixRun run(script);
        kalorix::Kalorix& k = run.program;
        k.x_scale = 3;
        k.Nmax_A = 7, k.Nmax_B = 8, k.n = 2, k.N_A = 1, k.entropy_scale = 9, k.excitation_energy = 6, k.choice = 2;
        k.ask_parameters();
        EXPECT_EQ(k.quit_marker, "*") << abort_at;
        EXPECT_EQ(run.records("message").size(), 0u) << "no closing question";
        EXPECT_EQ(k.Nmax_A, abort_at > 0 ? 10 : 7) << abort_at;
        EXPECT_EQ(k.Nmax_B, abort_at > 1 ? 20 : 8) << abort_at;
        EXPECT_EQ(k.n, abort_at > 2 ? 5 : 2) << abort_at;
        EXPECT_EQ(k.N_A, abort_at > 3 ? 4 : 1) << abort_at;
        EXPECT_DOUBLE_EQ(k.entropy_scale, abort_at > 4 ? 0.2 : 9) << abort_at;
        EXPECT_DOUBLE_EQ(k.excitation_energy, 6) << abort_at;
        EXPECT_EQ(k.choice, 2) << abort_at;
    }
}

}  // namespace

// A lesson that begins at once: values that pass are taken without their
// boxes; N_A above its limit brings its dialog pre-filled with the limit, a
// refused scale its message and the built-in proposal, as typed answers do.
// Its values then go on as the lesson of the values in use.
TEST(KalorixInput, ALessonAtOnceAsksOnlyWhatItsRulesRefuse) {
    KalorixRun run("answer 150\nbutton 1\nanswer 0.3\n");
    lesson::Lesson given;
    given.values = {300, 700, 200, 250, -1, 1.5};
    given.analysis = lesson::Analysis::theory;
    given.at_once = true;
    run.program.x_scale = 3;
    run.program.use_lesson(given);
    run.program.ask_parameters();

    const auto inputs = run.records("input");
    ASSERT_EQ(inputs.size(), 2u);
    EXPECT_EQ(field(inputs[0], "prompt"), "Zahl anfängl. angeregter Atome in Raum A:   N_A ");
    EXPECT_EQ(field(inputs[0], "default"), "200");
    EXPECT_EQ(field(inputs[1], "prompt"), "Entropieskala");
    EXPECT_EQ(field(inputs[1], "default"), "0.4") << "the built-in proposal for Nmax_A = 300";
    const auto messages = run.records("message");
    ASSERT_EQ(messages.size(), 1u) << "no closing question";
    EXPECT_EQ(field(messages[0], "text"), "Bitte eine Zahl größer als 0 eingeben.");

    const kalorix::Kalorix& k = run.program;
    EXPECT_EQ(k.Nmax_A, 300);
    EXPECT_EQ(k.Nmax_B, 700);
    EXPECT_EQ(k.n, 200);
    EXPECT_EQ(k.N_A, 150);
    EXPECT_DOUBLE_EQ(k.entropy_scale, 0.3);
    EXPECT_DOUBLE_EQ(k.excitation_energy, 1.5);
    EXPECT_EQ(k.choice, 2);
    EXPECT_EQ(lesson::command_line(lesson::ProgramKind::kalorix, k.values_in_use()),
              "kalorix --werte 300,700,200,150,0.3,1.5 --analyse theorie --sofort");

    // A second input is no lesson's: the built-in proposals, every box.
    KalorixRun again("answer 400\nanswer 1200\nanswer 150\nanswer 150\nanswer 0.4\nanswer 2.0\nbutton 3\n");
    lesson::Lesson passing = given;
    passing.values = {300, 700, 200, 100, 0.3, 1.5};
    again.program.use_lesson(passing);
    again.program.ask_parameters();
    EXPECT_TRUE(again.records("input").empty()) << "every value passed";
    again.program.ask_parameters();
    ASSERT_EQ(again.records("input").size(), 6u);
    EXPECT_EQ(field(again.records("input")[0], "default"), "400");
    EXPECT_EQ(again.program.choice, 3);
}
