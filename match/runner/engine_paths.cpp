#include "match/runner/engine_paths.h"

#include "os/process.h"

#include <filesystem>

std::string current_directory() {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::current_path(error);
    return error ? "." : path.string();
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
        if (!can_start_program(engine.command)) {
            error = "engine " + engine.name + ": cannot run " + engine.command;
            return false;
        }
        std::error_code not_there;
        if (!std::filesystem::is_directory(engine.directory, not_there)) {
            error = "engine " + engine.name + ": no directory " + engine.directory;
            return false;
        }
    }
    return true;
}
