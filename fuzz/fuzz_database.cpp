// libFuzzer target over the read paths of the core.
//
// Every input is a list of edits to one tiny generated game directory (made
// once per process and kept in memory): overwrite bytes, store a number in a
// record field, truncate, grow, copy records, delete or rename a file,
// change the counts of index.dat. The edited files are written into a
// scratch game directory of this process, which is opened with
// cm3::Database; then every read path of the editor runs over it (the name
// search, a person, the squads, the history, the scout search, clubs,
// nations, continents, competitions, the consistency check) and the database
// is closed again.
//
// Besides the sanitizers, the run checks what the read paths promise: list
// choices lie inside their lists, the person name table agrees with the
// person page, a name search agrees with the matcher, history rows keep
// their clubs, and opening then closing without edits leaves every game
// file as it was.
//
// CM3_FUZZ_SEEDS=<dir> makes the binary write its starting inputs into <dir>
// and exit instead of fuzzing (tools/fuzz.sh does this for a new corpus).
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "clubs/club.h"
#include "competitions/comp.h"
#include "database/catalogue.h"
#include "database/database.h"
#include "database/errors.h"
#include "history/history.h"
#include "nations/nation.h"
#include "people/person.h"
#include "records/bytes.h"
#include "records/codelists.h"
#include "records/cp1252.h"
#include "records/records.h"
#include "sample/generator.h"
#include "search/check.h"
#include "search/namesearch.h"
#include "search/scout.h"
#include "squads/squads.h"

namespace fs = std::filesystem;
using namespace cm3;

namespace {

using Bytes = std::vector<uint8_t>;

// ---- A failed expectation ends the run as a crash, with the reason. --------

[[noreturn]] void fail(const char* what, const char* file, int line) {
  std::fprintf(stderr, "\nfuzz_database: expectation failed at %s:%d: %s\n", file, line, what);
  std::abort();
}
#define EXPECT(cond)                                 \
  do {                                               \
    if (!(cond)) fail(#cond, __FILE__, __LINE__);    \
  } while (0)

// ---- The base game directory --------------------------------------------------

struct BaseFile {
  std::string name;      // lower case, as generated
  Bytes bytes;
  size_t recordLength;   // 0 when not a record file
  size_t header;         // bytes before the first record (index.dat: 8)
};

struct Base {
  std::vector<BaseFile> files;  // sorted by name
  SectionTable sections;        // of the generated staff.dat
  fs::path root;                // scratch folder of this process
  fs::path game, data;          // the game directory opened on every run
};

Base* gBase = nullptr;

// A preset smaller than the smallest one of the tests: a few dozen people,
// still with players and staff, free agents, a club with a hole in its
// slots and history rows, so that every path has something to read.
sample::Preset tinyPreset() {
  sample::Preset p = sample::smallPreset();
  p.people = 24;
  p.players = 16;
  p.firstNames = 8;
  p.secondNames = 10;
  p.commonNames = 3;
  p.clubs = 4;
  p.nations = 3;
  p.continents = 2;
  p.comps = 3;
  p.stadiums = 3;
  p.cities = 3;
  p.colours = 3;
  p.history = 20;
  p.tailBytes = 5;
  return p;
}

Bytes slurp(const fs::path& p) {
  Bytes b;
  int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    std::perror(p.c_str());
    std::abort();
  }
  uint8_t buf[16384];
  for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0;) b.insert(b.end(), buf, buf + n);
  ::close(fd);
  return b;
}

void spit(const fs::path& p, const Bytes& b) {
  int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    std::perror(p.c_str());
    std::abort();
  }
  size_t done = 0;
  while (done < b.size()) {
    ssize_t w = ::write(fd, b.data() + done, b.size() - done);
    if (w <= 0) {
      std::perror(p.c_str());
      std::abort();
    }
    done += size_t(w);
  }
  ::close(fd);
}

std::string lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return s;
}

std::string upperAscii(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return s;
}

size_t recordLengthOf(const std::string& name) {
  for (const GameFileInfo& f : kGameFiles) {
    std::string_view p = f.path;
    size_t cut = p.find_last_of('\\');
    if (lower(std::string(p.substr(cut + 1))) == name) return size_t(f.recordLength);
  }
  return 0;
}

void removeRoot() {
  if (!gBase) return;
  std::error_code ec;
  fs::remove_all(gBase->root, ec);
}

// A finding ends the process without its exit handlers: the scratch
// folders of processes that are gone are removed by the next one.
void removeStaleRoots(const fs::path& parent) {
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(parent, ec)) {
    const std::string name = e.path().filename().string();
    if (name.rfind("cm3fuzz.", 0) != 0) continue;
    const long pid = std::strtol(name.c_str() + 8, nullptr, 10);
    if (pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH) fs::remove_all(e.path(), ec);
  }
}

