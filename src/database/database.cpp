#include "database/database.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <set>

#include "database/gamepath.h"

namespace cm3 {

SectionTable sectionTableFrom(int64_t n8, int64_t n9, int64_t n10, int64_t n11) {
  SectionTable t;
  t.N8 = n8;
  t.N9 = n9;
  t.N10 = n10;
  t.N11 = n11;
  t.A = 157 * n8;
  t.B = t.A + 8 * n9;
  t.C = t.B + 68 * n10;
  t.D = t.C + 70 * n11;
  return t;
}

namespace {

int32_t countOfEntry(const uint8_t* index1474, int entry) {
  return loadI32(index1474 + size_t(entry - 1) * 67 + 55);
}

SectionTable sectionsOf(const uint8_t* index1474) {
  return sectionTableFrom(countOfEntry(index1474, kEntryPeople), countOfEntry(index1474, kEntrySection2),
                          countOfEntry(index1474, kEntrySection3), countOfEntry(index1474, kEntrySection4));
}

constexpr size_t kIndexTempSize = size_t(kIndexEntries) * 67;  // 1474

std::string countError(const SectionTable& t) {
  if (t.N8 < 0 || t.N9 < 0 || t.N10 < 0 || t.N11 < 0)
    return "index.dat is damaged: a section of staff.dat has a negative record count.";
  if (t.N8 > kPersonNameTableSize)
    return "The database holds " + std::to_string(t.N8) + " people; the editor can load at most " +
           std::to_string(kPersonNameTableSize) + ".";
  if (uint64_t(t.D) > kMaxFileSize)
    return "index.dat is damaged: its record counts describe a staff.dat of more than 2 GB.";
  return {};
}

// Copies `block`-byte blocks of src, starting at `from`, while a whole block
// fits before `end` (whole = true) or while the block starts before `end`
// (whole = false, the last block may run past `end`). Never reads past the
// end of src.
ByteBuffer copyBlocks(const FileBytes& src, int64_t from, int64_t end, int64_t block, bool whole,
                      const Progress& progress) {
  const int64_t size = int64_t(src.size());
  int64_t blocks = whole ? (end - from) / block : (end - from + block - 1) / block;
  int64_t stop = std::min(size, from + std::max<int64_t>(0, blocks) * block);
  ByteBuffer out;
  if (stop <= from) return out;
  // The blocks lie one after the other, so they are copied in runs of many
  // blocks, with progress after each run.
  const int64_t run = block * std::max<int64_t>(1, (int64_t(1) << 18) / block);
  out.resize(size_t(stop - from));
  for (int64_t p = from; p < stop; p += run) {
    int64_t n = std::min(run, stop - p);
    std::memcpy(out.data() + (p - from), src.data() + p, size_t(n));
    if (progress) progress(p - from + n, end - from);
  }
  return out;
}

// How much of a working file goes back: the same blocks the split made,
// and no byte that the working file does not have.
size_t stapleLength(size_t fileSize, int64_t from, int64_t end, int64_t block, bool whole) {
  int64_t blocks = whole ? (end - from) / block : (end - from + block - 1) / block;
  return size_t(std::min<int64_t>(int64_t(fileSize), std::max<int64_t>(0, blocks) * block));
}

FileError damaged(const std::string& path, const std::string& what) {
  return FileError(FileError::Kind::Io, path, what + " Nothing was written back.");
}

}  // namespace

Database::Database() = default;

Database::~Database() {
  closeAll();
  releaseLock();
}

std::string Database::path(std::string_view relative) const { return resolveGamePath(GameDir, relative); }

bool Database::slotOpen(int slot) const { return slot >= 1 && slot <= kSlotCount && slots_[size_t(slot)]; }

FileImage& Database::file(int slot) const {
  if (!slotOpen(slot)) throw std::logic_error("slot " + std::to_string(slot) + " is not open");
  return *slots_[size_t(slot)];
}

void Database::openSlot(int slot) {
  std::string p = path(slotInfo(slot).path);
  for (int s = 1; s <= kSlotCount; ++s) {
    if (slots_[size_t(s)] && slots_[size_t(s)]->path() == p) {
      slots_[size_t(slot)] = slots_[size_t(s)];
      return;
    }
  }
  slots_[size_t(slot)] = FileImage::open(p);
}

void Database::closeAll() {
  for (auto& s : slots_) s.reset();
}

void Database::releaseLock() {
  if (lockFd_ >= 0) {
    ::flock(lockFd_, LOCK_UN);
    ::close(lockFd_);
    lockFd_ = -1;
    lockedDir_.clear();
  }
}

// ---- Opening --------------------------------------------------------------

bool Database::open(const std::string& gameDir, const OpenHooks& hooks) {
  if (open_) throw std::logic_error("open on an open database");
  bool ok = false;
  try {
    ok = openSteps(gameDir, hooks);
  } catch (...) {
    abortOpen();
    throw;
  }
  if (!ok) abortOpen();
  return ok;
}

bool Database::openSteps(const std::string& gameDir, const OpenHooks& hooks) {
  // A failure of the game's files ends the open with OpenError; only the
  // hooks throw out of here.
  auto attempt = [this](const std::function<void()>& work) {
    try {
      work();
      return true;
    } catch (const FileError& e) {
      OpenError = e.kind() == FileError::Kind::PathNotFound ? kWrongPathMessage : e.what();
    } catch (const std::exception& e) {
      OpenError = e.what();
    }
    return false;
  };
  auto runLong = [&](LongStep step, const std::function<void(const Progress&)>& work) {
    if (hooks.run)
      hooks.run(step, work);
    else
      work({});
  };

  if (!beginOpen(gameDir)) return false;
  if (hooks.locked) hooks.locked();
  if (hasLeftoverWorkingFiles(gameDir)) {
    switch (hooks.leftovers ? hooks.leftovers() : LeftoverChoice::Overwrite) {
      case LeftoverChoice::StayClosed:
        return false;
      case LeftoverChoice::Overwrite:
        break;  // the splice makes new working files over them
      case LeftoverChoice::FoldBack: {
        std::optional<std::string> failure;
        runLong(LongStep::FoldBack, [&](const Progress& p) {
          try {
            recoverLeftovers(p);
          } catch (const std::exception& e) {
            failure = e.what();
          }
        });
        if (failure) {
          // The working files stay as they are, so that nothing is lost.
          OpenError = "The changes of the last run could not be put back (" + *failure + "). Nothing was opened.";
          return false;
        }
        break;
      }
    }
  }

  bool chopped = false;
  runLong(LongStep::Splice, [&](const Progress& p) { attempt([&] { chopped = filechop(p); }); });
  if (!chopped || !measureFiles()) return false;

  if (hooks.step) hooks.step(OpenStep::OpeningFiles);
  if (!attempt([this] {
        openRecordFiles();
        loadNameLists();
      }))
    return false;
  if (hooks.step) hooks.step(OpenStep::NameListsLoaded);
  return attempt([this] { buildPersonNameTable(); });
}

bool Database::beginOpen(const std::string& gameDir) {
  OpenError.clear();
  if (open_) throw std::logic_error("beginOpen on an open database");
  journal_.clear();
  sessionBackup_.clear();
  if (lockFd_ >= 0 && gameDir == lockedDir_) return true;
  releaseLock();
  GameDir = gameDir;
  std::string lockPath = path(kPathIndex);
  int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    int err = errno;
    if (err == ENOENT || err == ENOTDIR) {
      OpenError = kWrongPathMessage;
    } else {
      try {
        throwFileError(lockPath, err);
      } catch (const FileError& e) {
        OpenError = e.what();
      }
    }
    return false;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    OpenError = kAlreadyOpenMessage;
    return false;
  }
  lockFd_ = fd;
  lockedDir_ = gameDir;
  return true;
}

