// The bridge's translation as text: lines from the referee and from the engine in, requests
// to the engine and lines to the referee out, and every way an engine fails.
#include "bridge/translator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

enum class From { referee, engine, engine_stderr, engine_ended, clock };

struct Step {
    From from;
    std::string text; // the line; for the clock, the tick it reaches
    std::string to_engine;
    std::string to_referee;
};

struct Exchange {
    const char* name;
    ForeignProtocol protocol;
    std::string opening_request; // what open_bridge asks
    std::vector<Step> steps;
    bool finished = false;
    bool failed = false;
    int grounded = 0; // the side that grounded on the bridge's board by the end
    // Started with --nearest-rules: gtp under fendrel plays the fork's nearest rules.
    bool nearest_rules = true;
};

void PrintTo(const Exchange& exchange, std::ostream* out) {
    *out << exchange.name;
}

// Runs the steps from tick 0 on; the output of the last, finished or failed if any step was.
BridgeOutput run_steps(Bridge& bridge, const Exchange& exchange) {
    BridgeOutput out;
    bridge.nearest_rules = exchange.nearest_rules;
    open_bridge(bridge, exchange.protocol, 12345, 0, out);
    EXPECT_EQ(out.to_engine, exchange.opening_request);
    uint32_t now = 0;
    bool finished = false;
    bool failed = false;
    for (size_t i = 0; i < exchange.steps.size(); ++i) {
        const Step& step = exchange.steps[i];
        finished = finished || out.finished;
        failed = failed || out.failed;
        out = BridgeOutput{};
        switch (step.from) {
        case From::referee:
            bridge_referee_line(bridge, step.text, now, out);
            break;
        case From::engine:
            bridge_engine_line(bridge, step.text, "", now, out);
            break;
        case From::engine_stderr:
            bridge_engine_line(bridge, step.text, "stderr", now, out);
            break;
        case From::engine_ended:
            bridge_engine_ended(bridge, out);
            break;
        case From::clock:
            now = static_cast<uint32_t>(std::stoul(step.text));
            bridge_check_time(bridge, now, out);
            break;
        }
        EXPECT_EQ(out.to_engine, step.to_engine) << "step " << i << ": " << step.text;
        EXPECT_EQ(out.to_referee, step.to_referee) << "step " << i << ": " << step.text;
    }
    out.finished = out.finished || finished;
    out.failed = out.failed || failed;
    return out;
}

class ExchangeTest : public ::testing::TestWithParam<Exchange> {};

TEST_P(ExchangeTest, GivesTheLinesOfEachStep) {
    Bridge bridge;
    const BridgeOutput last = run_steps(bridge, GetParam());
    EXPECT_EQ(last.finished, GetParam().finished);
    EXPECT_EQ(last.failed, GetParam().failed);
    EXPECT_EQ(bridge.board.grounded, GetParam().grounded);
}

// The fork's rules as the bridge tells them with kata-set-rules, or as kata-get-rules answers
// them, which adds that they are the dots rules.
std::string fork_rules(bool empty_bases, bool suicide, bool answered = false) {
    return std::string(answered ? "{\"dots\":true," : "{") +
           "\"dotsCaptureEmptyBase\":" + (empty_bases ? "true" : "false") +
           ",\"startPos\":\"EMPTY\",\"startPosIsRandom\":false,\"suicide\":" +
           (suicide ? "true" : "false") + "}";
}

// A gtp engine's answers "=ID" to the requests first to last, each with its blank line; the
// request rules_id, kata-get-rules, answered with `rules`.
std::vector<Step> gtp_answers(int first, int last, int rules_id = 0,
                              const std::string& rules = "") {
    std::vector<Step> steps;
    for (int id = first; id <= last; ++id) {
        const std::string line = "=" + std::to_string(id) + (id == rules_id ? " " + rules : "");
        steps.push_back({From::engine, line, "", "gtp: " + line + "\n"});
        steps.push_back({From::engine, "", "", "gtp: \n"});
    }
    return steps;
}

const std::string LONG_LINE = std::string(1000, 'a') + std::string(1000, 'b') + "move 1 1";