void makeBase() {
  gBase = new Base;
  const char* tmpdir = std::getenv("TMPDIR");
  // /dev/shm keeps the many small writes and syncs of every run off the disk.
  const fs::path parent = fs::is_directory("/dev/shm") && ::access("/dev/shm", W_OK) == 0
                              ? fs::path("/dev/shm")
                              : fs::path(tmpdir && *tmpdir ? tmpdir : "/tmp");
  removeStaleRoots(parent);
  const std::string tmpl = (parent / ("cm3fuzz." + std::to_string(::getpid()) + ".XXXXXX")).string();
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back('\0');
  if (!::mkdtemp(buf.data())) {
    std::perror("mkdtemp");
    std::abort();
  }
  gBase->root = buf.data();
  std::atexit(removeRoot);

  const fs::path made = gBase->root / "base";
  sample::generate(made.string(), tinyPreset(), 3);
  for (const auto& e : fs::directory_iterator(made / "Data")) {
    BaseFile f;
    f.name = e.path().filename().string();
    f.bytes = slurp(e.path());
    f.recordLength = recordLengthOf(lower(f.name));
    f.header = f.name == "index.dat" ? size_t(kIndexHeader) : 0;
    gBase->files.push_back(std::move(f));
  }
  std::sort(gBase->files.begin(), gBase->files.end(),
            [](const BaseFile& a, const BaseFile& b) { return a.name < b.name; });
  fs::remove_all(made);

  for (const BaseFile& f : gBase->files)
    if (f.name == "index.dat") {
      auto count = [&](int entry) {
        return loadI32(f.bytes.data() + kIndexHeader + size_t(entry - 1) * IndexRecord::kSize +
                       IndexRecord::CountOffset);
      };
      gBase->sections = sectionTableFrom(count(kEntryPeople), count(kEntrySection2), count(kEntrySection3),
                                         count(kEntrySection4));
    }
  gBase->game = gBase->root / "game";
  gBase->data = gBase->game / "Data";
  fs::create_directories(gBase->data);
}

int fileIndex(const std::string& name) {
  for (size_t i = 0; i < gBase->files.size(); ++i)
    if (gBase->files[i].name == name) return int(i);
  std::fprintf(stderr, "fuzz_database: the generator made no %s\n", name.c_str());
  std::abort();
}

// ---- The input ------------------------------------------------------------------

enum Op : uint8_t {
  kOverwrite,     // file, offset u16, length u8 (1..32), bytes
  kStoreI32,      // file, record u8, field u8, value i32
  kStoreSmall,    // file, record u8, field u8, value i8 (stored as 4 bytes)
  kSectionField,  // section u8 (1..4), record u8, field u8, value i32: in staff.dat
  kTruncate,      // file, new size u16 (at most the present size)
  kAppend,        // file, length u8 (0..63), bytes
  kRemove,        // file
  kUpperCase,     // file: its name in upper case
  kCopyRecord,    // file, from u8, to u8
  kIndexCount,    // entry u8 (0..21 for entries 1..22), count i32
  kIndexDelta,    // entry u8 (0..21 for entries 1..22), delta i8
  kPattern,       // length u8 (0..15), bytes: one more name pattern to search
  kReadId,        // i32: one more identifier to read as person, club, nation and competition
  kScoutText,     // box u8, length u8 (0..7), bytes: a text of the scout criteria window
  kScoutRow,      // list u8 (nation, class, competition, older/younger), row i32
  kAbort,         // give the open up with abortOpen() instead of closing
  kOpCount
};

class Reader {
 public:
  Reader(const uint8_t* p, size_t n) : p_(p), n_(n) {}
  bool empty() const { return i_ >= n_; }
  uint8_t u8() { return i_ < n_ ? p_[i_++] : 0; }
  uint16_t u16() {
    const unsigned lo = u8();
    return uint16_t(lo | unsigned(u8()) << 8);
  }
  int32_t i32() {
    uint32_t v = u8();
    v |= uint32_t(u8()) << 8;
    v |= uint32_t(u8()) << 16;
    v |= uint32_t(u8()) << 24;
    return int32_t(v);
  }
  std::string text(size_t n) {
    std::string s;
    for (size_t k = 0; k < n && !empty(); ++k) s.push_back(char(u8()));
    return s;
  }

 private:
  const uint8_t* p_;
  size_t n_;
  size_t i_ = 0;
};

