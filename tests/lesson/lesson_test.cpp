#include "common/lesson/lesson.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

using lesson::Analysis;
using lesson::DrawMode;
using lesson::Form;
using lesson::Lesson;
using lesson::ProgramKind;
using lesson::read_link;

constexpr ProgramKind kalorix = ProgramKind::kalorix;
constexpr ProgramKind diffundo = ProgramKind::diffundo;

struct ReadCase {
    const char* name;
    ProgramKind program;
    const char* fragment;
    Lesson expected;
};

TEST(LessonReading, EveryFieldOfBothPrograms) {
    Lesson brief;
    brief.values = {300, 700, 200, 0, 0.4, 2};
    brief.analysis = Analysis::experiment;
    brief.without_title = true;
    Lesson partial;
    partial.values = {500, std::nullopt, 20};
    Lesson diffundo_all;
    diffundo_all.values = {40};
    diffundo_all.draw_mode = DrawMode::sorted;
    diffundo_all.tempo = 50;
    diffundo_all.at_once = true;
    Lesson full_speed;
    full_speed.tempo = 0;
    full_speed.draw_mode = DrawMode::in_place;
    Lesson theory;
    theory.analysis = Analysis::theory;
    theory.at_once = true;
    Lesson none;
    none.analysis = Analysis::none;
    Lesson extreme;  // the form only: the input's rules judge these values
    extreme.values = {-1e300, 1e300, 2.5e-300, -0.0, 1e-5, 123456789};
    Lesson decoded;
    decoded.values = {300, 700};
    decoded.analysis = Analysis::theory;

    const std::vector<ReadCase> cases = {
        {"empty", kalorix, "", Lesson{}},
        {"only a hash", kalorix, "#", Lesson{}},
        {"all kalorix fields", kalorix, "#werte=300,700,200,0,0.4,2&analyse=experiment&ohne-titel", brief},
        {"fields in another order", kalorix, "ohne-titel&analyse=experiment&werte=300,700,200,0,0.4,2", brief},
        {"empty parts between keys", kalorix, "&&werte=300,700,200,0,0.4,2&&analyse=experiment&ohne-titel&", brief},
        {"a flag given =", kalorix, "werte=300,700,200,0,0.4,2&analyse=experiment&ohne-titel=", brief},
        {"fewer values, one empty", kalorix, "werte=500,,20", partial},
        {"theory at once", kalorix, "analyse=theorie&sofort", theory},
        {"no analysis", kalorix, "analyse=keine", none},
        {"extreme numbers", kalorix, "werte=-1e300,1e300,2.5e-300,-0,1e-5,123456789", extreme},
        {"percent-encoded", kalorix, "w%65rte=300%2C700&analyse=%74heorie", decoded},
        {"all diffundo fields", diffundo, "werte=40&modus=sortiert&tempo=50&sofort", diffundo_all},
        {"full speed, in place", diffundo, "tempo=voll&modus=einzeln", full_speed},
    };
    for (const ReadCase& c : cases) {
        const lesson::Reading reading = read_link(c.program, c.fragment);
        EXPECT_EQ(reading.error, "") << c.name;
        ASSERT_TRUE(reading.lesson) << c.name;
        EXPECT_EQ(*reading.lesson, c.expected) << c.name;
    }
}

struct RefusedCase {
    const char* name;
    ProgramKind program;
    std::string fragment;
    const char* error;  // the whole German reason
};

