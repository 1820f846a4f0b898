// The generator's own random numbers: a PCG32 stream and a stateless integer hash,
// so every file comes out the same on every run and every machine.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace datagen {

// Permuted congruential generator (O'Neill's PCG-XSH-RR 64/32).
class Pcg32 {
 public:
  explicit Pcg32(uint64_t seed, uint64_t stream = 0x5851f42d4c957f2dULL) : inc_((stream << 1u) | 1u) {
    next();
    state_ += seed;
    next();
  }

  uint32_t next() {
    uint64_t old = state_;
    state_ = old * 6364136223846793005ULL + inc_;
    uint32_t xorshifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
    uint32_t rot = static_cast<uint32_t>(old >> 59u);
    return (xorshifted >> rot) | (xorshifted << ((32 - rot) & 31));
  }

  // Uniform in [0, 1).
  double uniform() { return next() * (1.0 / 4294967296.0); }
  double uniform(double lo, double hi) { return lo + (hi - lo) * uniform(); }
  // Uniform integer in [0, n).
  uint32_t below(uint32_t n) { return static_cast<uint32_t>(uniform() * n); }

 private:
  uint64_t state_ = 0;
  uint64_t inc_;
};

// Integer hash of a lattice point (a variant of the lowbias32 finaliser).
inline uint32_t hashPoint(int32_t x, int32_t y, int32_t z, uint32_t seed) {
  uint32_t h = seed ^ 0x9e3779b9u;
  for (uint32_t v : {static_cast<uint32_t>(x), static_cast<uint32_t>(y), static_cast<uint32_t>(z)}) {
    h ^= v + 0x7feb352du + (h << 6) + (h >> 2);
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
  }
  return h;
}

// Cheaper hash of a 2D lattice point, for the noise functions' gradients.
inline uint32_t hashLattice(int32_t x, int32_t y, uint32_t seed) {
  uint32_t h = seed * 0x9e3779b1u ^ static_cast<uint32_t>(x) * 0x85ebca77u ^ static_cast<uint32_t>(y) * 0xc2b2ae3du;
  h ^= h >> 15;
  h *= 0x2c1b3c6du;
  h ^= h >> 12;
  h *= 0x297a2d39u;
  h ^= h >> 15;
  return h;
}

// Hash of a point mapped to [0, 1).
inline double hashUnit(int32_t x, int32_t y, int32_t z, uint32_t seed) {
  return hashPoint(x, y, z, seed) * (1.0 / 4294967296.0);
}

}  // namespace datagen
