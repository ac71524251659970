// Opening and closing a full-size game database, against two floors
// measured in the same run: reading every game file once into memory, and
// copying staff.dat once. The counters give the ratios and the memory held.
//
//   cm3_bench --benchmark_filter='Database' --benchmark_repetitions=5
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "database/database.h"
#include "sample/generator.h"

namespace {

namespace fs = std::filesystem;

// A file's bytes in a buffer of its own (not cleared before reading).
struct Buffer {
  std::unique_ptr<uint8_t[]> bytes;
  size_t size = 0;
};

Buffer readWhole(const fs::path& p) {
  int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw std::runtime_error("cannot open " + p.string());
  struct stat st;
  ::fstat(fd, &st);
  Buffer b{std::unique_ptr<uint8_t[]>(new uint8_t[size_t(st.st_size)]), size_t(st.st_size)};
  size_t done = 0;
  while (done < b.size) {
    ssize_t r = ::pread(fd, b.bytes.get() + done, b.size - done, off_t(done));
    if (r <= 0) break;
    done += size_t(r);
  }
  ::close(fd);
  return b;
}

// The floor of opening: every game file read once into memory, all of them
// held at the same time as an open database holds them.
size_t readAllGameFiles(const fs::path& data) {
  std::vector<Buffer> files;
  size_t total = 0;
  for (const auto& e : fs::directory_iterator(data)) {
    const std::string name = e.path().filename().string();
    if (name == "index_temp.dat") continue;
    files.push_back(readWhole(e.path()));
    benchmark::DoNotOptimize(files.back().bytes.get());
    total += files.back().size;
  }
  return total;
}

// The floor of closing: staff.dat copied once into a new file.
void copyStaff(const fs::path& data) {
  Buffer staff = readWhole(data / "staff.dat");
  const fs::path to = data.parent_path() / "staff_copy.dat";
  int fd = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) throw std::runtime_error("cannot create " + to.string());
  size_t done = 0;
  while (done < staff.size) {
    ssize_t w = ::write(fd, staff.bytes.get() + done, staff.size - done);
    if (w <= 0) break;
    done += size_t(w);
  }
  ::close(fd);
}

template <class F>
double bestSeconds(F f, int runs = 7) {
  double best = 1e9;
  for (int i = 0; i < runs; ++i) {
    auto t0 = std::chrono::steady_clock::now();
    f();
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
  }
  return best;
}

// One full-size game database, made on first use and removed at exit.
class FullGame {
 public:
  FullGame() {
    dir_ = fs::temp_directory_path() / ("cm3bench_database_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    cm3::sample::generate(dir_.string(), cm3::sample::fullPreset(), 3);
    // One open and close first, so that index_temp.dat is there as it is
    // for every later open.
    cm3::Database db;
    if (!db.open(dir_.string())) throw std::runtime_error("cannot open the generated database: " + db.OpenError);
    db.close();
  }
  ~FullGame() { fs::remove_all(dir_); }
  std::string dir() const { return dir_.string(); }
  fs::path data() const { return dir_ / "Data"; }
  double readAllFloor() {
    if (readAll_ == 0) readAll_ = bestSeconds([&] { readAllGameFiles(data()); });
    return readAll_;
  }
  double copyFloor() {
    if (copy_ == 0) copy_ = bestSeconds([&] { copyStaff(data()); });
    return copy_;
  }

 private:
  fs::path dir_;
  double readAll_ = 0, copy_ = 0;
};

FullGame& game() {
  static FullGame g;
  return g;
}

void BM_Database_ReadAllFloor(benchmark::State& state) {
  size_t bytes = 0;
  for (auto _ : state) bytes = readAllGameFiles(game().data());
  state.counters["MiB"] = double(bytes) / (1 << 20);
}
BENCHMARK(BM_Database_ReadAllFloor)->Unit(benchmark::kMillisecond);

void BM_Database_CopyStaffFloor(benchmark::State& state) {
  for (auto _ : state) copyStaff(game().data());
  fs::remove(game().data().parent_path() / "staff_copy.dat");
}
BENCHMARK(BM_Database_CopyStaffFloor)->Unit(benchmark::kMillisecond);

// The whole open: split staff.dat, measure, open every slot, the name lists
// and PersonNameTable. The database is closed again outside the timing.
void BM_Database_Open(benchmark::State& state) {
  const double floor = game().readAllFloor();
  size_t memory = 0;
  double total = 0;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    cm3::Database db;
    if (!db.open(game().dir())) {
      state.SkipWithError(db.OpenError.c_str());
      break;
    }
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    state.PauseTiming();
    memory = db.memoryUsage();
    db.abortOpen();
    state.ResumeTiming();
  }
  state.counters["MiB_held"] = double(memory) / (1 << 20);
  state.counters["x_read_all_floor"] = total / double(state.iterations()) / floor;
}
BENCHMARK(BM_Database_Open)->Unit(benchmark::kMillisecond);

// The whole close: staff.dat built anew from the working files, forced to
// the disk and renamed into place, index.dat written, working files deleted.
void BM_Database_Close(benchmark::State& state) {
  const double floor = game().copyFloor();
  double total = 0;
  for (auto _ : state) {
    state.PauseTiming();
    cm3::Database db;
    if (!db.open(game().dir())) {
      state.SkipWithError(db.OpenError.c_str());
      break;
    }
    state.ResumeTiming();
    auto t0 = std::chrono::steady_clock::now();
    db.close();
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  }
  state.counters["x_copy_floor"] = total / double(state.iterations()) / floor;
}
BENCHMARK(BM_Database_Close)->Unit(benchmark::kMillisecond);

}  // namespace
