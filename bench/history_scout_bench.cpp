// Loading one person's career history and a scout run with a league filter,
// over a generated database of the full size (200 000 history records,
// 45 000 people).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "database/database.h"
#include "history/history.h"
#include "sample/generator.h"
#include "search/scout.h"

namespace {

namespace fs = std::filesystem;

// One full-size game database, made on first use and removed at exit.
class FullGame {
 public:
  FullGame() {
    dir_ = fs::temp_directory_path() / ("cm3bench_history_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    cm3::sample::generate(dir_.string(), cm3::sample::fullPreset(), 3);
    if (!db_.open(dir_.string())) throw std::runtime_error("cannot open the generated database: " + db_.OpenError);
  }
  ~FullGame() {
    db_.close();
    fs::remove_all(dir_);
  }
  cm3::Database& db() { return db_; }

 private:
  fs::path dir_;
  cm3::Database db_;
};

FullGame& game() {
  static FullGame g;
  return g;
}

void BM_LoadHistory(benchmark::State& state) {
  cm3::Database& db = game().db();
  const int32_t person = 1234;
  size_t rows = 0;
  for (auto _ : state) {
    auto r = cm3::history::loadRows(db, person);
    rows = r.size();
    benchmark::DoNotOptimize(r.data());
  }
  state.counters["records"] = double(db.recordCount(cm3::GameFile::History));
  state.counters["rows"] = double(rows);
}
BENCHMARK(BM_LoadHistory)->Unit(benchmark::kMillisecond);

void BM_ScoutWithLeague(benchmark::State& state) {
  cm3::Database& db = game().db();
  cm3::search::ScoutCriteria c;
  c.LeagueIndex = 5;
  c.MinCurrentAbility = 0;
  size_t found = 0;
  for (auto _ : state) {
    auto r = cm3::search::scout(db, c);
    found = r.size();
    benchmark::DoNotOptimize(r.data());
  }
  state.counters["people"] = double(db.PeopleCount());
  state.counters["matches"] = double(found);
}
BENCHMARK(BM_ScoutWithLeague)->Unit(benchmark::kMillisecond);

// The slowest kind of run: a league nobody plays in, so every person with a
// club has his club read and the scan goes through all 45 000 people.
void BM_ScoutWholeScan(benchmark::State& state) {
  cm3::Database& db = game().db();
  cm3::search::ScoutCriteria c;
  c.LeagueIndex = 32000;
  for (auto _ : state) {
    auto r = cm3::search::scout(db, c);
    benchmark::DoNotOptimize(r.data());
  }
}
BENCHMARK(BM_ScoutWholeScan)->Unit(benchmark::kMillisecond);

}  // namespace
