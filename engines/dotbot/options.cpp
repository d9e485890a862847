#include "engines/dotbot/options.h"

#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

// A decimal number from lowest to highest, the whole text.
bool read_number(const char* text, int64_t lowest, int64_t highest, int64_t* value) {
    if (text == nullptr || *text < '0' || *text > '9')
        return false;
    char* end = nullptr;
    const unsigned long long n = std::strtoull(text, &end, 10);
    if (*end != '\0' || n > static_cast<unsigned long long>(highest))
        return false;
    *value = static_cast<int64_t>(n);
    return *value >= lowest;
}

} // namespace

Options default_options() {
    const unsigned hardware = std::thread::hardware_concurrency();
    const int threads = hardware == 0 ? 1 : hardware > 8 ? 8 : static_cast<int>(hardware);
    return Options{threads, 0, false, 0, 0, 1500};
}

bool parse_options(int argc, const char* const* argv, Options& options) {
    constexpr int64_t MOST = INT64_C(1) << 40;
    for (int i = 1; i < argc; ++i) {
        const char* name = argv[i];
        const char* text = i + 1 < argc ? argv[i + 1] : nullptr;
        int64_t value = 0;
        if (std::strcmp(name, "--threads") == 0 && read_number(text, 1, 64, &value)) {
            options.threads = static_cast<int>(value);
        } else if (std::strcmp(name, "--seed") == 0 && read_number(text, 0, MOST, &value)) {
            options.seed = static_cast<uint64_t>(value);
            options.seed_given = true;
        } else if (std::strcmp(name, "--playouts") == 0 && read_number(text, 0, MOST, &value)) {
            options.playouts = value;
        } else if (std::strcmp(name, "--movetime") == 0 && read_number(text, 0, MOST, &value)) {
            options.movetime_ms = value;
        } else if (std::strcmp(name, "--maxtime") == 0 && read_number(text, 0, MOST, &value)) {
            options.maxtime_ms = value;
        } else {
            return false;
        }
        ++i;
    }
    return true;
}
