// fendrel-view FILE [--game N] [--move M]: steps through the games of an SGF file or a
// results file of fendrel-match, from game N (by default the last) at move M (the end).
// fendrel-view --follow RESULTS [--sprt ...]: follows the match that writes RESULTS as it is
// played, or shows a finished one whole, with its standings and the plot of its ratings.
#include "match/runner/options.h"
#include "view/qt/follow_window.h"
#include "view/qt/view_window.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr const char* USAGE =
    "usage: fendrel-view FILE [--game N] [--move M] [--rules SET[,OPTION=VALUE...]]\n"
    "       fendrel-view --follow RESULTS [--sprt elo0=E0 elo1=E1 alpha=A beta=B]\n"
    "                    [--rules SET[,OPTION=VALUE...]]\n";

// A number of the command line from 0; false when it is not one.
bool read_count(const char* text, int& value) {
    char* end = nullptr;
    const long number = std::strtol(text, &end, 10);
    if (*text < '0' || *text > '9' || *end != '\0' || number > 1000000)
        return false;
    value = static_cast<int>(number);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    std::string path;
    int game = WHOLE;
    int move = WHOLE;
    bool follow = false;
    bool placed = false; // --game or --move, which a followed match takes no part in
    std::optional<RuleSet> rules;
    std::optional<SprtSpec> sprt;
    for (int i = 1; i < argc; ++i) {
        std::string error;
        if (!std::strcmp(argv[i], "--rules") && i + 1 < argc) {
            rules.emplace();
            if (!parse_rule_set(argv[++i], *rules, error)) {
                std::fprintf(stderr, "fendrel-view: %s\n", error.c_str());
                return 2;
            }
            continue;
        }
        if (!std::strcmp(argv[i], "--sprt")) {
            std::vector<std::string> words;
            while (i + 1 < argc && std::strncmp(argv[i + 1], "--", 2) != 0)
                words.push_back(argv[++i]);
            sprt.emplace();
            if (!parse_sprt(words, *sprt, error)) {
                std::fprintf(stderr, "fendrel-view: %s\n", error.c_str());
                return 2;
            }
            continue;
        }
        if (!std::strcmp(argv[i], "--follow") && i + 1 < argc && path.empty()) {
            follow = true;
            path = argv[++i];
            continue;
        }
        const bool option = !std::strcmp(argv[i], "--game") || !std::strcmp(argv[i], "--move");
        if (option && i + 1 < argc && read_count(argv[i + 1], argv[i][2] == 'g' ? game : move)) {
            placed = true;
            ++i;
        } else if (!option && path.empty() && argv[i][0] != '-')
            path = argv[i];
        else {
            std::fputs(USAGE, stderr);
            return 2;
        }
    }
    if (path.empty() || (follow && placed) || (sprt && !follow)) {
        std::fputs(USAGE, stderr);
        return 2;
    }
    if (follow) {
        FollowState state;
        state.results_path = path;
        state.sprt_option = sprt;
        FollowWindow window(follow_view(rules ? &*rules : nullptr), std::move(state));
        window.show();
        return QApplication::exec();
    }
    ViewModel model;
    std::string error;
    if (!open_view(path, game, move, model, error, rules ? &*rules : nullptr)) {
        // Said both where a script reads it and where a person who started it from a
        // desktop sees it.
        std::fprintf(stderr, "fendrel-view: %s\n", error.c_str());
        QMessageBox::critical(nullptr, "fendrel-view", QString::fromStdString(error));
        return 1;
    }
    ViewWindow window(std::move(model));
    window.show();
    return QApplication::exec();
}
