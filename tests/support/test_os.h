// What the engine tests need besides the operating system's side (os/process.h).
#pragma once

#include "os/console.h"

#include <string>

// Bytes as a text-mode stream stores them: the log's line feeds become the platform's line
// ends.
inline std::string as_logged(const std::string& bytes) {
    std::string stored;
    for (const char c : bytes) {
        if (c == '\n')
            stored += text_mode_line_end();
        else
            stored += c;
    }
    return stored;
}
