#include "os/file.h"

#include <fstream>
#include <sstream>

bool read_whole_file(const std::string& path, std::string& content) {
    content.clear();
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::ostringstream bytes;
    bytes << file.rdbuf();
    content = bytes.str();
    return !file.bad();
}

std::string whole_file(const std::string& path) {
    std::string content;
    read_whole_file(path, content);
    return content;
}