bool Database::filechop(const Progress& progress) {
  try {
    openSlot(kSlotIndexBytes);
    const FileImage& index = file(kSlotIndexBytes);
    if (index.size() > 0 && index.size() < uint64_t(kIndexFileSize)) {
      OpenError = "index.dat is damaged: it holds " + std::to_string(index.size()) + " bytes instead of " +
                  std::to_string(kIndexFileSize) + ".";
      return false;
    }

    // The 22 index entries without the 8-byte header.
    ByteBuffer indexTemp(kIndexTempSize);
    index.read(uint64_t(kIndexHeader), indexTemp.data(), indexTemp.size());
    SectionTable t = sectionsOf(indexTemp.data());
    if (std::string err = countError(t); !err.empty()) {
      OpenError = err;
      return false;
    }
    // Opening makes a missing staff.dat, so only once index.dat is known
    // to be good: a refused database is left as it was found.
    openSlot(kSlotStaffBytes);
    const FileBytes& staff = file(kSlotStaffBytes).data();

    if (progress) progress(0, std::max<int64_t>(1, t.D - t.C));
    ByteBuffer att = copyBlocks(staff, t.C, t.D, kSection4Block, false, progress);
    ByteBuffer att2 = copyBlocks(staff, t.B, t.C, 68, true, {});
    ByteBuffer unknown = copyBlocks(staff, t.A, t.B, 8, true, {});

    for (int slot : {kSlotIndexTemp, kSlotIndexTempBytes, kSlotStaffAtt, kSlotStaffAttBytes, kSlotStaffAtt2,
                     kSlotStaffAtt2Bytes, kSlotUnknownBytes})
      slots_[size_t(slot)].reset();
    // staff_att.dat marks a complete set of working files: the one of an
    // earlier run goes first and the new one is made last, so that a crash
    // in between never leaves a mix of two runs that looks complete.
    removeFile(path(kPathStaffAtt));
    madeIndexTemp_ = !FileExists(path(kPathIndexTemp));
    chopped_ = true;
    auto make = [&](std::string_view rel, const ByteBuffer& bytes, std::initializer_list<int> slots) {
      auto image = FileImage::create(path(rel), bytes);
      for (int s : slots) slots_[size_t(s)] = image;
    };
    make(kPathIndexTemp, indexTemp, {kSlotIndexTemp, kSlotIndexTempBytes});
    make(kPathUnknown, unknown, {kSlotUnknownBytes});
    make(kPathStaffAtt2, att2, {kSlotStaffAtt2Bytes});
    make(kPathStaffAtt, att, {kSlotStaffAttBytes});
  } catch (const FileError& e) {
    OpenError = e.kind() == FileError::Kind::PathNotFound ? kWrongPathMessage : e.what();
    return false;
  }
  return true;
}