// The game of the pointsai description, side 1's dots by the referee and side 2's by the
// engine, then quit.
const Exchange POINTSAI_GAME{
    "pointsai_game",
    ForeignProtocol::pointsai,
    "1 name\n",
    {
        {From::referee, "new 32 39", "2 init 39 32 12345\n", ""},
        {From::engine, "= 1 name SOME NAME", "", "SOME NAME\npointsai: = 1 name SOME NAME\n"},
        {From::engine, "= 2 init", "", "pointsai: = 2 init\n"},
        {From::referee, "increment 1000", "", ""},
        {From::referee, "move 19 15", "3 play 19 15 0\n", ""},
        {From::engine, "= 3 play 19 15 0", "", "pointsai: = 3 play 19 15 0\n"},
        {From::referee, "time 3000", "", ""},
        {From::referee, "otime 0", "", ""},
        // (3000 - 1000) / 20 + 1000 * 3 / 4
        {From::referee, "go", "4 gen_move_with_time 1 850\n", ""},
        {From::engine, "= 4 gen_move_with_time 20 15 1", "5 play 20 15 1\n",
         "pointsai: = 4 gen_move_with_time 20 15 1\n"},
        {From::engine, "= 5 play 20 15 1", "", "pointsai: = 5 play 20 15 1\nmove 20 15\n"},
        // Engine text that would read as a move, and long lines, pass on as messages.
        {From::engine_stderr, "move 1 1", "", "pointsai stderr: move 1 1\n"},
        {From::engine_stderr, LONG_LINE, "",
         "pointsai stderr: " + std::string(1000, 'a') +
             "\npointsai stderr: " + std::string(1000, 'b') + "\npointsai stderr: move 1 1\n"},
        {From::engine, "", "", "pointsai: \n"},
        {From::referee, "quit", "6 quit\n", ""},
        // After quit the referee's lines are not passed on.
        {From::referee, "move 1 1", "", ""},
    },
    true,
    false};

// The same in gtp: the board by width:height, vertices counted from the bottom-left; the
// rules (fendrel's nearest, as no rules line came) and a fresh board once the set-up is over.
Exchange gtp_game() {
    std::vector<Step> steps = {
        {From::engine, "=1 KataGo", "", "KataGo\ngtp: =1 KataGo\n"},
        {From::engine, "", "", "gtp: \n"},
        {From::referee, "new 32 39", "2 boardsize 39:32\n", ""},
        {From::referee, "increment 10000",
         "3 kata-set-rules " + fork_rules(true, true) +
             "\n4 kata-get-rules\n5 clear_board\n6 time_settings 0 10.000 1\n",
         ""},
        {From::referee, "move 0 0", "7 play B 1-32\n", ""},
        {From::referee, "time 10000", "", ""},
        {From::referee, "go", "8 time_left W 7.500 1\n9 genmove W\n", ""},
        {From::engine, "=2", "", "gtp: =2\n"},
        // A response's lines up to its blank line are not answers.
        {From::engine, "= this is no answer", "", "gtp: = this is no answer\n"},
        {From::engine, "", "", "gtp: \n"}};
    const std::vector<Step> answers = gtp_answers(3, 8, 4, fork_rules(true, true, true));
    steps.insert(steps.end(), answers.begin(), answers.end());
    steps.insert(steps.end(),
                 {{From::engine, "=9 39-1", "", "gtp: =9 39-1\nmove 38 31\n"},
                  {From::engine, "", "", "gtp: \n"},
                  {From::referee, "move 38 30", "10 play B 39-2\n", ""},
                  // The output ended with a request unanswered.
                  {From::engine_ended, "", "", "gtp engine failed: its output ended\n"}});
    return {"gtp_game", ForeignProtocol::gtp, "1 name\n", steps, true, true};
}

