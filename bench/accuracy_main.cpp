// SPDX-License-Identifier: MIT
// Runs every accuracy family linked in and writes the rows as JSON (to the
// file named by the first argument, or to standard output) for
// bench/report.py.
#include "accuracy.h"

#include <cstdio>
#include <utility>

namespace bench {
namespace {

// In link order, which bench/CMakeLists.txt keeps in the report's order.
std::vector<std::pair<std::string, AccuracyFamily>> &families() {
  static std::vector<std::pair<std::string, AccuracyFamily>> registered;
  return registered;
}

std::string json_string(const std::string &text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

// JSON has no infinity: errors that are not finite are written as null.
std::string json_number(double value) {
  if (!std::isfinite(value)) return "null";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.6g", value);
  return buffer;
}

}  // namespace

bool register_accuracy_family(const char *name, AccuracyFamily run) {
  families().emplace_back(name, run);
  return true;
}

}  // namespace bench

int main(int argc, char **argv) {
  bench::AccuracyReport report;
  for (const auto &[name, run] : bench::families()) {
    std::fprintf(stderr, "accuracy: %s\n", name.c_str());
    run(report);
  }
  std::FILE *out = argc > 1 ? std::fopen(argv[1], "w") : stdout;
  if (out == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  std::fprintf(out, "{\"rows\": [\n");
  const auto &rows = report.rows();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const bench::AccuracyRow &row = rows[i];
    std::fprintf(out, "  {\"case\": %s, \"metric\": %s, \"truth\": %s, \"ours\": %s, \"peers\": [",
                 bench::json_string(row.label).c_str(), bench::json_string(row.metric).c_str(),
                 bench::json_string(row.truth).c_str(), bench::json_number(row.ours).c_str());
    for (std::size_t p = 0; p < row.peers.size(); ++p) {
      std::fprintf(out, "%s{\"peer\": %s, \"error\": %s}", p ? ", " : "",
                   bench::json_string(row.peers[p].peer).c_str(),
                   bench::json_number(row.peers[p].error).c_str());
    }
    std::fprintf(out, "]}%s\n", i + 1 < rows.size() ? "," : "");
  }
  std::fprintf(out, "]}\n");
  if (out != stdout) std::fclose(out);
  return 0;
}