bool Database::measureFiles() {
  for (const GameFileInfo& f : kGameFiles) {
    RecordLength[size_t(f.file)] = f.recordLength;
    RecordCount[size_t(f.file)] = 0;
  }
  for (const GameFileInfo& f : kGameFiles) {
    std::string p = path(f.path);
    struct stat st;
    if (::stat(p.c_str(), &st) != 0) {
      if (errno == ENOENT && DirectoryExists(path("\\Data"))) continue;  // created empty when opened
      OpenError = kWrongPathMessage;
      return false;
    }
    RecordCount[size_t(f.file)] = int64_t(st.st_size) / f.recordLength;
  }
  return true;
}

void Database::openRecordFiles() {
  for (int slot : {kSlotStaff, kSlotSecondNames, kSlotFirstNames, kSlotNation, kSlotClub, kSlotStaffAtt,
                   kSlotCommonNames, kSlotHistory, kSlotContinent, kSlotComp, kSlotStadium, kSlotCity, kSlotStaffAtt2,
                   kSlotColour})
    openSlot(slot);
  open_ = true;
}

void Database::loadNameLists() {
  auto fill = [&](std::vector<std::string>& out, int slot, GameFile f, size_t recLen, size_t off, size_t width) {
    out.clear();
    int64_t n = recordCount(f);
    out.reserve(size_t(std::max<int64_t>(0, n)));
    for (int64_t i = 1; i <= n; ++i) {
      const uint8_t* r = peek(slot, i, recLen);
      out.push_back(r ? fieldText(r + off, width) : std::string());
    }
  };
  fill(nationNames, kSlotNation, GameFile::Nation, NationRecord::kSize, NationRecord::NameOffset, 51);
  fill(clubNames, kSlotClub, GameFile::Club, ClubRecord::kSize, ClubRecord::LongNameOffset, 51);
  fill(continentNames, kSlotContinent, GameFile::Continent, ContinentRecord::kSize, ContinentRecord::NameOffset, 26);
  fill(compNames, kSlotComp, GameFile::Comp, CompRecord::kSize, CompRecord::LongNameOffset, 51);
  fill(cityNames, kSlotCity, GameFile::City, CityRecord::kSize, CityRecord::NameOffset, 26);
  fill(stadiumNames, kSlotStadium, GameFile::Stadium, StadiumRecord::kSize, StadiumRecord::LongNameOffset, 51);
  colours.clear();
  for (int64_t i = 1; i <= recordCount(GameFile::Colour); ++i) {
    ColourRecord c = read<ColourRecord>(kSlotColour, i);
    colours.push_back({c.Name(), c.Red(), c.Green(), c.Blue()});
  }
}

