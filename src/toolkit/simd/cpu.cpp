// SPDX-License-Identifier: MIT
// CPU feature detection for the dispatcher.
#include "toolkit/simd/cpu.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif
#if defined(__APPLE__)
#include <sys/sysctl.h>
#endif

namespace ts::simd {

namespace {

#if defined(__x86_64__) || defined(__i386__)

struct Registers {
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
};

Registers cpuid(unsigned leaf, unsigned subleaf) {
  Registers r;
  if (!__get_cpuid_count(leaf, subleaf, &r.eax, &r.ebx, &r.ecx, &r.edx)) return Registers{};
  return r;
}

// XCR0: which register states the operating system saves on a switch.
unsigned long long xcr0() {
  unsigned eax = 0, edx = 0;
  __asm__ volatile("xgetbv" : "=a"(eax), "=d"(edx) : "c"(0));
  return (static_cast<unsigned long long>(edx) << 32) | eax;
}

bool bit(unsigned word, int n) { return ((word >> n) & 1u) != 0; }

constexpr unsigned long long kXmmYmmState = 0x6;   // SSE and AVX state
constexpr unsigned long long kAvx512State = 0xe0;  // opmask, ZMM0-15 high, ZMM16-31

#if defined(__APPLE__)
// macOS enables AVX-512 state per thread on its first use, so XCR0 does not
// show it beforehand; the kernel reports what it will grant.
bool os_grants_avx512() {
  int value = 0;
  std::size_t size = sizeof value;
  return sysctlbyname("hw.optional.avx512f", &value, &size, nullptr, 0) == 0 && value != 0;
}
#endif

#endif

}  // namespace

const char *target_name(Target target) {
  switch (target) {
    case kScalar:
      return "scalar";
    case kSse2:
      return "sse2";
    case kAvx2:
      return "avx2";
    case kAvx512:
      return "avx512";
  }
  return "scalar";
}

Target best_supported_target() {
#if defined(__x86_64__)
  const Registers leaf1 = cpuid(1, 0);
  const bool osxsave = bit(leaf1.ecx, 27);
  const bool avx = bit(leaf1.ecx, 28);
  if (!osxsave || !avx) return kSse2;  // SSE2 is part of x86-64 itself
  const unsigned long long state = xcr0();
  if ((state & kXmmYmmState) != kXmmYmmState) return kSse2;
  const Registers leaf7 = cpuid(7, 0);
  if (!bit(leaf7.ebx, 5)) return kSse2;  // AVX2
  const bool avx512 = bit(leaf7.ebx, 16) && bit(leaf7.ebx, 17) && bit(leaf7.ebx, 30) &&
                      bit(leaf7.ebx, 31);  // F, DQ, BW, VL
#if defined(__APPLE__)
  const bool avx512_state = os_grants_avx512();
#else
  const bool avx512_state = (state & kAvx512State) == kAvx512State;
#endif
  return avx512 && avx512_state ? kAvx512 : kAvx2;
#else
  return kScalar;
#endif
}

bool parse_target(const char *text, Target &target) {
  if (text == nullptr) return false;
  for (int t = 0; t < kTargetCount; ++t)
    if (std::strcmp(text, target_name(static_cast<Target>(t))) == 0) {
      target = static_cast<Target>(t);
      return true;
    }
  return false;
}

}  // namespace ts::simd
