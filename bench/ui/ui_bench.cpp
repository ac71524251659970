// The main window on the full-size database: from pressing "Open" to a usable
// window, a name search with and without a character list, and showing a
// person with every box filled. Runs on the offscreen platform.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <filesystem>
#include <memory>

#include "database/database.h"
#include "people/person.h"
#include "sample/generator.h"
#include "search/namesearch.h"
#include "ui/mainwindow.h"

namespace {

namespace fs = std::filesystem;

struct FullGame {
  FullGame() {
    dir = fs::temp_directory_path() / ("cm3bench_ui_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    cm3::sample::generate(dir.string(), cm3::sample::fullPreset(), 5);
  }
  ~FullGame() { fs::remove_all(dir); }
  fs::path dir;
};

FullGame& game() {
  static FullGame g;
  return g;
}

// One window with the database open, shared by the benchmarks after Open;
// main closes it before the application goes.
std::unique_ptr<cm3::ui::TolvPlayer> shared;

cm3::ui::TolvPlayer& openWindow() {
  static QTemporaryDir program;
  if (!shared) {
    shared = std::make_unique<cm3::ui::TolvPlayer>(program.path());
    shared->show();
    shared->findChild<QLineEdit*>(QStringLiteral("txtpath"))->setText(QString::fromStdString(game().dir.string()));
    shared->cmdOpen_Click();
  }
  return *shared;
}

void BM_OpenToUsableWindow(benchmark::State& state) {
  const QString path = QString::fromStdString(game().dir.string());
  for (auto _ : state) {
    QTemporaryDir program;
    state.PauseTiming();
    auto w = std::make_unique<cm3::ui::TolvPlayer>(program.path());
    w->show();
    w->findChild<QLineEdit*>(QStringLiteral("txtpath"))->setText(path);
    QCoreApplication::processEvents();
    state.ResumeTiming();
    w->cmdOpen_Click();
    QCoreApplication::processEvents();
    state.PauseTiming();
    if (!w->database().isOpen()) state.SkipWithError("open failed");
    w->database().close();  // written back outside the timing
    w.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenToUsableWindow)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_NameSearchPlain(benchmark::State& state) {
  cm3::Database& db = openWindow().database();
  size_t hits = 0;
  for (auto _ : state) {
    auto m = cm3::search::findNames(db.PersonNameTable, db.PeopleCount(), "QQXYZ", 500);
    hits = m.size();
    benchmark::DoNotOptimize(m.data());
  }
  state.counters["matches"] = double(hits);
}
BENCHMARK(BM_NameSearchPlain)->Unit(benchmark::kMillisecond);

void BM_NameSearchList(benchmark::State& state) {
  cm3::Database& db = openWindow().database();
  size_t hits = 0;
  for (auto _ : state) {
    auto m = cm3::search::findNames(db.PersonNameTable, db.PeopleCount(), "Z[AEIOU]X", 500);
    hits = m.size();
    benchmark::DoNotOptimize(m.data());
  }
  state.counters["matches"] = double(hits);
}
BENCHMARK(BM_NameSearchList)->Unit(benchmark::kMillisecond);

void BM_SearchButton(benchmark::State& state) {
  cm3::ui::TolvPlayer& w = openWindow();
  w.findChild<QLineEdit*>(QStringLiteral("txtSearch"))->setText(QStringLiteral("zx[aeiou]"));
  for (auto _ : state) w.cmdSearch_Click();
}
BENCHMARK(BM_SearchButton)->Unit(benchmark::kMillisecond);

void BM_ShowPerson(benchmark::State& state) {
  cm3::ui::TolvPlayer& w = openWindow();
  const int people = w.database().PeopleCount();
  int id = 0;
  for (auto _ : state) {
    w.showPerson(id);
    id = (id + 7919) % people;
  }
}
BENCHMARK(BM_ShowPerson)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (shared) {
    shared->database().close();
    shared.reset();
  }
  return 0;
}