// The counterpart of Reader, for the starting inputs.
struct Writer {
  Bytes b;
  Writer& u8(unsigned v) {
    b.push_back(uint8_t(v));
    return *this;
  }
  Writer& u16(unsigned v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
  Writer& i32(int32_t v) {
    uint32_t u = uint32_t(v);
    return u8(u & 0xFF).u8((u >> 8) & 0xFF).u8((u >> 16) & 0xFF).u8(u >> 24);
  }
  Writer& text(std::string_view s) {
    for (char c : s) u8(uint8_t(c));
    return *this;
  }
  Writer& file(const char* name) { return u8(unsigned(fileIndex(name))); }
};

struct WorkFile {
  std::string name;  // as written into the game folder
  Bytes bytes;
  bool present = true;
};

struct Plan {
  std::vector<WorkFile> files;  // in the order of Base::files
  std::vector<std::string> patterns;
  std::vector<int32_t> ids;
  search::ScoutForm scoutForm;
  bool abort = false;
};

void storeAt(Bytes& b, size_t off, const uint8_t* src, size_t n) {
  if (off + n > b.size()) b.resize(off + n, 0);
  std::memcpy(b.data() + off, src, n);
}

size_t recordOffset(const BaseFile& base, const Bytes& now, uint8_t record, uint8_t field) {
  size_t len = base.recordLength ? base.recordLength : 64;
  size_t records = now.size() > base.header ? (now.size() - base.header) / len : 0;
  return base.header + size_t(record) % (records + 1) * len + size_t(field) % len;
}

Plan decode(const uint8_t* data, size_t size) {
  Plan plan;
  for (const BaseFile& f : gBase->files) plan.files.push_back({f.name, f.bytes, true});
  plan.patterns = {"a*", "[ab", "?", "*", "", "an", "[!a-m]*", "#", "?a[r-z]*", "m\xFC", "JOS\xC9", " "};
  Reader in(data, size);
  const size_t nfiles = plan.files.size();
  auto pickFile = [&]() -> size_t { return size_t(in.u8()) % nfiles; };
  WorkFile& index = plan.files[size_t(fileIndex("index.dat"))];
  WorkFile& staff = plan.files[size_t(fileIndex("staff.dat"))];
  auto put32 = [](Bytes& b, size_t off, int32_t v) {
    uint8_t four[4];
    storeI32(four, v);
    storeAt(b, off, four, 4);
  };
  auto countAt = [](uint8_t entry) {
    return size_t(kIndexHeader) + size_t(entry % kIndexEntries) * IndexRecord::kSize + IndexRecord::CountOffset;
  };

  for (int ops = 0; ops < 64 && !in.empty(); ++ops) {
    const Op op = Op(in.u8() % kOpCount);
    switch (op) {
      case kOverwrite: {
        WorkFile& f = plan.files[pickFile()];
        size_t off = size_t(in.u16()) % (f.bytes.size() + 1);
        std::string s = in.text(size_t(in.u8()) % 32 + 1);
        storeAt(f.bytes, off, reinterpret_cast<const uint8_t*>(s.data()), s.size());
        break;
      }
      case kStoreI32:
      case kStoreSmall: {
        const size_t k = pickFile();
        WorkFile& f = plan.files[k];
        const uint8_t record = in.u8(), field = in.u8();
        const int32_t value = op == kStoreSmall ? int32_t(int8_t(in.u8())) : in.i32();
        put32(f.bytes, recordOffset(gBase->files[k], f.bytes, record, field), value);
        break;
      }
      case kSectionField: {
        const SectionTable& t = gBase->sections;
        const int k = in.u8() % 4;
        const uint8_t record = in.u8(), field = in.u8();
        const int32_t value = in.i32();
        const int64_t starts[] = {0, t.A, t.B, t.C};
        const int64_t lengths[] = {157, 8, 68, 70};
        const int64_t counts[] = {t.N8, t.N9, t.N10, t.N11};
        const int64_t off = starts[k] + int64_t(record) % (counts[k] + 1) * lengths[k] + int64_t(field) % lengths[k];
        put32(staff.bytes, size_t(off), value);
        break;
      }
      case kTruncate: {
        WorkFile& f = plan.files[pickFile()];
        f.bytes.resize(size_t(in.u16()) % (f.bytes.size() + 1));
        break;
      }
      case kAppend: {
        WorkFile& f = plan.files[pickFile()];
        std::string s = in.text(size_t(in.u8()) % 64);
        f.bytes.insert(f.bytes.end(), s.begin(), s.end());
        break;
      }
      case kRemove: plan.files[pickFile()].present = false; break;
      case kUpperCase: {
        WorkFile& f = plan.files[pickFile()];
        f.name = upperAscii(f.name);
        break;
      }
      case kCopyRecord: {
        const size_t k = pickFile();
        const BaseFile& base = gBase->files[k];
        WorkFile& f = plan.files[k];
        const uint8_t from = in.u8(), to = in.u8();
        const size_t len = base.recordLength ? base.recordLength : 64;
        const size_t src = recordOffset(base, f.bytes, from, 0), dst = recordOffset(base, f.bytes, to, 0);
        if (src + len <= f.bytes.size()) {
          Bytes rec(f.bytes.begin() + long(src), f.bytes.begin() + long(src + len));
          storeAt(f.bytes, dst, rec.data(), len);
        }
        break;
      }
      case kIndexCount: {
        const size_t off = countAt(in.u8());
        put32(index.bytes, off, in.i32());
        break;
      }
      case kIndexDelta: {
        const size_t off = countAt(in.u8());
        const int32_t delta = int8_t(in.u8());
        if (off + 4 <= index.bytes.size())
          put32(index.bytes, off, int32_t(uint32_t(loadI32(index.bytes.data() + off)) + uint32_t(delta)));
        break;
      }
      case kPattern: plan.patterns.push_back(in.text(size_t(in.u8()) % 16)); break;
      case kReadId: plan.ids.push_back(in.i32()); break;
      case kScoutText: {
        const size_t box = size_t(in.u8()) % (3 + 32 + 12);
        std::string s = in.text(size_t(in.u8()) % 8);
        search::ScoutForm& form = plan.scoutForm;
        if (box == 0)
          form.ability = s;
        else if (box == 1)
          form.potAbility = s;
        else if (box == 2)
          form.age = s;
        else if (box < 3 + 32)
          form.attributes[box - 3] = s;
        else
          form.positions[box - 3 - 32] = s;
        break;
      }
      case kScoutRow: {
        const uint8_t which = in.u8() % 4;
        const int32_t row = in.i32();
        search::ScoutForm& form = plan.scoutForm;
        if (which == 0)
          form.nationRow = row;
        else if (which == 1)
          form.classRow = row;
        else if (which == 2)
          form.compRow = row;
        else
          form.optRow = row;
        break;
      }
      case kAbort: plan.abort = true; break;
      case kOpCount: break;
    }
  }
  return plan;
}

// ---- The game folder of a run -------------------------------------------------

// Empties the game folder and writes the files of the plan into it. Returns
// what it holds then, by lower-case name.
std::map<std::string, Bytes> writeGame(const Plan& plan) {
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(gBase->data)) fs::remove_all(e.path(), ec);
  std::map<std::string, Bytes> written;
  for (const WorkFile& f : plan.files) {
    if (!f.present) continue;
    spit(gBase->data / f.name, f.bytes);
    written[lower(f.name)] = f.bytes;
  }
  return written;
}