// "movetime 100" after the increment: every move's budget is 100 ms, whatever the clock (a
// clock of less than that included), and gtp's byo-yomi period says so too. The engine is
// waited for as long as it was asked, and a second more.
const Exchange POINTSAI_MOVETIME{
    "pointsai_movetime",
    ForeignProtocol::pointsai,
    "1 name\n",
    {
        {From::engine, "= 1 name P", "", "P\npointsai: = 1 name P\n"},
        {From::referee, "new 32 39", "2 init 39 32 12345\n", ""},
        {From::referee, "increment 10000", "", ""},
        {From::referee, "movetime 100", "", ""},
        {From::referee, "time 10000", "", ""},
        {From::referee, "go", "3 gen_move_with_time 0 100\n", ""},
        {From::engine, "= 2 init", "", "pointsai: = 2 init\n"},
        {From::engine, "= 3 gen_move_with_time 5 5 0", "4 play 5 5 0\n",
         "pointsai: = 3 gen_move_with_time 5 5 0\n"},
        {From::engine, "= 4 play 5 5 0", "", "pointsai: = 4 play 5 5 0\nmove 5 5\n"},
        {From::referee, "move 6 6", "5 play 6 6 1\n", ""},
        {From::referee, "time 60", "", ""},
        {From::referee, "go", "6 gen_move_with_time 0 100\n", ""},
        {From::engine, "= 5 play 6 6 1", "", "pointsai: = 5 play 6 6 1\n"},
        {From::clock, "1099", "", ""},
        {From::clock, "1100", "",
         "pointsai engine failed: no answer in time to \"6 gen_move_with_time 0 100\"\n"},
    },
    true,
    true};

const Exchange GTP_MOVETIME{
    "gtp_movetime",
    ForeignProtocol::gtp,
    "1 name\n",
    {
        {From::referee, "increment 10000", "2 time_settings 0 10.000 1\n", ""},
        {From::referee, "movetime 250", "3 time_settings 0 0.250 1\n", ""},
        {From::referee, "time 30000", "", ""},
        {From::referee, "go", "4 time_left B 0.250 1\n5 genmove B\n", ""},
    },
    false,
    false};

// A move the engine answers after quit is neither committed nor relayed.
const Exchange POINTSAI_MOVE_AFTER_QUIT{
    "pointsai_move_after_quit",
    ForeignProtocol::pointsai,
    "1 name\n",
    {
        {From::engine, "= 1 name P", "", "P\npointsai: = 1 name P\n"},
        {From::referee, "new 32 39", "2 init 39 32 12345\n", ""},
        {From::referee, "go", "3 gen_move_with_time 0 0\n", ""},
        {From::referee, "quit", "4 quit\n", ""},
        {From::engine, "= 2 init", "", "pointsai: = 2 init\n"},
        {From::engine, "= 3 gen_move_with_time 5 5 0", "",
         "pointsai: = 3 gen_move_with_time 5 5 0\n"},
    },
    true,
    false};

INSTANTIATE_TEST_SUITE_P(Games, ExchangeTest,
                         ::testing::Values(POINTSAI_GAME, gtp_game(), POINTSAI_MOVETIME,
                                           GTP_MOVETIME, POINTSAI_MOVE_AFTER_QUIT),
                         [](const auto& param) { return std::string(param.param.name); });

// A gtp engine named G, set up on a board of 8 rows and 10 columns under the rules of
// `rules_line` (fendrel without one), told the fork's rules `sent`; no answers yet but to
// the name.
std::vector<Step> gtp_setup(const std::string& rules_line, const std::string& sent) {
    std::vector<Step> steps = {{From::engine, "=1 G", "", "G\ngtp: =1 G\n"},
                               {From::engine, "", "", "gtp: \n"},
                               {From::referee, "new 8 10", "2 boardsize 10:8\n", ""}};
    if (!rules_line.empty())
        steps.push_back({From::referee, rules_line, "", ""});
    steps.push_back({From::referee, "increment 1000",
                     "3 kata-set-rules " + sent +
                         "\n4 kata-get-rules\n5 clear_board\n6 time_settings 0 1.000 1\n",
                     ""});
    return steps;
}

std::vector<Step> operator+(std::vector<Step> steps, const std::vector<Step>& more) {
    steps.insert(steps.end(), more.begin(), more.end());
    return steps;
}