void Database::buildPersonNameTable() {
  PersonNameTable.assign(kPersonNameTableSize, std::string());
  int64_t people = std::clamp<int64_t>(PeopleCount(), 0, kPersonNameTableSize);
  auto text = [](const uint8_t* field) -> std::string_view {
    if (!field) return {};
    const void* nul = std::memchr(field, 0, 51);
    size_t n = nul ? size_t(static_cast<const uint8_t*>(nul) - field) : 51;
    return {reinterpret_cast<const char*>(field), n};
  };
  // The name records lie anywhere in their files: they are fetched a few
  // people ahead, so that the reads do not wait for memory one by one.
  constexpr int64_t kAhead = 8;
  auto prefetchNames = [&](int64_t i) {
    const uint8_t* s = peek(kSlotStaff, i, StaffRecord::kSize);
    if (!s) return;
    if (const uint8_t* p = peek(kSlotSecondNames, int64_t(loadI32(s + StaffRecord::SecondNameIdOffset)) + 1, 60))
      __builtin_prefetch(p), __builtin_prefetch(p + 59);
    if (const uint8_t* p = peek(kSlotFirstNames, int64_t(loadI32(s + StaffRecord::FirstNameIdOffset)) + 1, 60))
      __builtin_prefetch(p), __builtin_prefetch(p + 59);
  };
  for (int64_t i = 1; i <= std::min(people, kAhead); ++i) prefetchNames(i);
  for (int64_t i = 1; i <= people; ++i) {
    if (i + kAhead <= people) prefetchNames(i + kAhead);
    const uint8_t* s = peek(kSlotStaff, i, StaffRecord::kSize);
    if (!s) break;
    int64_t second = int64_t(loadI32(s + StaffRecord::SecondNameIdOffset)) + 1;
    int64_t first = int64_t(loadI32(s + StaffRecord::FirstNameIdOffset)) + 1;
    std::string_view sn = text(peek(kSlotSecondNames, second, NameRecord::kSize));
    std::string_view fn = text(peek(kSlotFirstNames, first, NameRecord::kSize));
    // Built in place: second name, one space, first name.
    std::string& name = PersonNameTable[size_t(i - 1)];
    name.reserve(sn.size() + 1 + fn.size());
    name.append(sn);
    name.push_back(' ');
    name.append(fn);
  }
}

void Database::abortOpen() {
  journal_.clear();
  closeAll();
  if (chopped_) {
    try {
      deleteWorkingFiles();
      // An open that failed leaves the folder as it found it.
      if (madeIndexTemp_) removeFile(path(kPathIndexTemp));
    } catch (const FileError&) {
      // Left behind they do no harm: the next Open makes them anew.
    }
  }
  chopped_ = false;
  open_ = false;
  releaseLock();
}

bool Database::hasLeftoverWorkingFiles(const std::string& gameDir) {
  for (auto p : {kPathStaffAtt, kPathStaffAtt2, kPathUnknown, kPathIndexTemp})
    if (!FileExists(resolveGamePath(gameDir, p))) return false;
  return true;
}

void Database::recoverLeftovers(const Progress& progress) {
  if (lockFd_ < 0) throw std::logic_error("recoverLeftovers needs beginOpen first");
  if (open_) throw std::logic_error("recoverLeftovers on an open database");
  if (!hasLeftoverWorkingFiles(GameDir))
    throw FileError(FileError::Kind::PathNotFound, path(kPathStaffAtt), "there are no leftover working files.");
  {
    auto staff = FileImage::open(path(kPathStaff));
    auto index = FileImage::open(path(kPathIndex));
    auto indexTemp = FileImage::open(path(kPathIndexTemp));
    auto unknown = FileImage::open(path(kPathUnknown));
    auto att2 = FileImage::open(path(kPathStaffAtt2));
    auto att = FileImage::open(path(kPathStaffAtt));
    stapleInto(*staff, *index, *indexTemp, *unknown, *att2, *att, progress);
  }
  deleteWorkingFiles();
}

