#include "match/engine_paths.h"

#include <climits>
#include <cstdlib>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Whether path is a file this process may execute.
bool is_program(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

// Whether a bare program name is found in PATH, as posix_spawnp looks it up.
bool in_path(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "/bin:/usr/bin");
    std::string folder;
    while (std::getline(folders, folder, ':'))
        if (is_program((folder.empty() ? "." : folder) + "/" + name))
            return true;
    return false;
}

} // namespace

std::string current_directory() {
    char path[PATH_MAX];
    return getcwd(path, sizeof path) ? path : ".";
}

std::string absolute_path(const std::string& path, const std::string& base) {
    return path.empty() || path[0] == '/' ? path : base + "/" + path;
}

void anchor_engines(MatchOptions& options, const std::string& base) {
    for (EngineSpec& engine : options.engines) {
        if (engine.command.find('/') != std::string::npos)
            engine.command = absolute_path(engine.command, base);
        engine.directory = engine.directory.empty() ? base : absolute_path(engine.directory, base);
    }
}

bool engines_can_start(const MatchOptions& options, std::string& error) {
    MatchOptions anchored = options;
    anchor_engines(anchored, current_directory());
    for (const EngineSpec& engine : anchored.engines) {
        const bool named_path = engine.command.find('/') != std::string::npos;
        if (named_path ? !is_program(engine.command) : !in_path(engine.command)) {
            error = "engine " + engine.name + ": cannot run " + engine.command;
            return false;
        }
        struct stat status {};
        if (stat(engine.directory.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
            error = "engine " + engine.name + ": no directory " + engine.directory;
            return false;
        }
    }
    return true;
}
