// SPDX-License-Identifier: MIT
// Runs the golden-output corpus against the recorded digests, or records them.
//
//   golden_corpus                      compare every case with digests.txt
//   golden_corpus --regenerate FILE    write the digests of this build to FILE
//
// One test per family (GoldenCorpus.fft, ...), so that ctest starts a process
// per family rather than per case; a mismatch names each case that changed.
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

std::string family_of(const char *file) {
  std::string name(file);
  const std::size_t slash = name.find_last_of("/\\");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  const std::string suffix = "_golden.cpp";
  const bool suffixed = name.size() > suffix.size() &&
                        name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
  if (suffixed) name.erase(name.size() - suffix.size());
  return name;
}

namespace {

std::string key(const Case &c) { return c.routine + " " + c.name; }

// Letters, digits, '_' and '.' only: names are fields of digests.txt, and a
// family's name reaches gtest filters (ctest runs each family through one),
// where '-', '*', '?' and ':' are syntax and a mangled filter selects no test
// and passes.
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

// Every case of one family against its recorded digest.
class GoldenFamily : public ::testing::Test {
 public:
  GoldenFamily(const std::vector<const Case *> &cases,
               const std::map<std::string, std::string> &recorded)
      : cases_(cases), recorded_(recorded) {}
  void TestBody() override {
    for (const Case *c : cases_) {
      auto found = recorded_.find(key(*c));
      if (found == recorded_.end()) {
        ADD_FAILURE() << key(*c) << ": no recorded digest";
        continue;
      }
      EXPECT_EQ(hex(run_case(*c)), found->second)
          << "output of " << c->routine << " (case " << c->name << ") changed";
    }
  }

 private:
  const std::vector<const Case *> &cases_;
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
  static std::map<std::string, std::vector<const Case *>> families;
  for (const Case &c : registry()) {
    ++seen[key(c)];
    families[c.family].push_back(&c);
  }
  for (const auto &[family, cases] : families)
    ::testing::RegisterTest(
        "GoldenCorpus", family.c_str(), nullptr, nullptr, __FILE__, __LINE__,
        [&cases = cases]() -> ::testing::Test * { return new GoldenFamily(cases, recorded); });
  ::testing::RegisterTest(
      "GoldenCorpus", "EveryDigestHasOneCase", nullptr, nullptr, __FILE__, __LINE__,
      [&seen]() -> ::testing::Test * {
        struct Check : ::testing::Test {
          explicit Check(const std::map<std::string, int> &s) : seen_(s) {}
          void TestBody() override {
            for (const auto &[k, count] : seen_)
              EXPECT_EQ(count, 1) << k << ": case registered twice";
            for (const Case &c : registry())
              EXPECT_TRUE(plain(c.family) && plain(c.routine) && plain(c.name))
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
