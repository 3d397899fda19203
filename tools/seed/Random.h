#pragma once
// A small deterministic generator (splitmix64). The standard library's
// distributions differ between implementations; these do not, so one seed
// gives the same board everywhere.
#include <cstddef>
#include <cstdint>

namespace boardseed {

class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    // A generator of its own for item `index` of a stream, so that an item's
    // content does not depend on how many draws came before it.
    Random(std::uint64_t seed, std::uint64_t index) : state_(seed) {
        state_ = Next() ^ (index * 0xD1B54A32D192ED03ull);
    }

    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, n); 0 when n is 0.
    std::uint64_t Below(std::uint64_t n) { return n ? Next() % n : 0; }
    // Uniform in [lo, hi].
    long long Between(long long lo, long long hi) {
        return lo + static_cast<long long>(Below(static_cast<std::uint64_t>(hi - lo + 1)));
    }
    // Uniform in [0, 1).
    double Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
    bool Chance(double p) { return Unit() < p; }

    template <class T, std::size_t N>
    const T& Pick(const T (&items)[N]) { return items[Below(N)]; }

private:
    std::uint64_t state_;
};

}  // namespace boardseed
