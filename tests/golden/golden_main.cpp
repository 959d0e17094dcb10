// SPDX-License-Identifier: MIT
// Runs the golden-output corpus against the recorded digests, or records them.
//
//   golden_corpus                      compare every case with digests.txt
//   golden_corpus --regenerate FILE    write the digests of this build to FILE
//
// Regenerating is always an explicit command; a commit that changes a digest
// says why.
#include "golden.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

namespace ts::testing {

std::vector<Case> &registry() {
  static std::vector<Case> cases;
  return cases;
}

namespace {

std::string key(const Case &c) { return c.routine + " " + c.name; }

// Letters, digits, '_' and '.' only: a name reaches gtest filters (ctest runs
// each case through one), where '-', '*', '?' and ':' are syntax, and a
// filter mangled that way selects no test and passes.
bool plain(const std::string &name) {
  if (name.empty()) return false;
  for (char ch : name)
    if (!std::isalnum(static_cast<unsigned char>(ch)) && ch != '_' && ch != '.') return false;
  return true;
}

std::string hex(std::uint64_t v) {
  char text[17];
  std::snprintf(text, sizeof text, "%016" PRIx64, v);
  return text;
}

std::uint64_t run_case(const Case &c) {
  Digest d;
  c.run(d);
  return d.result();
}

// "routine case digest" lines; '#' starts a comment.
std::map<std::string, std::string> read_digests(const std::string &path) {
  std::map<std::string, std::string> recorded;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string routine, name, digest;
    if (fields >> routine >> name >> digest) recorded[routine + " " + name] = digest;
  }
  return recorded;
}

int regenerate(const std::string &path) {
  std::ofstream out(path);
  out << "# Golden-output digests (64-bit FNV-1a of each output's bytes).\n"
         "# Regenerate only on purpose: golden_corpus --regenerate <this file>\n"
         "# routine case digest\n";
  for (const Case &c : registry()) out << key(c) << " " << hex(run_case(c)) << "\n";
  std::printf("%zu digests written to %s\n", registry().size(), path.c_str());
  return out ? 0 : 1;
}

class GoldenCase : public ::testing::Test {
 public:
  GoldenCase(const Case &c, const std::map<std::string, std::string> &recorded)
      : case_(c), recorded_(recorded) {}
  void TestBody() override {
    auto found = recorded_.find(key(case_));
    ASSERT_NE(found, recorded_.end()) << key(case_) << ": no recorded digest";
    EXPECT_EQ(hex(run_case(case_)), found->second)
        << "output of " << case_.routine << " (case " << case_.name << ") changed";
  }

 private:
  const Case &case_;
  const std::map<std::string, std::string> &recorded_;
};

}  // namespace
}  // namespace ts::testing

int main(int argc, char **argv) {
  using namespace ts::testing;
  if (argc == 3 && std::string(argv[1]) == "--regenerate") return regenerate(argv[2]);
  ::testing::InitGoogleTest(&argc, argv);
  static const std::map<std::string, std::string> recorded = read_digests(TS_GOLDEN_DIGESTS);
  std::map<std::string, int> seen;
  for (const Case &c : registry()) {
    ++seen[key(c)];
    ::testing::RegisterTest(c.routine.c_str(), c.name.c_str(), nullptr, nullptr, __FILE__,
                            __LINE__, [&c]() -> ::testing::Test * {
                              return new GoldenCase(c, recorded);
                            });
  }
  ::testing::RegisterTest("GoldenCorpus", "EveryDigestHasOneCase", nullptr, nullptr, __FILE__,
                          __LINE__, [&seen]() -> ::testing::Test * {
    struct Check : ::testing::Test {
      explicit Check(const std::map<std::string, int> &s) : seen_(s) {}
      void TestBody() override {
        for (const auto &[k, count] : seen_) EXPECT_EQ(count, 1) << k << ": case registered twice";
        for (const Case &c : registry())
          EXPECT_TRUE(plain(c.routine) && plain(c.name))
              << key(c) << ": use only letters, digits, '_' and '.' in names";
        for (const auto &entry : recorded)
          EXPECT_TRUE(seen_.count(entry.first)) << entry.first << ": digest without a case";
      }
      const std::map<std::string, int> &seen_;
    };
    return new Check(seen);
  });
  return RUN_ALL_TESTS();
}