std::map<std::string, Bytes> folderNow() {
  std::map<std::string, Bytes> now;
  for (const auto& e : fs::directory_iterator(gBase->data)) {
    std::string name = lower(e.path().filename().string());
    EXPECT(now.count(name) == 0);  // two files whose names differ only in case
    EXPECT(e.is_regular_file());
    now[name] = slurp(e.path());
  }
  return now;
}

bool isGameFileName(const std::string& lowerName) {
  for (const GameFileInfo& f : kGameFiles) {
    std::string_view p = f.path;
    if (lower(std::string(p.substr(p.find_last_of('\\') + 1))) == lowerName) return true;
  }
  return false;
}

// The folder after the database let go of it: every file that was written
// holds its bytes (index.dat may have been filled in, see below), missing
// record files may have been made empty, index_temp.dat is there exactly
// when `keepsIndexTemp`, and no working file is left.
void expectFolderAfter(const std::map<std::string, Bytes>& written, bool keepsIndexTemp, bool madeFiles) {
  const std::map<std::string, Bytes> now = folderNow();
  for (const auto& [name, bytes] : written) {
    auto it = now.find(name);
    EXPECT(it != now.end());
    if (name == "index.dat" && bytes.empty() && keepsIndexTemp) {
      // An empty index.dat opens as no records; closing writes its 22
      // entries, all zero, after the header.
      EXPECT(it->second == Bytes(size_t(kIndexFileSize), 0));
      continue;
    }
    EXPECT(it->second == bytes);
  }
  for (const auto& [name, bytes] : now) {
    if (written.count(name)) continue;
    if (name == "index.dat") {
      // Made empty as the lock file of the open; closing fills it in.
      EXPECT(bytes == (keepsIndexTemp ? Bytes(size_t(kIndexFileSize), 0) : Bytes()));
      continue;
    }
    if (name == "index_temp.dat") {
      EXPECT(keepsIndexTemp);
      const Bytes& index = written.count("index.dat") ? written.at("index.dat") : Bytes();
      Bytes entries(size_t(kIndexEntries) * IndexRecord::kSize, 0);
      for (size_t k = 0; k < entries.size() && kIndexHeader + k < index.size(); ++k)
        entries[k] = index[kIndexHeader + k];
      EXPECT(bytes == entries);
      continue;
    }
    // Only what opening makes: a missing game file, created empty.
    if (!madeFiles) std::fprintf(stderr, "fuzz_database: %s was made by an open that failed\n", name.c_str());
    EXPECT(madeFiles);
    EXPECT(isGameFileName(name));
    EXPECT(bytes.empty());
  }
  if (!keepsIndexTemp) EXPECT(now.count("index_temp.dat") == 0);
}

