// Comparing two full-size copies of a game, exporting every person to CSV,
// importing that export unchanged (45 000 rows), and applying a patch.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string>

#include "database/database.h"
#include "diff/diff.h"
#include "diff/patch.h"
#include "exchange/exchange.h"
#include "sample/generator.h"

namespace {

namespace fs = std::filesystem;

// Two copies of one full-size game, both open; removed at exit.
class TwoCopies {
 public:
  TwoCopies() {
    base_ = fs::temp_directory_path() / ("cm3bench_exchange_" + std::to_string(::getpid()));
    fs::remove_all(base_);
    cm3::sample::generate((base_ / "a").string(), cm3::sample::fullPreset(), 5);
    fs::copy(base_ / "a", base_ / "b", fs::copy_options::recursive);
    for (auto [db, name] : {std::pair{&a, "a"}, std::pair{&b, "b"}})
      if (!db->open((base_ / name).string())) throw std::runtime_error("cannot open: " + db->OpenError);
  }
  ~TwoCopies() {
    a.close();
    b.close();
    fs::remove_all(base_);
  }
  cm3::Database a, b;

 private:
  fs::path base_;
};

TwoCopies& copies() {
  static TwoCopies c;
  return c;
}

void BM_DiffTwoCopies(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(cm3::diff::compare(copies().a, copies().b).same());
}
BENCHMARK(BM_DiffTwoCopies)->Unit(benchmark::kMillisecond);

void BM_ExportPeople(benchmark::State& state) {
  size_t bytes = 0;
  for (auto _ : state) {
    std::ostringstream out;
    cm3::exchange::exportCsv(copies().a, "people", out);
    bytes = out.str().size();
  }
  state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_ExportPeople)->Unit(benchmark::kMillisecond);

void BM_ImportUnchangedPeople(benchmark::State& state) {
  std::ostringstream out;
  cm3::exchange::exportCsv(copies().a, "people", out);
  const std::string text = out.str();
  for (auto _ : state) {
    const auto r = cm3::exchange::importCsv(copies().a, "people", text, "people.csv", true);
    if (!r.errors.empty() || r.cells != 0) state.SkipWithError("the unchanged export changed something");
  }
}
BENCHMARK(BM_ImportUnchangedPeople)->Unit(benchmark::kMillisecond);

// The write path of a patch: one field written, with the consistency checks
// of the whole world before and after.
void BM_ApplyOneFieldPatch(benchmark::State& state) {
  cm3::Database& db = copies().b;
  cm3::diff::Result patch;
  cm3::diff::RecordChange change;
  change.file = std::string(cm3::slotInfo(cm3::kSlotStaff).path);
  change.id = 0;
  patch.records.push_back(change);
  int64_t caps = 0;
  for (auto _ : state) {
    caps = (caps + 1) % 100;
    patch.records[0].fields = {{"Caps", int64_t(0), caps}};
    if (cm3::diff::blocks(cm3::diff::apply(db, patch, true), true)) state.SkipWithError("the patch was refused");
  }
}
BENCHMARK(BM_ApplyOneFieldPatch)->Unit(benchmark::kMillisecond);

}  // namespace