// ---- Closing --------------------------------------------------------------

void Database::close(const StepRunner& run) {
  journal_.clear();
  if (!open_) {
    // Nothing was edited: a half-done open is simply given up.
    if (chopped_) {
      abortOpen();
    } else {
      closeAll();
      releaseLock();
    }
    return;
  }
  try {
    auto writeBack = [this](const Progress& p) { stapleOpenFiles(p); };
    if (run)
      run(LongStep::WriteBack, writeBack);
    else
      writeBack({});
  } catch (...) {
    // Keep the working files: the next Open offers to fold them back.
    closeAll();
    open_ = false;
    chopped_ = false;
    releaseLock();
    throw;
  }
  closeAll();
  open_ = false;
  chopped_ = false;
  PersonNameTable.clear();
  PersonNameTable.shrink_to_fit();
  try {
    deleteWorkingFiles();
  } catch (...) {
    releaseLock();
    throw;
  }
  releaseLock();
}

void Database::stapleOpenFiles(const Progress& progress) {
  stapleInto(file(kSlotStaffBytes), file(kSlotIndexBytes), file(kSlotIndexTemp), file(kSlotUnknownBytes),
             file(kSlotStaffAtt2Bytes), file(kSlotStaffAttBytes), progress);
}

void Database::stapleInto(const FileImage& staff, FileImage& index, const FileImage& indexTemp,
                          const FileImage& unknown, const FileImage& att2, const FileImage& att,
                          const Progress& progress) {
  // The counts go into index.dat in place, so it must still be there. A
  // deleted staff.dat or working file is no loss: their bytes are still
  // held open, and staff.dat is built anew in any case.
  index.checkPresent();
  if (indexTemp.size() < kIndexTempSize)
    throw damaged(indexTemp.path(), "The index working file holds " + std::to_string(indexTemp.size()) +
                                        " bytes instead of " + std::to_string(kIndexTempSize) + ".");
  const uint8_t* entries = indexTemp.data().data();
  SectionTable t = sectionsOf(entries);
  if (t.N8 < 0 || t.N9 < 0 || t.N10 < 0 || t.N11 < 0 || uint64_t(t.D) > kMaxFileSize)
    throw damaged(indexTemp.path(), "The index working file holds impossible record counts.");

  // The new staff.dat: the old bytes, with sections 2, 3 and 4 put back from
  // the working files at the places the present counts give.
  struct Patch {
    int64_t pos;
    const uint8_t* data;
    size_t size;
  };
  const Patch patches[] = {
      {t.A, unknown.data().data(), stapleLength(unknown.data().size(), t.A, t.B, 8, true)},
      {t.B, att2.data().data(), stapleLength(att2.data().size(), t.B, t.C, 68, true)},
      {t.C, att.data().data(), stapleLength(att.data().size(), t.C, t.D, kSection4Block, false)},
  };
  const FileBytes& old = staff.data();
  const int64_t oldSize = int64_t(old.size());
  std::vector<ByteRun> runs;
  std::vector<uint8_t> zeros;
  int64_t pos = 0;
  for (const Patch& p : patches) {
    if (p.size == 0) continue;
    if (p.pos > pos) {
      int64_t keep = std::min(p.pos, oldSize) - pos;
      if (keep > 0) runs.push_back({old.data() + pos, size_t(keep)});
      if (p.pos > oldSize) {
        zeros.assign(size_t(p.pos - std::max(pos, oldSize)), 0);
        runs.push_back({zeros.data(), zeros.size()});
      }
    }
    runs.push_back({p.data, p.size});
    pos = p.pos + int64_t(p.size);
  }
  if (pos < oldSize) runs.push_back({old.data() + pos, size_t(oldSize - pos)});

  if (progress) progress(0, 1000);
  int fd = writeReplacing(staff.path(), runs, true, staff.mode(), [&](uint64_t done, uint64_t total) {
    if (progress) progress(int64_t(done * 1000 / std::max<uint64_t>(1, total)), 1000);
  });
  ::close(fd);
  index.write(uint64_t(kIndexHeader), entries, kIndexTempSize);
  index.sync();
}