// ---- The read paths -----------------------------------------------------------

bool inList(int row, size_t size) { return row >= -1 && (row < 0 || size_t(row) < size); }

void searchNames(const Database& db, const std::vector<std::string>& patterns) {
  const int people = db.PeopleCount();
  const int limit = 7;
  for (const std::string& key : patterns) {
    const std::vector<int> found = search::findNames(db.PersonNameTable, people, key, limit);
    EXPECT(int(found.size()) <= limit);
    const int n = std::min<int64_t>(std::max(people, 0), int64_t(db.PersonNameTable.size()));
    // The search is "*key*"; "**" at the end means the same to the matcher
    // but takes its general path instead of the plain substring search.
    const std::string same = "*" + key + "**";
    std::map<std::string_view, bool> seen;  // most names repeat (and past the people all are empty)
    size_t next = 0;
    for (int i = 0; i < n && next < size_t(limit); ++i) {
      const std::string& name = db.PersonNameTable[size_t(i)];
      auto it = seen.find(name);
      if (it == seen.end()) it = seen.emplace(name, search::likeMatch(name, same)).first;
      const bool match = it->second;
      if (match) {
        EXPECT(next < found.size() && found[next] == i);
        ++next;
      }
    }
    EXPECT(next == found.size());
    // The pattern alone, as the matcher takes it, on club names: "*"
    // matches every name, and a "*" put after a pattern ("*" may stand for
    // no characters) loses none of its matches.
    for (const std::string& name : db.clubNames) {
      EXPECT(search::likeMatch(name, "*"));
      if (search::likeMatch(name, key)) EXPECT(search::likeMatch(name, key + "*"));
    }
  }
}

void showPerson(Database& db, int32_t id) {
  if (id < 0) {
    bool refused = false;
    try {
      people::loadPerson(db, id);
    } catch (const ValueError&) {
      refused = true;
    }
    EXPECT(refused);
    return;
  }
  const people::PersonForm f = people::loadPerson(db, id);
  EXPECT(inList(f.nation, db.nationNames.size()));
  EXPECT(inList(f.secondNation, db.nationNames.size()));
  const bool has = db.has<StaffRecord>(kSlotStaff, int64_t(id) + 1);
  if (!has) EXPECT(f.personId == id);
  if (has && id < db.PeopleCount() && id < int64_t(db.PersonNameTable.size()))
    EXPECT(db.PersonNameTable[size_t(id)] == Database::displayName(f.secondName, f.firstName));
  if (f.clubId >= 0 && size_t(f.clubId) < db.clubNames.size()) EXPECT(f.clubName == db.clubNames[size_t(f.clubId)]);
}

void showSquads(Database& db, int32_t club, int32_t transferClub) {
  squads::SquadState st;
  squads::loadCurrentClub(db, st, club);
  squads::loadTransferClub(db, st, transferClub);
  const bool isCurrent = squads::isClub(db, club), isTransfer = squads::isClub(db, transferClub);
  EXPECT(st.currentClubId == (isCurrent ? club : -1));
  EXPECT(st.TransferClubId == (isTransfer ? transferClub : -1));
  EXPECT(st.TransferSquadCount == squads::occupiedCount(st.TransferSquad));
  EXPECT(st.TransferSquadCount >= 0 && st.TransferSquadCount <= squads::kPlayerSlots);
  if (!isCurrent) {
    EXPECT(squads::occupiedCount(st.CurrentSquad) == 0);
    for (int32_t v : st.CurrentStaff) EXPECT(v < 0);
  }
  const int empty = squads::FindEmptyPos(st.TransferSquad);
  EXPECT(empty == -1 ? st.TransferSquadCount == squads::kPlayerSlots : st.TransferSquad[size_t(empty)] < 0);
  for (auto slots : {std::span<const int32_t>(st.CurrentSquad), std::span<const int32_t>(st.CurrentStaff),
                     std::span<const int32_t>(st.TransferSquad)}) {
    const std::vector<std::string> rows = squads::slotTexts(db, slots);
    EXPECT(rows.size() == slots.size());
    for (size_t k = 0; k < rows.size(); ++k) {
      if (slots[k] < 0)
        EXPECT(rows[k] == squads::kEmptyRow);
      else if (slots[k] < db.PeopleCount())
        EXPECT(rows[k] == db.personName(slots[k]));
      else
        EXPECT(rows[k] != squads::kEmptyRow && rows[k].find(std::to_string(slots[k])) != std::string::npos);
    }
  }
  // findSlot gives the first slot holding a person.
  for (size_t k = 0; k < st.CurrentSquad.size(); ++k) {
    const int32_t v = st.CurrentSquad[k];
    if (v < 0) continue;
    const int found = squads::findSlot(st.CurrentSquad, v);
    EXPECT(found >= 0 && size_t(found) <= k && st.CurrentSquad[size_t(found)] == v);
  }
}

