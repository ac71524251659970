// make-sample-db DIR [--preset small|full] [--seed N]
// Writes a synthetic game database into DIR/Data.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "sample/generator.h"

namespace {
int usage() {
  std::fprintf(stderr, "usage: make-sample-db DIR [--preset small|full] [--seed N]\n");
  return 2;
}
}  // namespace

int main(int argc, char** argv) {
  std::string dir, presetName = "small";
  uint64_t seed = 1;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--preset" && i + 1 < argc) {
      presetName = argv[++i];
    } else if (a == "--seed" && i + 1 < argc) {
      char* end = nullptr;
      std::string v = argv[++i];
      seed = std::strtoull(v.c_str(), &end, 10);
      if (v.empty() || *end != '\0' || v[0] == '-') return usage();
    } else if (!a.empty() && a[0] != '-' && dir.empty()) {
      dir = a;
    } else {
      return usage();
    }
  }
  if (dir.empty()) return usage();
  cm3::sample::Preset preset;
  if (!cm3::sample::presetByName(presetName, preset)) return usage();
  try {
    cm3::sample::generate(dir, preset, seed);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make-sample-db: %s\n", e.what());
    return 1;
  }
  std::printf("Wrote the %s database (seed %llu) to %s/Data: %d people (%d players, %d non-players), %d clubs, "
              "%d nations, %d competitions, %d stadiums, %d cities, %d colours, %d history rows, "
              "%d/%d/%d first/second/common names\n",
              presetName.c_str(), static_cast<unsigned long long>(seed), dir.c_str(), preset.people, preset.players,
              preset.people - preset.players, preset.clubs, preset.nations, preset.comps, preset.stadiums,
              preset.cities, preset.colours, preset.history, preset.firstNames, preset.secondNames,
              preset.commonNames);
  return 0;
}
