// Reading a whole file, the one way every part of the system does it.
#pragma once

#include <string>

// The file's bytes, all of them, into `content`; false (content empty) when it cannot be
// read.
bool read_whole_file(const std::string& path, std::string& content);

// The file's bytes; empty when it cannot be read.
std::string whole_file(const std::string& path);