void showHistory(const Database& db, int32_t person) {
  const std::vector<history::HistoryRow> rows = history::loadRows(db, person);
  const std::vector<int32_t> ids = history::findRecords(db, person);
  EXPECT(rows.size() == ids.size());
  const int64_t inFile = int64_t(db.file(kSlotHistory).size() / HistoryRecord::kSize);
  for (size_t k = 0; k < rows.size(); ++k) {
    const history::HistoryRow& r = rows[k];
    EXPECT(r.recordId == ids[k]);
    EXPECT(k == 0 || ids[k - 1] < ids[k]);
    EXPECT(r.recordId >= 0 && r.recordId < inFile && r.recordId < db.recordCount(GameFile::History));
    EXPECT(db.read<HistoryRecord>(kSlotHistory, int64_t(r.recordId) + 1).PersonId() == person);
    EXPECT(r.club == history::clubText(db.clubNames, r.clubId));
    // Saving a row as loaded keeps its club.
    if (!r.club.empty()) EXPECT(history::findClub(db.clubNames, r.club, r.clubId) == r.clubId);
    if (!r.club.empty()) {
      const int32_t first = history::findClub(db.clubNames, r.club);
      EXPECT(first >= 0 && first <= r.clubId);
    }
  }
}

void showClub(Database& db, int32_t id) {
  const clubs::ClubForm f = clubs::loadClub(db, id);
  EXPECT(inList(f.nation, db.nationNames.size()));
  EXPECT(inList(f.division, db.compNames.size()));
  EXPECT(inList(f.lastDivision, db.compNames.size()));
  EXPECT(inList(f.otherDivision, db.compNames.size()));
  EXPECT(inList(f.homeMatchDay, 8));
  EXPECT(inList(f.status, 4));
  for (int k : f.kits) EXPECT(inList(k, db.colours.size()));
  for (int k : f.rivals) EXPECT(inList(k, db.clubNames.size()));
  EXPECT(f.liked.size() == 3 && f.disliked.size() == 3);
  for (const clubs::StadiumForm* s : {&f.main, &f.reserve}) {
    EXPECT(inList(s->city, db.cityNames.size()));
    EXPECT(inList(s->nearby, db.stadiumNames.size()));
  }
  const clubs::ClubForm fresh = clubs::newClubForm(db, f);
  EXPECT(fresh.kits == f.kits);
  EXPECT(fresh.liked.empty() && fresh.disliked.empty());
}

void showNation(Database& db, int32_t id) {
  const nations::NationForm f = nations::loadNation(db, id);
  EXPECT(inList(f.development, codes::kDevelopment.size()));
  EXPECT(inList(f.region, codes::kRegion.size()));
  EXPECT(inList(f.actualRegion, codes::kActualRegion.size()));
  EXPECT(inList(f.group, codes::kGroup.size()));
  for (int k : f.languages) EXPECT(inList(k, codes::kLanguage.size()));
  EXPECT(inList(f.city, db.cityNames.size()));
  EXPECT(inList(f.stadium, db.stadiumNames.size()));
  EXPECT(inList(f.continent, db.continentNames.size()));
  const nations::ContinentForm c = nations::loadContinent(db, id);
  if (id < 0) EXPECT(c.boxes.begin() == c.boxes.end());
}

void showComp(Database& db, int32_t id) {
  const comps::CompForm f = comps::loadComp(db, id);
  EXPECT(inList(f.nation, db.nationNames.size()));
  EXPECT(inList(f.continent, db.continentNames.size()));
  EXPECT(inList(f.foreground, db.colours.size()));
  EXPECT(inList(f.background, db.colours.size()));
}

void runScout(const Database& db, const search::ScoutCriteria& c) {
  const std::vector<int> all = search::scout(db, c);
  const std::vector<int> few = search::scout(db, c, 3);
  EXPECT(int(all.size()) <= search::kScoutMatchLimit);
  EXPECT(few.size() == std::min<size_t>(3, all.size()));
  EXPECT(std::equal(few.begin(), few.end(), all.begin()));
  for (size_t k = 0; k < all.size(); ++k) {
    EXPECT(all[k] >= 0 && all[k] < db.PeopleCount());
    EXPECT(k == 0 || all[k - 1] < all[k]);
    EXPECT(db.has<StaffRecord>(kSlotStaff, int64_t(all[k]) + 1));
  }
  EXPECT(search::scout(db, c, 0).empty());
  EXPECT(search::matchStatusText(all.size()).rfind(std::to_string(all.size()) + " Matches", 0) == 0);
}

