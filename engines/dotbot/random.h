// A small fast random number generator for playouts (xorshift64*); one per search thread.
#pragma once

#include <cstdint>

struct Rng {
    uint64_t state;
};

// Seeds a generator; any seed, zero included, gives a usable sequence.
inline Rng make_rng(uint64_t seed) {
    const uint64_t state = seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull;
    return Rng{state != 0 ? state : 0x632BE59BD9B4E019ull}; // xorshift never leaves 0
}

// The next 32 random bits.
inline uint32_t next_random(Rng& rng) {
    rng.state ^= rng.state >> 12;
    rng.state ^= rng.state << 25;
    rng.state ^= rng.state >> 27;
    return static_cast<uint32_t>((rng.state * 0x2545F4914F6CDD1Dull) >> 32);
}

// A random number from 0 to bound - 1; bound must be positive.
inline uint32_t random_below(Rng& rng, uint32_t bound) {
    return static_cast<uint32_t>((uint64_t{next_random(rng)} * bound) >> 32);
}