TEST(LessonReading, RefusesWhatIsNoLesson) {
    const std::vector<RefusedCase> cases = {
        {"unknown key", kalorix, "werte=1&farbe=rot", "„farbe“ gibt es bei kalorix nicht"},
        {"the other program's key", kalorix, "tempo=5", "„tempo“ gibt es bei kalorix nicht"},
        {"kalorix's key in diffundo", diffundo, "analyse=theorie", "„analyse“ gibt es bei diffundo nicht"},
        {"keys are lower case", kalorix, "Werte=1", "„Werte“ gibt es bei kalorix nicht"},
        {"repeated key", kalorix, "werte=1&werte=2", "„werte“ steht mehr als einmal da"},
        {"repeated flag", diffundo, "sofort&sofort", "„sofort“ steht mehr als einmal da"},
        {"seven values", kalorix, "werte=1,2,3,4,5,6,7", "„werte“ nimmt höchstens 6 Zahlen an, hier sind es 7"},
        {"two atom counts", diffundo, "werte=40,50", "„werte“ nimmt höchstens 1 Zahl an, hier sind es 2"},
        {"a word as value", kalorix, "werte=300,viel", "„werte“: „viel“ ist keine Zahl"},
        {"decimal comma splits", kalorix, "werte=1,2,3,4,0,4,2", "„werte“ nimmt höchstens 6 Zahlen an, hier sind es 7"},
        {"trailing text", kalorix, "werte=300x", "„werte“: „300x“ ist keine Zahl"},
        {"blank in a number", kalorix, "werte=%20300", "„werte“: „ 300“ ist keine Zahl"},
        {"plus sign", kalorix, "werte=+300", "„werte“: „+300“ ist keine Zahl"},
        {"infinity", kalorix, "werte=inf", "„werte“: „inf“ ist keine Zahl"},
        {"not a number", kalorix, "werte=nan", "„werte“: „nan“ ist keine Zahl"},
        {"beyond double", kalorix, "werte=1e400", "„werte“: „1e400“ ist keine Zahl"},
        {"control character", kalorix, "werte=1%0A", "„werte“: „1?“ ist keine Zahl"},
        {"no value", kalorix, "werte", "„werte“ braucht einen Wert"},
        {"empty value", diffundo, "modus=", "„modus“ braucht einen Wert"},
        {"flag with value", kalorix, "sofort=ja", "„sofort“ nimmt keinen Wert an"},
        {"unknown analysis", kalorix, "analyse=Theorie", "„analyse“ ist experiment, theorie oder keine, nicht „Theorie“"},
        {"unknown mode", diffundo, "modus=bunt", "„modus“ ist einzeln oder sortiert, nicht „bunt“"},
        {"fractional tempo", diffundo, "tempo=2.5",
         "„tempo“ ist eine ganze Zahl von Schritten je Sekunde oder voll, nicht „2.5“"},
        {"negative tempo", diffundo, "tempo=-1",
         "„tempo“ ist eine ganze Zahl von Schritten je Sekunde oder voll, nicht „-1“"},
        {"huge tempo", diffundo, "tempo=1e10",
         "„tempo“ ist eine ganze Zahl von Schritten je Sekunde oder voll, nicht „1e10“"},
        {"percent without digits", kalorix, "werte=300%2", "im Link steht ein „%“ ohne zwei Hexadezimalziffern dahinter"},
        {"percent with non-hex", kalorix, "werte=%zz", "im Link steht ein „%“ ohne zwei Hexadezimalziffern dahinter"},
        {"percent in a key", kalorix, "%g=1", "im Link steht ein „%“ ohne zwei Hexadezimalziffern dahinter"},
        {"overlong value", kalorix, "werte=" + std::string(201, '1'),
         "„werte“: der Wert ist zu lang (höchstens 200 Zeichen)"},
        {"overlong link", kalorix, "ohne-titel&" + std::string(1000, '&'),
         "der Link ist zu lang (höchstens 1000 Zeichen)"},
        {"long text is quoted short", kalorix, std::string(40, 'x') + "=1",
         "„xxxxxxxxxxxxxxxxxxxxxxxx…“ gibt es bei kalorix nicht"},
        {"quoted short at a character", kalorix, std::string(23, 'x') + "%C3%A4x=1",
         "„xxxxxxxxxxxxxxxxxxxxxxx…“ gibt es bei kalorix nicht"},
    };
    for (const RefusedCase& c : cases) {
        const lesson::Reading reading = read_link(c.program, c.fragment);
        EXPECT_FALSE(reading.lesson) << c.name;
        EXPECT_EQ(reading.error, c.error) << c.name;
    }
    // The command line names its options with their dashes.
    const lesson::Reading command = lesson::read_pairs(kalorix, {{"werte", "1"}, {"werte", "2"}}, Form::command_line);
    EXPECT_EQ(command.error, "„--werte“ steht mehr als einmal da");
}