// A game on that board, every set-up request answered and kata-get-rules with the rules
// sent: side 1's dot in the bottom-right corner, then what side 2's engine answers to
// genmove, with the lines that reach the referee for it.
Exchange gtp_rules_game(const char* name, const std::string& rules_line, bool empty_bases,
                        bool suicide, const std::string& answer = "=9 1-8",
                        const std::string& to_referee = "gtp: =9 1-8\nmove 0 0\n") {
    const std::vector<Step> steps =
        gtp_setup(rules_line, fork_rules(empty_bases, suicide)) +
        gtp_answers(2, 6, 4, fork_rules(empty_bases, suicide, true)) +
        std::vector<Step>{{From::referee, "move 9 7", "7 play B 10-1\n", ""},
                          {From::referee, "time 1000", "", ""},
                          {From::referee, "go", "8 time_left W 0.750 1\n9 genmove W\n", ""}} +
        gtp_answers(7, 8) + std::vector<Step>{{From::engine, answer, "", to_referee}};
    return {name, ForeignProtocol::gtp, "1 name\n", steps};
}

// A set-up that ends in a failure, the last step's line to the referee saying why.
Exchange failed_setup(const char* name, ForeignProtocol protocol, std::vector<Step> steps) {
    return {name, protocol, "1 name\n", std::move(steps), true, true};
}

// A gtp set-up under standard,suicide=off whose request `id` is answered with `line`, which
// the engine fails by: refusing the rules, or answering kata-get-rules with others.
Exchange gtp_rules_failure(const char* name, int id, const std::string& line,
                           const std::string& why) {
    return failed_setup(
        name, ForeignProtocol::gtp,
        gtp_setup("rules standard,suicide=off", fork_rules(false, false)) + gtp_answers(2, id - 1) +
            std::vector<Step>{
                {From::engine, line, "", "gtp: " + line + "\ngtp engine failed: " + why + "\n"}});
}

const std::string POINTSAI_NAMED = "P\npointsai: = 1 name P\n";
const std::string GO_RULES = "{\"hasButton\":false,\"ko\":\"POSITIONAL\",\"suicide\":false}";

