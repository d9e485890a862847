// dotbot's command line: the values it takes, and the ones it refuses.
#include "engines/dotbot/options.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Parses the arguments after a program name into defaults.
bool parse(std::vector<const char*> args, Options& options) {
    args.insert(args.begin(), "dotbot");
    options = default_options();
    return parse_options(static_cast<int>(args.size()), args.data(), options);
}

TEST(Options, DefaultsNeedNoArguments) {
    Options options;
    ASSERT_TRUE(parse({}, options));
    EXPECT_GE(options.threads, 1);
    EXPECT_LE(options.threads, 8);
    EXPECT_FALSE(options.seed_given);
    EXPECT_EQ(options.playouts, 0);
    EXPECT_EQ(options.movetime_ms, 0);
    EXPECT_EQ(options.maxtime_ms, 1500);
}

TEST(Options, EveryOptionTakesItsValue) {
    Options options;
    ASSERT_TRUE(parse({"--threads", "3", "--seed", "0", "--playouts", "200", "--movetime", "5",
                       "--maxtime", "40"},
                      options));
    EXPECT_EQ(options.threads, 3);
    EXPECT_TRUE(options.seed_given);
    EXPECT_EQ(options.seed, 0u);
    EXPECT_EQ(options.playouts, 200);
    EXPECT_EQ(options.movetime_ms, 5);
    EXPECT_EQ(options.maxtime_ms, 40);
}

TEST(Options, BadCommandLinesAreRefused) {
    const std::vector<std::vector<const char*>> bad = {
        {"--threads"},        {"--threads", "0"},  {"--threads", "65"},
        {"--threads", "two"}, {"--seed", "-1"},    {"--playouts", "1e3"},
        {"--movetime", ""},   {"--maxtime", " 5"}, {"--movetime", "99999999999999999999"},
        {"--depth", "3"},     {"threads", "2"},    {"--threads=2"},
    };
    for (const auto& args : bad) {
        Options options;
        EXPECT_FALSE(parse(args, options)) << args[0];
    }
}

} // namespace