TEST(LessonWriting, BothFormsAndBackToTheSameLesson) {
    Lesson brief;
    brief.values = {300, 700, 200, 0, 0.4, 2};
    brief.analysis = Analysis::experiment;
    brief.without_title = true;
    EXPECT_EQ(lesson::command_line(kalorix, brief), "kalorix --werte 300,700,200,0,0.4,2 --analyse experiment --ohne-titel");
    EXPECT_EQ(lesson::link_fragment(kalorix, brief), "werte=300,700,200,0,0.4,2&analyse=experiment&ohne-titel");
    EXPECT_EQ(lesson::page_link(kalorix, brief).substr(lesson::page_link(kalorix, brief).find_last_of('/')),
              "/kalorix.html#werte=300,700,200,0,0.4,2&analyse=experiment&ohne-titel");
    EXPECT_EQ(lesson::page_link(diffundo, Lesson{}).substr(lesson::page_link(diffundo, Lesson{}).find_last_of('/')),
              "/diffundo.html");

    Lesson unset_scale;  // N_A = 0 asks no entropy scale: the field stays empty
    unset_scale.values = {400, 1200, 150, 0, std::nullopt, 2};
    unset_scale.analysis = Analysis::none;
    Lesson trailing;
    trailing.values = {500, std::nullopt, std::nullopt};
    trailing.at_once = true;
    Lesson odd_numbers;
    odd_numbers.values = {0.1 + 0.2, 1e21, -2.5e-7, 1.0 / 3, 7, 8};
    Lesson diffundo_all;
    diffundo_all.values = {-5};
    diffundo_all.draw_mode = DrawMode::sorted;
    diffundo_all.tempo = 0;
    diffundo_all.at_once = true;
    diffundo_all.without_title = true;
    EXPECT_EQ(lesson::link_fragment(kalorix, unset_scale), "werte=400,1200,150,0,,2&analyse=keine");
    EXPECT_EQ(lesson::command_line(kalorix, trailing), "kalorix --werte 500 --sofort");
    EXPECT_EQ(lesson::command_line(diffundo, diffundo_all),
              "diffundo --werte=-5 --modus sortiert --tempo voll --sofort --ohne-titel");

    Lesson trailing_read = trailing;
    trailing_read.values = {500};  // empty fields at the end are not written
    for (const auto& [program, written, read] :
         std::vector<std::tuple<ProgramKind, Lesson, Lesson>>{{kalorix, brief, brief},
                                                              {kalorix, unset_scale, unset_scale},
                                                              {kalorix, trailing, trailing_read},
                                                              {kalorix, odd_numbers, odd_numbers},
                                                              {diffundo, diffundo_all, diffundo_all},
                                                              {diffundo, Lesson{}, Lesson{}}}) {
        const lesson::Reading from_link = read_link(program, lesson::link_fragment(program, written));
        ASSERT_TRUE(from_link.lesson) << from_link.error;
        EXPECT_EQ(*from_link.lesson, read) << lesson::link_fragment(program, written);

        // The arguments as a command line hands them over: "--key value" or "--key=value".
        std::vector<lesson::Pair> pairs;
        const std::vector<std::string> arguments = lesson::command_line_arguments(program, written);
        for (std::size_t i = 0; i < arguments.size(); ++i) {
            const std::string option = arguments[i].substr(2);
            const std::size_t equals = option.find('=');
            if (equals != std::string::npos) {
                pairs.emplace_back(option.substr(0, equals), option.substr(equals + 1));
                continue;
            }
            const bool takes_value = option == "werte" || option == "analyse" || option == "modus" || option == "tempo";
            pairs.emplace_back(option, takes_value ? arguments.at(++i) : "");
        }
        const lesson::Reading from_arguments = lesson::read_pairs(program, pairs, Form::command_line);
        ASSERT_TRUE(from_arguments.lesson) << from_arguments.error;
        EXPECT_EQ(*from_arguments.lesson, read) << lesson::command_line(program, written);
    }
}

}  // namespace
