#include "view_files.h"

#include "records/game_record.h"
#include "records/sgf.h"

#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace {

std::string write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

} // namespace

std::string write_sgf_file(const std::string& folder) {
    std::string long_game = "(;SZ[39:32]PB[long]PW[game]";
    for (int i = 0; i < 23; ++i)
        long_game += i % 2 == 0 ? ";B[" + sgf_point({i, 0}) + "]" : ";W[" + sgf_point({i, 5}) + "]";
    return write(folder + "/games.sgf",
                 "(;SZ[39:32]PB[first]PW[second]RE[B+R]GC[resign];B[aa];W[bb];B[cc])\n" +
                     long_game + ")\n(;SZ[70]PB[small];B[aa])\n" +
                     "(;SZ[39:32]PB[east]PW[west];B[ba];W[kk];B[ab];W[ll];B[cb];W[mm];B[bc];"
                     "W[bb];B[aa])\n");
}

std::string write_results_file(const std::string& folder) {
    GameRecord record;
    record.side1 = "north";
    record.side2 = "south";
    record.winner = 1;
    record.reason = "board full";
    record.dots = {{0, 0}, {5, 5}, {1, 0}, {6, 5}, {2, 0}, {7, 5}};
    record.opening_dots = 2;
    record.move_ms = {300, 400, 200, 2500};
    record.game = 4;
    record.clock_ms[0] = 1500;
    record.clock_ms[1] = 0;
    std::string text = record_to_json(record) + "\n";
    record.game = 7;
    record.clock_ms[0] = 12345;
    record.clock_ms[1] = 1;
    text += record_to_json(record) + "\n";
    record.game = 9;
    record.clock_ms[0] = 1501;
    record.clock_ms[1] = 0;
    return write(folder + "/results.jsonl", text + record_to_json(record) + "\n");
}

ScratchFolder::ScratchFolder(const std::string& name)
    : path((std::filesystem::temp_directory_path() / (name + "-" + std::to_string(getpid())))
               .string()) {
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
}

ScratchFolder::~ScratchFolder() {
    std::filesystem::remove_all(path);
}