void scoutSearches(const Database& db, const search::ScoutForm& form) {
  search::ScoutCriteria any;
  runScout(db, any);
  // The criteria of the window's texts (when a box is refused, with the
  // fields stored before it).
  search::ScoutCriteria c = any;
  (void)search::storeCriteria(form, c);
  runScout(db, c);
  search::ScoutCriteria strict;
  strict.NationIndex = 0;
  strict.JobClass = 11;
  strict.LeagueIndex = 1;
  strict.OlderThan = false;
  strict.AgeLimit = 30;
  strict.MinCurrentAbility = -1;
  strict.MinPosition[0] = 3;
  runScout(db, strict);
}

void runCheck(const Database& db) {
  search::CheckReport report;
  report.limitPerCheck = 5;
  search::checkDatabase(db, report);
  const auto& names = search::checkNames();
  int64_t expected = 0;
  for (const auto& [name, count] : report.counts) {
    EXPECT(count > 0);
    EXPECT(std::find(names.begin(), names.end(), name) != names.end());
    expected += std::min<int64_t>(count, int64_t(report.limitPerCheck));
  }
  EXPECT(int64_t(report.findings.size()) == expected);
  for (const search::Finding& f : report.findings) EXPECT(report.count(f.check) > 0);
  EXPECT(report.clean() == report.findings.empty());
}

std::vector<int32_t> around(int64_t count, int64_t upTo, const std::vector<int32_t>& extra) {
  std::set<int32_t> ids = {-1, 0, INT32_MAX, INT32_MIN, kPersonNameTableSize - 1, kPersonNameTableSize};
  for (int64_t i = 0; i < std::min(count, upTo); ++i) ids.insert(int32_t(i));
  for (int64_t d : {-1, 0, 1})
    if (count + d >= INT32_MIN && count + d <= INT32_MAX) ids.insert(int32_t(count + d));
  for (int32_t v : extra) ids.insert(v);
  return {ids.begin(), ids.end()};
}

void readEverything(Database& db, const Plan& plan) {
  EXPECT(db.isOpen());
  EXPECT(db.PersonNameTable.size() == size_t(kPersonNameTableSize));
  EXPECT(db.nationNames.size() == size_t(std::max<int64_t>(0, db.recordCount(GameFile::Nation))));
  EXPECT(db.clubNames.size() == size_t(std::max<int64_t>(0, db.recordCount(GameFile::Club))));
  EXPECT(db.compNames.size() == size_t(std::max<int64_t>(0, db.recordCount(GameFile::Comp))));
  EXPECT(db.colours.size() == size_t(std::max<int64_t>(0, db.recordCount(GameFile::Colour))));
  const int32_t people = db.PeopleCount();
  for (int64_t i = std::max<int64_t>(people, 0); i < int64_t(db.PersonNameTable.size()); ++i)
    EXPECT(db.PersonNameTable[size_t(i)].empty());
  EXPECT(db.personName(-1).empty() && db.personName(kPersonNameTableSize).empty());
  const SectionTable t = db.sections();
  EXPECT(t.A <= t.B && t.B <= t.C && t.C <= t.D);
  (void)db.memoryUsage();

  searchNames(db, plan.patterns);
  const std::vector<int32_t> personIds = around(people, 48, plan.ids);
  for (int32_t id : personIds) {
    showPerson(db, id);
    showHistory(db, id);
  }
  const std::vector<int32_t> clubIds = around(int64_t(db.clubNames.size()), 8, plan.ids);
  for (size_t k = 0; k < clubIds.size(); ++k) {
    showClub(db, clubIds[k]);
    showSquads(db, clubIds[k], clubIds[(k + 1) % clubIds.size()]);
  }
  for (int32_t id : around(int64_t(db.nationNames.size()), 8, plan.ids)) showNation(db, id);
  for (int32_t id : around(int64_t(db.compNames.size()), 8, plan.ids)) showComp(db, id);
  scoutSearches(db, plan.scoutForm);
  runCheck(db);
}

// ---- Starting inputs -------------------------------------------------------

