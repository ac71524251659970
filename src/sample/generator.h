// Synthetic game databases: a complete, self-consistent Data folder built
// from a seed, for tests, benchmarks and trying the editor without a game.
#pragma once
#include <cstdint>
#include <string>

namespace cm3::sample {

// How many records of each kind a generated database holds.
struct Preset {
  int people, players, firstNames, secondNames, commonNames, clubs, nations, continents, comps, stadiums, cities,
      colours, history;
  int tailBytes;  // bytes after the last section of staff.dat
};

Preset smallPreset();  // a few hundred people, quick enough for every test
Preset fullPreset();   // the size of a complete game database
// "small" or "full"; false (preset untouched) for any other name.
bool presetByName(const std::string& name, Preset& preset);

// Writes gameDir/Data with every game file (creating the folders, replacing
// files already there). The same preset and seed always give the same bytes.
// Throws std::runtime_error when the preset is inconsistent or a file cannot
// be written.
void generate(const std::string& gameDir, const Preset& preset, uint64_t seed);

}  // namespace cm3::sample