// The rules each rule set and option reach the fork as; grounding under the standard rules;
// a board of another size in both protocols; and each way a set-up fails.
INSTANTIATE_TEST_SUITE_P(
    RulesAndSizes, ExchangeTest,
    ::testing::Values(
        gtp_rules_game("gtp_fendrel", "", true, true),
        gtp_rules_game("gtp_standard", "rules standard", false, true),
        gtp_rules_game("gtp_standard_suicide_off", "rules standard,suicide=off", false, false),
        gtp_rules_game("gtp_standard_empty_bases", "rules standard,empty-bases=capture", true,
                       true),
        gtp_rules_game("gtp_standard_both", "rules standard,suicide=off,empty-bases=capture", true,
                       false),
        [] {
            Exchange grounds = gtp_rules_game("gtp_grounds_under_standard", "rules standard", false,
                                              true, "=9 ground", "gtp: =9 ground\nground\n");
            grounds.grounded = 2;
            return grounds;
        }(),
        Exchange{"pointsai_small_board",
                 ForeignProtocol::pointsai,
                 "1 name\n",
                 {{From::engine, "= 1 name P", "", POINTSAI_NAMED},
                  {From::referee, "new 5 7", "2 init 7 5 12345\n", ""},
                  {From::referee, "rules standard", "", ""},
                  {From::referee, "move 6 4", "3 play 6 4 0\n", ""},
                  {From::engine, "= 2 init", "", "pointsai: = 2 init\n"},
                  {From::engine, "= 3 play 6 4 0", "", "pointsai: = 3 play 6 4 0\n"},
                  {From::referee, "time 2000", "", ""},
                  {From::referee, "go", "4 gen_move_with_time 1 100\n", ""},
                  {From::engine, "= 4 gen_move_with_time 0 0 1", "5 play 0 0 1\n",
                   "pointsai: = 4 gen_move_with_time 0 0 1\n"},
                  {From::engine, "= 5 play 0 0 1", "", "pointsai: = 5 play 0 0 1\nmove 0 0\n"},
                  {From::referee, "move 5 4", "6 play 5 4 0\n", ""},
                  {From::engine, "= 6 play 5 4 0", "", "pointsai: = 6 play 5 4 0\n"},
                  {From::referee, "go", "7 gen_move_with_time 1 100\n", ""},
                  {From::engine, "= 7 gen_move_with_time 7 0 1", "",
                   "pointsai: = 7 gen_move_with_time 7 0 1\npointsai engine failed: a move off "
                   "the board: = 7 gen_move_with_time 7 0 1\n"}},
                 true,
                 true},
        gtp_rules_failure("gtp_refuses_the_rules", 3, "?3 Rules are not supported",
                          "it refused the rules standard,suicide=off: ?3 Rules are not supported"),
        gtp_rules_failure("gtp_keeps_other_rules", 4, "=4 " + fork_rules(false, true, true),
                          "it plays other rules than standard,suicide=off: =4 " +
                              fork_rules(false, true, true)),
        // KataGo without the fork's dots takes the keys, and plays go.
        gtp_rules_failure("gtp_plays_go", 4, "=4 " + GO_RULES,
                          "it plays other rules than standard,suicide=off: =4 " + GO_RULES),
        gtp_rules_failure("gtp_rules_no_json", 4, "=4 dots",
                          "it plays other rules than standard,suicide=off: =4 dots"),
        failed_setup("gtp_unknown_option", ForeignProtocol::gtp,
                     {{From::referee, "new 32 39", "2 boardsize 39:32\n", ""},
                      {From::referee, "rules standard,suicide=maybe", "",
                       "gtp engine\ngtp engine failed: a rules line it cannot read (unknown rule "
                       "option \"suicide=maybe\"): rules standard,suicide=maybe\n"}}),
        failed_setup("pointsai_unknown_set", ForeignProtocol::pointsai,
                     {{From::engine, "= 1 name P", "", POINTSAI_NAMED},
                      {From::referee, "new 32 39", "2 init 39 32 12345\n", ""},
                      {From::referee, "rules", "",
                       "pointsai engine failed: a rules line it cannot read (unknown rule set \"\" "
                       "(fendrel or standard)): rules\n"}}),
        [] {
            // Without --nearest-rules the fork is not let play other rules than fendrel's.
            Exchange refused = failed_setup(
                "gtp_fendrel_without_nearest_rules", ForeignProtocol::gtp,
                {{From::engine, "=1 G", "", "G\ngtp: =1 G\n"},
                 {From::engine, "", "", "gtp: \n"},
                 {From::referee, "new 8 10", "2 boardsize 10:8\n", ""},
                 {From::referee, "increment 1000", "",
                  "gtp engine failed: the KataGo dots fork cannot be told the fendrel rules "
                  "(every closed ring encloses, an empty one too); play it under the standard "
                  "rules, or start the bridge with --nearest-rules to let it play empty bases "
                  "captured\n"}});
            refused.nearest_rules = false;
            return refused;
        }(),
        failed_setup("gtp_start_position", ForeignProtocol::gtp,
                     {{From::referee, "new 32 39", "2 boardsize 39:32\n", ""},
                      {From::referee, "rules standard,start=cross", "",
                       "gtp engine\ngtp engine failed: rules that name a start position, whose "
                       "dots come as moves: rules standard,start=cross\n"}}),
        failed_setup("pointsai_rules_after_the_setup", ForeignProtocol::pointsai,
                     {{From::engine, "= 1 name P", "", POINTSAI_NAMED},
                      {From::referee, "new 32 39", "2 init 39 32 12345\n", ""},
                      {From::referee, "increment 1000", "", ""},
                      {From::referee, "rules standard", "",
                       "pointsai engine failed: a rules line outside the set-up: rules "
                       "standard\n"}}),
        failed_setup("gtp_board_too_small", ForeignProtocol::gtp,
                     {{From::engine, "=1 G", "", "G\ngtp: =1 G\n"},
                      {From::referee, "new 2 39", "",
                       "gtp engine failed: a board of 2 rows and 39 columns, where the rules take "
                       "from 3 to 64 points a side\n"}}),
        failed_setup("pointsai_board_too_wide", ForeignProtocol::pointsai,
                     {{From::engine, "= 1 name P", "", POINTSAI_NAMED},
                      {From::referee, "new 32 65", "",
                       "pointsai engine failed: a board of 32 rows and 65 columns, where the rules "
                       "take from 3 to 64 points a side\n"}})),
    [](const auto& param) { return std::string(param.param.name); });