std::vector<std::pair<std::string, Bytes>> seeds() {
  std::vector<std::pair<std::string, Bytes>> out;
  auto add = [&](const char* name, const Writer& w) { out.emplace_back(name, w.b); };
  add("unchanged", Writer{});
  add("one-person-more", Writer{}.u8(kIndexDelta).u8(kEntryPeople - 1).u8(1));
  add("no-people", Writer{}.u8(kIndexCount).u8(kEntryPeople - 1).i32(0));
  add("most-people", Writer{}.u8(kIndexCount).u8(kEntryPeople - 1).i32(kPersonNameTableSize));
  add("negative-section-3", Writer{}.u8(kIndexCount).u8(kEntrySection3 - 1).i32(-1));
  add("huge-section-4", Writer{}.u8(kIndexCount).u8(kEntrySection4 - 1).i32(40000000));
  add("staff-cut-in-person", Writer{}.u8(kTruncate).file("staff.dat").u16(157 * 5 + 40));
  add("staff-cut-in-section-4", Writer{}.u8(kTruncate).file("staff.dat").u16(uint32_t(gBase->sections.C + 70 * 3 + 9)));
  add("index-empty", Writer{}.u8(kTruncate).file("index.dat").u16(0));
  add("index-cut", Writer{}.u8(kTruncate).file("index.dat").u16(700));
  add("index-missing", Writer{}.u8(kRemove).file("index.dat"));
  add("club-missing", Writer{}.u8(kRemove).file("club.dat").u8(kRemove).file("colour.dat"));
  add("club-partial", Writer{}.u8(kAppend).file("club.dat").u8(40).text(std::string(40, 'x')));
  add("slot-wild", Writer{}
                       .u8(kStoreSmall).file("club.dat").u8(1).u8(ClubRecord::PlayerSlotOffset).u8(100)
                       .u8(kStoreI32).file("club.dat").u8(2).u8(ClubRecord::PlayerSlotOffset + 4).i32(INT32_MAX)
                       .u8(kCopyRecord).file("club.dat").u8(0).u8(3));
  add("person-wild", Writer{}
                         .u8(kStoreI32).file("staff.dat").u8(0).u8(StaffRecord::ClubIdOffset).i32(99)
                         .u8(kStoreSmall).file("staff.dat").u8(1).u8(StaffRecord::PlayerAttIndexOffset).u8(0x7F)
                         .u8(kStoreI32).file("staff.dat").u8(2).u8(StaffRecord::FirstNameIdOffset).i32(INT32_MIN)
                         .u8(kStoreSmall).file("staff.dat").u8(3).u8(StaffRecord::NationIdOffset).u8(0xFF)
                         .u8(kCopyRecord).file("staff.dat").u8(4).u8(5));
  add("attributes-wild", Writer{}
                             .u8(kSectionField).u8(3).u8(0).u8(PlayerAttRecord::CurrentAbilityOffset).i32(-2)
                             .u8(kSectionField).u8(2).u8(1).u8(0).i32(-1));
  add("history-wild", Writer{}
                          .u8(kStoreSmall).file("staff_history.dat").u8(0).u8(HistoryRecord::PersonIdOffset).u8(0)
                          .u8(kStoreI32).file("staff_history.dat").u8(0).u8(HistoryRecord::ClubIdOffset).i32(1000)
                          .u8(kAppend).file("staff_history.dat").u8(9).text("abcdefghi"));
  add("names-without-end", Writer{}
                               .u8(kOverwrite).file("first_names.dat").u16(0).u8(31).text(std::string(32, 'F'))
                               .u8(kOverwrite).file("first_names.dat").u16(32).u8(31).text(std::string(32, 'G')));
  add("upper-case-names", Writer{}
                              .u8(kUpperCase).file("staff.dat").u8(kUpperCase).file("index.dat")
                              .u8(kUpperCase).file("club.dat"));
  add("patterns", Writer{}
                      .u8(kPattern).u8(2).text("a*").u8(kPattern).u8(3).text("[ab").u8(kPattern).u8(1).text("?")
                      .u8(kPattern).u8(5).text("[!z-a").u8(kReadId).i32(7));
  add("scout-form", Writer{}
                        .u8(kScoutText).u8(0).u8(4).text("12.5").u8(kScoutText).u8(2).u8(3).text(" -3")
                        .u8(kScoutRow).u8(0).i32(1).u8(kScoutRow).u8(2).i32(0).u8(kScoutRow).u8(3).i32(1));
  add("abort", Writer{}.u8(kAbort));
  return out;
}

void writeSeeds(const char* dir) {
  fs::create_directories(dir);
  for (const auto& [name, bytes] : seeds()) spit(fs::path(dir) / ("seed-" + name), bytes);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  makeBase();
  if (const char* dir = std::getenv("CM3_FUZZ_SEEDS")) {
    writeSeeds(dir);
    std::exit(0);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Plan plan = decode(data, size);
  const std::map<std::string, Bytes> written = writeGame(plan);
  const std::string game = gBase->game.string();

  // Nothing is left from an earlier run.
  search::CheckReport leftovers;
  search::checkLeftoverFiles(game, leftovers);
  EXPECT(leftovers.clean());
  EXPECT(!Database::hasLeftoverWorkingFiles(game));

  Database db;
  if (!db.open(game)) {
    EXPECT(!db.OpenError.empty());
    EXPECT(!db.isOpen());
    db.close();
    // A refused database is left as it was found.
    expectFolderAfter(written, false, false);
    return 0;
  }
  readEverything(db, plan);
  if (plan.abort) {
    db.abortOpen();
    EXPECT(!db.isOpen());
    expectFolderAfter(written, false, true);
  } else {
    db.close();
    EXPECT(!db.isOpen());
    expectFolderAfter(written, true, true);
  }
  return 0;
}
