// Reading a match's files while fendrel-match writes them, for fendrel-view --follow: the
// results file by what was appended since the last look, and beside it the folder of the
// games in progress (records/live_game.h). Plain file reads without Qt; the window makes them
// on a thread of their own, since a file system can hang.
#pragma once

#include "records/game_record.h"
#include "records/live_game.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// A game in progress as its file stands.
struct LiveGame {
    GameRecord record;   // its record with the moves so far
    std::string problem; // "" or why its moves stop where they do: a line that is not a move
};

// What one look at the files found.
struct FollowUpdate {
    // The results file.
    bool restarted = false;           // read from its start again: `finished` is all it holds
    std::vector<GameRecord> finished; // its results lines new since the last look
    std::vector<int> skipped_lines;   // the numbers (from 1) of new lines that are no results
    std::string results_problem;      // "" or why it cannot be read now
    bool unfinished_line = false;     // it ends in a line without its line feed, not read yet
    // The folder of the games in progress.
    bool live_folder = false;
    bool has_match = false;
    LiveMatch match;                        // its match.json, when that can be read
    std::vector<LiveGame> in_progress;      // by number
    std::vector<std::string> live_problems; // its files that cannot be read, and why
};

class FollowReader {
  public:
    explicit FollowReader(std::string results_path);
    ~FollowReader();
    FollowReader(const FollowReader&) = delete;
    FollowReader& operator=(const FollowReader&) = delete;

    // Looks at the files once: the folder first, then the results file, since fendrel-match
    // writes a game's results line before it removes the game's file, so that a game is never
    // missed between the two.
    FollowUpdate poll();

  private:
    void read_live(FollowUpdate& update);
    void read_results(FollowUpdate& update);
    // Forgets the file held and what was read of it: the next look reads a file from its start.
    void drop_results();

    std::string path;
    // The results file as it was opened: held open, so that a file put in its place (deleted
    // and written again) is told from it even where the system reuses its inode number.
    int fd = -1;
    bool opened_before = false;
    uint64_t offset = 0;       // the bytes read up to the last line feed
    std::string pending;       // the bytes after it: a line still being written
    std::string before_offset; // the last bytes read, to tell a file rewritten in place
    int lines = 0;             // whole lines read

    // A game's file is read again only when it changed.
    struct SeenLiveFile {
        uint64_t inode = 0;
        int64_t size = -1;
        int64_t modified_ns = 0;
        bool read = false; // whether it held a game (else it has no whole first line yet)
        LiveGame game;
        std::string problem;
    };
    std::map<std::string, SeenLiveFile> live_files;
};
