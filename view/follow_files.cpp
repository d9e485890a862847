#include "view/follow_files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// How many of the last bytes read are compared each look, to tell a file written anew in
// place from one that grew: the whole last line, but for a line longer than any results line.
constexpr size_t CHECKED_BYTES = 65536;

// Appends the file's bytes from `at` to its end; false on a read error.
bool read_from(int fd, uint64_t at, std::string& text) {
    char chunk[65536];
    for (;;) {
        const ssize_t length = pread(fd, chunk, sizeof chunk, static_cast<off_t>(at));
        if (length < 0 && errno == EINTR)
            continue;
        if (length < 0)
            return false;
        if (length == 0)
            return true;
        text.append(chunk, static_cast<size_t>(length));
        at += static_cast<uint64_t>(length);
    }
}

// A small file whole; false when it cannot be read (it may have gone since it was listed).
bool read_small_file(const std::filesystem::path& path, std::string& text) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

// Whether a file of the folder is a game's: "game-N.jsonl".
bool is_game_file(const std::string& name) {
    const std::string start = "game-";
    const std::string end = ".jsonl";
    if (name.size() <= start.size() + end.size() || name.rfind(start, 0) != 0 ||
        name.compare(name.size() - end.size(), end.size(), end) != 0)
        return false;
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(start.size()),
                       name.end() - static_cast<std::ptrdiff_t>(end.size()),
                       [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

FollowReader::FollowReader(std::string results_path) : path(std::move(results_path)) {}

FollowReader::~FollowReader() {
    if (fd >= 0)
        close(fd);
}

FollowUpdate FollowReader::poll() {
    FollowUpdate update;
    read_live(update);
    read_results(update);
    return update;
}

void FollowReader::drop_results() {
    if (fd >= 0)
        close(fd);
    fd = -1;
    offset = 0;
    pending.clear();
    before_offset.clear();
    lines = 0;
}

void FollowReader::read_results(FollowUpdate& update) {
    struct stat named;
    if (stat(path.c_str(), &named) != 0) {
        const int error = errno;
        // Whatever comes back in its place is a file of its own, read from its start.
        drop_results();
        update.results_problem =
            error != ENOENT ? "cannot read " + path + ": " + std::strerror(error)
            : opened_before ? path + " is gone; waiting for it to come back"
                            : path + " does not exist yet; waiting for the match to write it";
        return;
    }
    struct stat held;
    if (fd >= 0 &&
        (fstat(fd, &held) != 0 || held.st_dev != named.st_dev || held.st_ino != named.st_ino))
        drop_results();
    if (fd < 0) {
        fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            update.results_problem = "cannot read " + path + ": " + std::strerror(errno);
            return;
        }
        update.restarted = opened_before;
        opened_before = true;
    }
    std::string checked(before_offset.size(), '\0');
    const bool rewritten = fstat(fd, &held) != 0 ||
                           static_cast<uint64_t>(held.st_size) < offset + pending.size() ||
                           pread(fd, checked.data(), checked.size(),
                                 static_cast<off_t>(offset - before_offset.size())) !=
                               static_cast<ssize_t>(checked.size()) ||
                           checked != before_offset;
    if (rewritten) {
        offset = 0;
        pending.clear();
        before_offset.clear();
        lines = 0;
        update.restarted = true;
    }
    std::string text = std::move(pending);
    pending.clear();
    if (!read_from(fd, offset + text.size(), text)) {
        pending = std::move(text);
        update.results_problem = "cannot read " + path + ": " + std::strerror(errno);
        return;
    }
    // Only whole lines: the last one may still be being written.
    const size_t end = text.rfind('\n');
    const size_t whole = end == std::string::npos ? 0 : end + 1;
    for (size_t start = 0; start < whole;) {
        const size_t feed = text.find('\n', start);
        const std::string line = text.substr(start, feed - start);
        start = feed + 1;
        ++lines;
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        GameRecord record;
        if (record_from_json(line, record))
            update.finished.push_back(std::move(record));
        else
            update.skipped_lines.push_back(lines);
    }
    offset += whole;
    before_offset += text.substr(0, whole);
    if (before_offset.size() > CHECKED_BYTES)
        before_offset.erase(0, before_offset.size() - CHECKED_BYTES);
    pending = text.substr(whole);
    update.unfinished_line = !pending.empty();
}

void FollowReader::read_live(FollowUpdate& update) {
    const std::string folder = live_directory(path);
    std::error_code error;
    std::filesystem::directory_iterator entry(folder, error);
    if (error) {
        live_files.clear();
        if (error != std::errc::no_such_file_or_directory)
            update.live_problems.push_back("cannot read " + folder + ": " + error.message());
        return;
    }
    update.live_folder = true;
    std::map<std::string, SeenLiveFile> seen;
    for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        std::string text;
        if (name == "match.json") {
            if (read_small_file(entry->path(), text) && read_live_match(text, update.match))
                update.has_match = true;
            else
                update.live_problems.push_back(folder + "/match.json is not a match's");
            continue;
        }
        struct stat file_stat;
        if (!is_game_file(name) || stat(entry->path().c_str(), &file_stat) != 0)
            continue;
        SeenLiveFile file;
        file.inode = file_stat.st_ino;
        file.size = file_stat.st_size;
        file.modified_ns =
            int64_t{file_stat.st_mtim.tv_sec} * 1000000000 + file_stat.st_mtim.tv_nsec;
        const auto known = live_files.find(name);
        if (known != live_files.end() && known->second.inode == file.inode &&
            known->second.size == file.size && known->second.modified_ns == file.modified_ns) {
            file = known->second;
        } else if (read_small_file(entry->path(), text)) {
            // A file whose first line is not whole yet has only just been made.
            const size_t feed = text.find('\n');
            GameRecord header;
            file.read = feed != std::string::npos && record_from_json(text.substr(0, feed), header);
            std::string why;
            if (feed != std::string::npos && !file.read)
                file.problem = folder + "/" + name + ": its first line is not a game's record";
            else if (file.read && !read_live_game(text, file.game.record, why))
                file.game.problem = folder + "/" + name + ": " + why;
        } else {
            continue; // gone since the listing
        }
        if (file.read)
            update.in_progress.push_back(file.game);
        if (!file.problem.empty())
            update.live_problems.push_back(file.problem);
        seen.emplace(name, std::move(file));
    }
    if (error)
        update.live_problems.push_back("cannot read " + folder + ": " + error.message());
    live_files = std::move(seen);
    std::sort(update.in_progress.begin(), update.in_progress.end(),
              [](const LiveGame& a, const LiveGame& b) { return a.record.game < b.record.game; });
}
