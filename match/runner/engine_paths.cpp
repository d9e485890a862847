#include "match/runner/engine_paths.h"

#include "os/console.h"
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

std::string bridge_program() {
    return (std::filesystem::path(own_program_path()).parent_path() / "fendrel-bridge").string();
}

void engine_command_line(const EngineSpec& engine, std::string& program,
                         std::vector<std::string>& arguments, std::vector<std::string>& environment,
                         const std::string& exchange_file) {
    if (engine.protocol == "line") {
        program = engine.command;
        arguments = engine.arguments;
        environment = engine.environment;
        return;
    }
    program = bridge_program();
    arguments.clear();
    environment.clear();
    for (const std::string& setting : engine.environment)
        arguments.insert(arguments.end(), {"--env", setting});
    if (!exchange_file.empty())
        arguments.insert(arguments.end(), {"--exchange", exchange_file});
    arguments.insert(arguments.end(), {engine.protocol, "--", engine.command});
    arguments.insert(arguments.end(), engine.arguments.begin(), engine.arguments.end());
}

bool engines_can_start(const MatchOptions& options, std::string& error) {
    MatchOptions anchored = options;
    anchor_engines(anchored, current_directory());
    for (const EngineSpec& engine : anchored.engines) {
        if (!can_start_program(engine.command)) {
            error = "engine " + engine.name + ": cannot run " + engine.command;
            return false;
        }
        if (engine.protocol != "line" && !can_start_program(bridge_program())) {
            error = "engine " + engine.name + ": cannot run " + bridge_program() +
                    " for proto=" + engine.protocol;
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