// An engine asked to move at tick 0 with 2000 ms on its clock, after the other side's
// dot at 19 15.
std::vector<Step> up_to_the_request(ForeignProtocol protocol) {
    if (protocol == ForeignProtocol::pointsai)
        return {{From::engine, "= 1 name P", "", "P\npointsai: = 1 name P\n"},
                {From::referee, "new 32 39", "2 init 39 32 12345\n", ""},
                {From::engine, "= 2 init", "", "pointsai: = 2 init\n"},
                {From::referee, "move 19 15", "3 play 19 15 0\n", ""},
                {From::engine, "= 3 play 19 15 0", "", "pointsai: = 3 play 19 15 0\n"},
                {From::referee, "time 2000", "", ""},
                {From::referee, "go", "4 gen_move_with_time 1 100\n", ""}};
    std::vector<Step> steps = {
        {From::engine, "=1 G", "", "G\ngtp: =1 G\n"},
        {From::engine, "", "", "gtp: \n"},
        {From::referee, "new 32 39", "2 boardsize 39:32\n", ""},
        // The first line after the set-up tells the rules, fendrel's nearest.
        {From::referee, "move 19 15",
         "3 kata-set-rules " + fork_rules(true, true) + "\n4 kata-get-rules\n5 clear_board\n" +
             "6 play B 20-17\n",
         ""}};
    const std::vector<Step> answers = gtp_answers(2, 6, 4, fork_rules(true, true, true));
    steps.insert(steps.end(), answers.begin(), answers.end());
    steps.push_back({From::referee, "time 2000", "", ""});
    steps.push_back({From::referee, "go", "7 time_left W 0.100 1\n8 genmove W\n", ""});
    steps.push_back({From::engine, "=7", "", "gtp: =7\n"});
    steps.push_back({From::engine, "", "", "gtp: \n"});
    return steps;
}

struct Failure {
    const char* name;
    ForeignProtocol protocol;
    std::vector<Step> steps; // after up_to_the_request; the last gives the failure
    std::string why;         // what the failure line says after "... engine failed: "
};

void PrintTo(const Failure& failure, std::ostream* out) {
    *out << failure.name;
}

class FailureTest : public ::testing::TestWithParam<Failure> {};

TEST_P(FailureTest, EndsWithALineThatSaysWhy) {
    const Failure& failure = GetParam();
    Exchange exchange{failure.name, failure.protocol, "1 name\n",
                      up_to_the_request(failure.protocol)};
    const std::string prefix = protocol_name(failure.protocol);
    exchange.steps.insert(exchange.steps.end(), failure.steps.begin(), failure.steps.end());
    // The last step's lines: the engine's line passed on (if it wrote one), then why.
    Step& last = exchange.steps.back();
    last.to_referee += prefix + " engine failed: " + failure.why + "\n";
    Bridge bridge;
    const BridgeOutput out = run_steps(bridge, exchange);
    EXPECT_TRUE(out.finished && out.failed);
    // A failed bridge takes nothing more from either side.
    BridgeOutput after;
    bridge_referee_line(bridge, "go", 0, after);
    bridge_engine_line(bridge, "= 9 x", "", 0, after);
    bridge_check_time(bridge, 1u << 30, after);
    EXPECT_EQ(after.to_engine, "");
    EXPECT_EQ(after.to_referee, prefix + ": = 9 x\n") << "only the engine's line passes on";
}

Step engine(const std::string& line, const std::string& echo) {
    return {From::engine, line, "", echo + "\n"};
}

using P = ForeignProtocol;

