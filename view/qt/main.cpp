// fendrel-view FILE [--game N] [--move M]: steps through the games of an SGF file or a
// results file of fendrel-match, from game N (by default the last) at move M (the end).
#include "view/qt/view_window.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

namespace {

constexpr const char* USAGE =
    "usage: fendrel-view FILE [--game N] [--move M] [--rules SET[,OPTION=VALUE...]]\n";

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
    std::optional<RuleSet> rules;
    for (int i = 1; i < argc; ++i) {
        std::string rules_error;
        if (!std::strcmp(argv[i], "--rules") && i + 1 < argc) {
            rules.emplace();
            if (!parse_rule_set(argv[++i], *rules, rules_error)) {
                std::fprintf(stderr, "fendrel-view: %s\n", rules_error.c_str());
                return 2;
            }
            continue;
        }
        const bool option = !std::strcmp(argv[i], "--game") || !std::strcmp(argv[i], "--move");
        if (option && i + 1 < argc && read_count(argv[i + 1], argv[i][2] == 'g' ? game : move))
            ++i;
        else if (!option && path.empty() && argv[i][0] != '-')
            path = argv[i];
        else {
            std::fputs(USAGE, stderr);
            return 2;
        }
    }
    if (path.empty()) {
        std::fputs(USAGE, stderr);
        return 2;
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