void Database::deleteWorkingFiles() {
  // staff_att.dat first: without it the rest is no longer taken for a set
  // to fold back.
  for (auto p : {kPathStaffAtt, kPathStaffAtt2, kPathUnknown}) {
    std::string f = path(p);
    if (FileExists(f)) removeFile(f);
  }
  for (auto p : {kPathStaff, kPathIndexTemp, kPathStaffAtt, kPathStaffAtt2, kPathUnknown}) {
    std::string f = temporaryPathFor(path(p));
    if (FileExists(f)) removeFile(f);
  }
}

// ---- Records --------------------------------------------------------------

void Database::checkFilesPresent() const {
  for (const auto& image : slots_)
    if (image) image->checkPresent();
}

int32_t Database::PeopleCount() const {
  if (!slotOpen(kSlotIndexTemp)) return 0;
  return readIndex(kEntryPeople).Count();
}

SectionTable Database::sections() const {
  return sectionTableFrom(readIndex(kEntryPeople).Count(), readIndex(kEntrySection2).Count(),
                          readIndex(kEntrySection3).Count(), readIndex(kEntrySection4).Count());
}

const uint8_t* Database::peek(int slot, int64_t n, size_t size) const {
  if (n < 1 || n > int64_t(kMaxFileSize) || !slotOpen(slot)) return nullptr;
  return slots_[size_t(slot)]->peek(uint64_t(n - 1) * size, size);
}

void Database::readRaw(int slot, int64_t n, uint8_t* dst, size_t size) const {
  if (n < 1 || n > int64_t(kMaxFileSize) || !slotOpen(slot)) {
    std::memset(dst, 0, size);
    return;
  }
  // A partial last record reads as no record at all.
  const uint8_t* p = slots_[size_t(slot)]->peek(uint64_t(n - 1) * size, size);
  if (p)
    std::memcpy(dst, p, size);
  else
    std::memset(dst, 0, size);
}

bool Database::hasRaw(int slot, int64_t n, size_t size) const { return peek(slot, n, size) != nullptr; }

void Database::writeRaw(int slot, int64_t n, const uint8_t* src, size_t size) {
  const SlotInfo& info = slotInfo(slot);
  if (info.recordFile && size_t(info.recordLength) != size)
    throw std::logic_error("record of the wrong length for slot " + std::to_string(slot));
  if (n < 1 || uint64_t(n) > kMaxFileSize / size)
    throw ValueError("Bad record number " + std::to_string(n));
  writeBytes(slot, uint64_t(n - 1) * size, src, size);
}

const std::vector<std::string>* Database::names(FieldRef kind) const {
  switch (kind) {
    case FieldRef::Nation: return &nationNames;
    case FieldRef::Club: return &clubNames;
    case FieldRef::Continent: return &continentNames;
    case FieldRef::Comp: return &compNames;
    case FieldRef::City: return &cityNames;
    case FieldRef::Stadium: return &stadiumNames;
    default: return nullptr;
  }
}

const std::string& Database::personName(int64_t personId) const {
  static const std::string empty;
  if (personId < 0 || personId >= int64_t(PersonNameTable.size())) return empty;
  return PersonNameTable[size_t(personId)];
}

size_t Database::memoryUsage() const {
  size_t total = 0;
  std::set<const FileImage*> seen;
  for (const auto& s : slots_)
    if (s && seen.insert(s.get()).second) total += size_t(s->size());
  auto strings = [&](const std::vector<std::string>& v) {
    size_t t = v.capacity() * sizeof(std::string);
    for (const auto& x : v)
      if (x.capacity() > 15) t += x.capacity() + 1;
    return t;
  };
  total += strings(PersonNameTable) + strings(nationNames) + strings(clubNames) + strings(continentNames) +
           strings(compNames) + strings(cityNames) + strings(stadiumNames);
  total += colours.capacity() * sizeof(ColourItem);
  return total;
}

}  // namespace cm3