INSTANTIATE_TEST_SUITE_P(
    Failures, FailureTest,
    ::testing::Values(
        Failure{"pointsai_refuses",
                P::pointsai,
                {engine("? 4 gen_move_with_time", "pointsai: ? 4 gen_move_with_time")},
                "? 4 gen_move_with_time"},
        Failure{"pointsai_wrong_id",
                P::pointsai,
                {engine("= 5 gen_move_with_time 1 1 1", "pointsai: = 5 gen_move_with_time 1 1 1")},
                "an answer for another id (4 was asked): = 5 gen_move_with_time 1 1 1"},
        Failure{"pointsai_other_command",
                P::pointsai,
                {engine("= 4 play 1 1 1", "pointsai: = 4 play 1 1 1")},
                "an answer to another command: = 4 play 1 1 1"},
        Failure{"pointsai_words_for_a_point",
                P::pointsai,
                {engine("= 4 gen_move_with_time here", "pointsai: = 4 gen_move_with_time here")},
                "an answer of the wrong shape: = 4 gen_move_with_time here"},
        Failure{"pointsai_other_player",
                P::pointsai,
                {engine("= 4 gen_move_with_time 1 1 0", "pointsai: = 4 gen_move_with_time 1 1 0")},
                "an answer of the wrong shape: = 4 gen_move_with_time 1 1 0"},
        Failure{"pointsai_no_answer",
                P::pointsai,
                {engine("thinking...", "pointsai: thinking...")},
                "an answer of the wrong shape: thinking..."},
        Failure{
            "pointsai_past_right_edge",
            P::pointsai,
            {engine("= 4 gen_move_with_time 39 0 1", "pointsai: = 4 gen_move_with_time 39 0 1")},
            "a move off the board: = 4 gen_move_with_time 39 0 1"},
        Failure{
            "pointsai_above_top",
            P::pointsai,
            {engine("= 4 gen_move_with_time 5 -1 1", "pointsai: = 4 gen_move_with_time 5 -1 1")},
            "a move off the board: = 4 gen_move_with_time 5 -1 1"},
        Failure{
            "pointsai_onto_a_dot",
            P::pointsai,
            {engine("= 4 gen_move_with_time 19 15 1", "pointsai: = 4 gen_move_with_time 19 15 1")},
            "an illegal move: = 4 gen_move_with_time 19 15 1"},
        Failure{"pointsai_refuses_the_commit",
                P::pointsai,
                {{From::engine, "= 4 gen_move_with_time 0 0 1", "5 play 0 0 1\n",
                  "pointsai: = 4 gen_move_with_time 0 0 1\n"},
                 engine("? 5 play", "pointsai: ? 5 play")},
                "? 5 play"},
        Failure{"pointsai_answers_nothing_asked",
                P::pointsai,
                {{From::engine, "= 4 gen_move_with_time 0 0 1", "5 play 0 0 1\n",
                  "pointsai: = 4 gen_move_with_time 0 0 1\n"},
                 engine("= 5 play 0 0 1", "pointsai: = 5 play 0 0 1\nmove 0 0"),
                 engine("= 6 play 0 0 1", "pointsai: = 6 play 0 0 1")},
                "an answer to no request: = 6 play 0 0 1"},
        // The clock of 2000 ms and the grace: silent through tick 2999, given up at 3000.
        Failure{"pointsai_silent",
                P::pointsai,
                {{From::clock, "2999", "", ""}, {From::clock, "3000", "", ""}},
                "no answer in time to \"4 gen_move_with_time 1 100\""},
        Failure{
            "pointsai_exits", P::pointsai, {{From::engine_ended, "", "", ""}}, "its output ended"},
        Failure{"gtp_refuses",
                P::gtp,
                {engine("? 8 illegal", "gtp: ? 8 illegal")},
                "an answer of the wrong shape: ? 8 illegal"},
        Failure{
            "gtp_refuses_with_id", P::gtp, {engine("?8 cannot", "gtp: ?8 cannot")}, "?8 cannot"},
        Failure{"gtp_wrong_id",
                P::gtp,
                {engine("=9 1-1", "gtp: =9 1-1")},
                "an answer for another id (8 was asked): =9 1-1"},
        Failure{"gtp_letters",
                P::gtp,
                {engine("=8 A1", "gtp: =8 A1")},
                "an answer of the wrong shape: =8 A1"},
        Failure{"gtp_grounds",
                P::gtp,
                {engine("=8 ground", "gtp: =8 ground")},
                "it grounded, which the fendrel rules have not: =8 ground"},
        Failure{"gtp_resigns",
                P::gtp,
                {engine("=8 resign", "gtp: =8 resign")},
                "it resigned: =8 resign"},
        Failure{"gtp_past_right_edge",
                P::gtp,
                {engine("=8 40-1", "gtp: =8 40-1")},
                "a move off the board: =8 40-1"},
        Failure{"gtp_below_bottom",
                P::gtp,
                {engine("=8 1-0", "gtp: =8 1-0")},
                "a move off the board: =8 1-0"},
        Failure{"gtp_far_off",
                P::gtp,
                {engine("=8 -2147483648--2147483648", "gtp: =8 -2147483648--2147483648")},
                "a move off the board: =8 -2147483648--2147483648"},
        Failure{"gtp_onto_a_dot",
                P::gtp,
                {engine("=8 20-17", "gtp: =8 20-17")},
                "an illegal move: =8 20-17"},
        Failure{"gtp_silent",
                P::gtp,
                {{From::clock, "2999", "", ""}, {From::clock, "3000", "", ""}},
                "no answer in time to \"8 genmove W\""},
        Failure{"gtp_exits", P::gtp, {{From::engine_ended, "", "", ""}}, "its output ended"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(BridgeTest, FailsBeforeTheNameWithANameLineFirst) {
    for (const ForeignProtocol protocol : {ForeignProtocol::pointsai, ForeignProtocol::gtp}) {
        const std::string name = protocol_name(protocol);
        Bridge bridge;
        BridgeOutput out;
        open_bridge(bridge, protocol, 1, 0, out);
        out = BridgeOutput{};
        bridge_engine_line(bridge, "loading", "", 0, out);
        EXPECT_EQ(out.to_referee, name + " engine\n" + name + ": loading\n" + name +
                                      " engine failed: an answer of the wrong shape: loading\n");
    }
}

TEST(BridgeTest, TakesTheNameAnsweredAfterQuitOrStandsInForIt) {
    for (const bool answers : {true, false}) {
        Bridge bridge;
        BridgeOutput out;
        open_bridge(bridge, ForeignProtocol::pointsai, 1, 0, out);
        bridge_engine_line(bridge, "a note", "stderr", 0, out);
        bridge_referee_line(bridge, "quit", 0, out);
        EXPECT_EQ(out.to_engine, "1 name\n2 quit\n");
        if (answers) {
            bridge_engine_line(bridge, "= 1 name N", "", 0, out);
            bridge_engine_line(bridge, "= 2 quit", "", 0, out);
        }
        bridge_engine_ended(bridge, out);
        close_bridge(bridge, out);
        EXPECT_EQ(out.to_referee,
                  answers ? "N\npointsai stderr: a note\npointsai: = 1 name N\npointsai: = 2 quit\n"
                          : "pointsai engine\npointsai stderr: a note\n");
        EXPECT_FALSE(out.failed);
    }
}

TEST(BridgeTest, SetupRequestsWaitTheirLimit) {
    Bridge bridge;
    BridgeOutput out;
    open_bridge(bridge, ForeignProtocol::gtp, 1, 4000000000u, out);
    uint32_t deadline = 0;
    ASSERT_TRUE(bridge_deadline(bridge, deadline));
    EXPECT_EQ(deadline, 4000000000u + REQUEST_LIMIT_MS); // across the tick count's wrap
    bridge_check_time(bridge, 4000000000u + REQUEST_LIMIT_MS - 1, out);
    EXPECT_FALSE(out.finished);
}

TEST(BridgeTest, MoveBudgetIsAShareOfTheClockAndMostOfTheIncrementWithinTheClock) {
    EXPECT_EQ(move_budget_ms(10000, 10000), 7500u);
    EXPECT_EQ(move_budget_ms(30000, 10000), 1000u + 7500u);
    EXPECT_EQ(move_budget_ms(0, 0), 0u);
    EXPECT_EQ(move_budget_ms(500, 1000), 500u); // the clock below the increment
    EXPECT_EQ(move_budget_ms(4294967295u, 4294967295u), 3221225471u);
}

TEST(BridgeTest, ProtocolNames) {
    ForeignProtocol protocol = ForeignProtocol::gtp;
    EXPECT_TRUE(protocol_named("pointsai", protocol));
    EXPECT_EQ(protocol, ForeignProtocol::pointsai);
    EXPECT_TRUE(protocol_named("gtp", protocol));
    EXPECT_EQ(protocol, ForeignProtocol::gtp);
    EXPECT_FALSE(protocol_named("line", protocol));
    EXPECT_FALSE(protocol_named("GTP", protocol));
}

} // namespace
