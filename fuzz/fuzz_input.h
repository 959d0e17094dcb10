// SPDX-License-Identifier: MIT
// Turns a fuzzer's bytes into the small sizes and awkward floats the toolkit
// is called with. Running out of bytes yields zeros, so every input decodes.
#ifndef TISSUESTEWARD_FUZZ_INPUT_H
#define TISSUESTEWARD_FUZZ_INPUT_H

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

namespace fuzz {

class Input {
 public:
  Input(const std::uint8_t *data, std::size_t size) : data_(data), size_(size) {}

  std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
  bool empty() const { return at_ >= size_; }

  // A whole number in lo..hi.
  long in(long lo, long hi) {
    const unsigned long span = static_cast<unsigned long>(hi - lo) + 1;
    const unsigned long raw = (static_cast<unsigned long>(byte()) << 8) | byte();
    return lo + static_cast<long>(raw % span);
  }

  // Mostly values that stress numerics (signed zeros, subnormals, the ends
  // of the range, infinities, NaN, values near 1), else any bit pattern or a
  // modest value.
  float awkward() {
    static constexpr float kTable[] = {0.0f,
                                       -0.0f,
                                       1.0f,
                                       -1.0f,
                                       0.5f,
                                       2.0f,
                                       3.0f,
                                       -3.0f,
                                       10.0f,
                                       100.0f,
                                       1e-6f,
                                       1e-7f,
                                       1e-20f,
                                       1e-30f,
                                       3e-39f,
                                       1e-40f,
                                       0x1p-149f,
                                       std::numeric_limits<float>::min(),
                                       std::numeric_limits<float>::max(),
                                       -std::numeric_limits<float>::max(),
                                       1e18f,
                                       1e19f,
                                       1e30f,
                                       1e-38f,
                                       0.99999994f,
                                       1.0000001f,
                                       2.07938282e-21f,
                                       0.25f,
                                       7.5f,
                                       1000.0f,
                                       std::numeric_limits<float>::infinity(),
                                       -std::numeric_limits<float>::infinity(),
                                       std::numeric_limits<float>::quiet_NaN()};
    constexpr unsigned kCount = sizeof kTable / sizeof kTable[0];
    const std::uint8_t kind = byte();
    if (kind < 2 * kCount) return kTable[kind % kCount];
    if (kind < 200) return static_cast<float>(static_cast<int>(byte()) - 128) / 16.0f;
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) bits = (bits << 8) | byte();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }

  // An awkward value, made finite (NaN and infinities become 0).
  float finite() {
    const float v = awkward();
    return std::isfinite(v) ? v : 0.0f;
  }

 private:
  const std::uint8_t *data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

}  // namespace fuzz

#endif
