// SPDX-License-Identifier: MIT
// Multi-dimensional transforms: fourn on a 512 x 512 complex array against
// FFTW's 2-D complex plan, rlft3 on real volumes against its 3-D
// real-to-complex plan, all in place.
#include "bench_support.h"
#include "cases.h"
#include "fftn_routines.h"
#include "fftw_support.h"
#include "tissuesteward/arrays.h"

#include <memory>

namespace {

using bench::FftwInPlace;

using bench::cases::Volume;

bench::Effort effort_for(const Volume &v) {
  return v.count() >= 256u * 256u * 128u ? bench::heavy(10) : bench::kLight;
}

void register_fourn() {
  const std::size_t n = bench::cases::kFournSide;
  const std::string label = "fourn " + std::to_string(n) + "x" + std::to_string(n);
  const std::vector<float> &input = bench::uniform_floats(2 * n * n, bench::cases::kFournSeed);
  auto ours = std::make_shared<ts::testing::Vec>(2 * n * n);
  auto lengths = std::make_shared<std::vector<unsigned long>>(std::vector<unsigned long>{0, n, n});
  bench::register_in_place(
      label, bench::kOurs, bench::kLight, [ours, &input] { ours->assign(input); },
      [ours, lengths] { fourn(ours->p(), lengths->data(), 2, -1); });
  for (int kind = 0; kind < 2; ++kind) {
    auto peer = std::make_shared<FftwInPlace>(2 * n * n, [n, kind](float *buffer) {
      auto *c = reinterpret_cast<fftwf_complex *>(buffer);
      int side = static_cast<int>(n);
      return fftwf_plan_dft_2d(side, side, c, c, FFTW_FORWARD, bench::plan_flags(kind));
    });
    bench::register_in_place(
        label, bench::kPlanKinds[kind], bench::kLight,
        [peer, &input] { peer->restore(input.data(), input.size()); }, [peer] { peer->execute(); });
  }
}

void register_rlft3(const Volume &v) {
  const std::string label = "rlft3 " + v.label();
  const std::vector<float> &input = bench::uniform_floats(v.count(), bench::cases::kRlft3Seed);
  const bench::Effort effort = effort_for(v);

  struct Ours {
    explicit Ours(const Volume &vol)
        : v(vol),
          data(f3tensor(1, static_cast<long>(vol.n1), 1, static_cast<long>(vol.n2), 1,
                        static_cast<long>(vol.n3))),
          speq(::matrix(1, static_cast<long>(vol.n1), 1, 2 * static_cast<long>(vol.n2))) {}
    ~Ours() {
      free_f3tensor(data, 1, static_cast<long>(v.n1), 1, static_cast<long>(v.n2), 1,
                    static_cast<long>(v.n3));
      free_matrix(speq, 1, static_cast<long>(v.n1), 1, 2 * static_cast<long>(v.n2));
    }
    Volume v;
    float ***data;
    float **speq;
  };
  auto ours = std::make_shared<Ours>(v);
  bench::register_in_place(
      label, bench::kOurs, effort,
      [ours, &input] {
        std::memcpy(&ours->data[1][1][1], input.data(), input.size() * sizeof(float));
      },
      [ours, v] { rlft3(ours->data, ours->speq, v.n1, v.n2, v.n3, 1); });

  // In place, FFTW pads each row of n3 reals to 2 (n3/2 + 1) floats.
  const std::size_t padded_row = 2 * (v.n3 / 2 + 1);
  auto padded = std::make_shared<std::vector<float>>(v.n1 * v.n2 * padded_row, 0.0f);
  for (std::size_t row = 0; row < v.n1 * v.n2; ++row)
    std::memcpy(padded->data() + row * padded_row, input.data() + row * v.n3, v.n3 * sizeof(float));
  for (int kind = 0; kind < 2; ++kind) {
    auto peer = std::make_shared<FftwInPlace>(padded->size(), [v, kind](float *buffer) {
      return fftwf_plan_dft_r2c_3d(
          static_cast<int>(v.n1), static_cast<int>(v.n2), static_cast<int>(v.n3), buffer,
          reinterpret_cast<fftwf_complex *>(buffer), bench::plan_flags(kind));
    });
    bench::register_in_place(
        label, bench::kPlanKinds[kind], effort,
        [peer, padded] { peer->restore(padded->data(), padded->size()); },
        [peer] { peer->execute(); });
  }
}

}  // namespace

int main(int argc, char **argv) {
  register_fourn();
  for (const Volume &v : bench::cases::kVolumes) register_rlft3(v);
  return bench::run_with_wisdom(argc, argv);
}
