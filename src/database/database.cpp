#include "database/database.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
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

std::string countError(const SectionTable& t) {
  if (t.N8 < 0 || t.N9 < 0 || t.N10 < 0 || t.N11 < 0)
    return "index.dat is damaged: a section of staff.dat has a negative record count.";
  if (t.N8 > kPersonNameTableSize)
    return "The database holds " + std::to_string(t.N8) + " people; the editor can load at most " +
           std::to_string(kPersonNameTableSize) + ".";
  return {};
}

// Copies `block`-byte blocks of src, starting at `from`, while a whole block
// fits before `end` (whole = true) or while the block starts before `end`
// (whole = false, the last block may run past `end`). Never reads past the
// end of src.
void copyBlocks(const std::vector<uint8_t>& src, int64_t from, int64_t end, size_t block, bool whole,
                std::vector<uint8_t>& out, const Progress& progress) {
  const int64_t size = int64_t(src.size());
  for (int64_t p = from; whole ? p + int64_t(block) <= end : p < end; p += int64_t(block)) {
    if (p >= size) break;
    size_t n = size_t(std::min<int64_t>(int64_t(block), size - p));
    out.insert(out.end(), src.begin() + p, src.begin() + p + int64_t(n));
    if (progress) progress(p - from + int64_t(n), end - from);
    if (n < block) break;
  }
}

void writeFileReplacing(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::string tmp = path + ".tmp";
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) throwFileError(tmp, errno);
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (w < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      ::unlink(tmp.c_str());
      throwFileError(tmp, err);
    }
    done += size_t(w);
  }
  if (::fdatasync(fd) != 0) {
    int err = errno;
    ::close(fd);
    ::unlink(tmp.c_str());
    throwFileError(tmp, err);
  }
  ::close(fd);
  if (::rename(tmp.c_str(), path.c_str()) != 0) {
    int err = errno;
    ::unlink(tmp.c_str());
    throwFileError(path, err);
  }
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
  }
}

// ---- Opening --------------------------------------------------------------

bool Database::open(const std::string& gameDir, const Progress& chopProgress) {
  if (!PrepareDatabase(gameDir, chopProgress)) return false;
  try {
    openRecordFiles();
    loadNameLists();
    buildPersonNameTable();
  } catch (const FileError& e) {
    OpenError = e.kind() == FileError::Kind::PathNotFound ? kWrongPathMessage : e.what();
    abortOpen();
    return false;
  }
  return true;
}

bool Database::PrepareDatabase(const std::string& gameDir, const Progress& chopProgress) {
  if (!beginOpen(gameDir)) return false;
  if (!filechop(chopProgress) || !measureFiles()) {
    abortOpen();
    return false;
  }
  return true;
}

bool Database::beginOpen(const std::string& gameDir) {
  OpenError.clear();
  GameDir = gameDir;
  if (lockFd_ >= 0) return true;
  std::string lockPath = path(kPathIndex);
  int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    int err = errno;
    OpenError = (err == ENOENT || err == ENOTDIR) ? kWrongPathMessage : lockPath + ": " + std::strerror(err);
    return false;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    OpenError = kAlreadyOpenMessage;
    return false;
  }
  lockFd_ = fd;
  return true;
}

bool Database::filechop(const Progress& progress) {
  OpenError.clear();
  try {
    for (int slot : {kSlotStaffBytes, kSlotIndexBytes}) openSlot(slot);
    const std::vector<uint8_t>& staff = file(kSlotStaffBytes).data();
    const FileImage& index = file(kSlotIndexBytes);

    // The 22 index entries without the 8-byte header.
    std::vector<uint8_t> indexTemp(size_t(kIndexEntries) * 67);
    for (int k = 0; k < kIndexEntries; ++k) index.read(uint64_t(kIndexHeader + 67 * k), &indexTemp[size_t(67 * k)], 67);
    SectionTable t = sectionsOf(indexTemp.data());
    if (std::string err = countError(t); !err.empty()) {
      OpenError = err;
      return false;
    }

    std::vector<uint8_t> att, att2, unknown;
    if (progress) progress(0, std::max<int64_t>(1, t.D - t.C));
    copyBlocks(staff, t.C, t.D, kSection4Block, false, att, progress);
    copyBlocks(staff, t.B, t.C, 68, true, att2, {});
    copyBlocks(staff, t.A, t.B, 8, true, unknown, {});

    // Each working file is written under a temporary name and renamed into
    // place; staff_att.dat comes last, so that all three exist only when the
    // split is complete.
    for (int slot : {kSlotIndexTemp, kSlotIndexTempBytes, kSlotStaffAtt, kSlotStaffAttBytes, kSlotStaffAtt2,
                     kSlotStaffAtt2Bytes, kSlotUnknownBytes})
      slots_[size_t(slot)].reset();
    writeFileReplacing(path(kPathIndexTemp), indexTemp);
    writeFileReplacing(path(kPathUnknown), unknown);
    writeFileReplacing(path(kPathStaffAtt2), att2);
    writeFileReplacing(path(kPathStaffAtt), att);
    chopped_ = true;
    // Slots in the order of the game's own opening.
    for (int slot : {kSlotStaffBytes, kSlotStaffAttBytes, kSlotStaffAtt2Bytes, kSlotUnknownBytes, kSlotIndexBytes,
                     kSlotIndexTempBytes, kSlotIndexTemp})
      openSlot(slot);
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
  for (int64_t i = 1; i <= people; ++i) {
    const uint8_t* s = peek(kSlotStaff, i, StaffRecord::kSize);
    if (!s) break;
    int64_t second = int64_t(loadI32(s + StaffRecord::SecondNameIdOffset)) + 1;
    int64_t first = int64_t(loadI32(s + StaffRecord::FirstNameIdOffset)) + 1;
    const uint8_t* sn = peek(kSlotSecondNames, second, NameRecord::kSize);
    const uint8_t* fn = peek(kSlotFirstNames, first, NameRecord::kSize);
    PersonNameTable[size_t(i - 1)] = displayName(sn ? fieldText(sn, 51) : std::string(), fn ? fieldText(fn, 51) : std::string());
  }
}

void Database::abortOpen() {
  closeAll();
  if (chopped_) deleteWorkingFiles();
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
  auto staff = FileImage::open(path(kPathStaff));
  auto index = FileImage::open(path(kPathIndex));
  auto indexTemp = FileImage::open(path(kPathIndexTemp));
  auto unknown = FileImage::open(path(kPathUnknown));
  auto att2 = FileImage::open(path(kPathStaffAtt2));
  auto att = FileImage::open(path(kPathStaffAtt));
  stapleInto(*staff, *index, *indexTemp, *unknown, *att2, *att, progress);
  deleteWorkingFiles();
}

// ---- Closing --------------------------------------------------------------

void Database::close(const Progress& progress) {
  if (open_) {
    try {
      filestaple(progress);
    } catch (...) {
      // Keep the working files: the next Open offers to fold them back.
      closeAll();
      open_ = false;
      chopped_ = false;
      releaseLock();
      throw;
    }
  }
  closeAll();
  if (open_) deleteWorkingFiles();
  open_ = false;
  chopped_ = false;
  PersonNameTable.clear();
  PersonNameTable.shrink_to_fit();
  releaseLock();
}

void Database::filestaple(const Progress& progress) {
  stapleInto(file(kSlotStaffBytes), file(kSlotIndexBytes), file(kSlotIndexTemp), file(kSlotUnknownBytes),
             file(kSlotStaffAtt2Bytes), file(kSlotStaffAttBytes), progress);
}

void Database::stapleInto(FileImage& staff, FileImage& index, const FileImage& indexTemp, const FileImage& unknown,
                          const FileImage& att2, const FileImage& att, const Progress& progress) {
  std::vector<uint8_t> entries(size_t(kIndexEntries) * 67);
  indexTemp.read(0, entries.data(), entries.size());
  SectionTable t = sectionsOf(entries.data());
  if (t.N8 < 0 || t.N9 < 0 || t.N10 < 0 || t.N11 < 0)
    throw ValueError("index_temp.dat is damaged: a section of staff.dat has a negative record count.");

  std::vector<uint8_t> out = staff.data();
  auto put = [&](int64_t pos, const uint8_t* src, size_t n) {
    if (out.size() < size_t(pos) + n) out.resize(size_t(pos) + n, 0);
    std::memcpy(out.data() + pos, src, n);
  };
  // Writes blocks of a working file back from `from`, the same blocks the
  // split made; bytes the working file does not have are not written.
  auto back = [&](const FileImage& src, int64_t from, int64_t end, size_t block, bool whole) {
    const std::vector<uint8_t>& s = src.data();
    int64_t q = 0;
    for (int64_t p = from; whole ? p + int64_t(block) <= end : p < end; p += int64_t(block), q += int64_t(block)) {
      if (q >= int64_t(s.size())) break;
      size_t n = size_t(std::min<int64_t>(int64_t(block), int64_t(s.size()) - q));
      put(p, s.data() + q, n);
      if (progress && !whole) progress(p - from + int64_t(n), end - from);
    }
  };
  if (progress) progress(0, std::max<int64_t>(1, t.D - t.C));
  back(unknown, t.A, t.B, 8, true);
  back(att2, t.B, t.C, 68, true);
  back(att, t.C, t.D, kSection4Block, false);

  // Only bytes from section 2 on can differ; section 1 is written in place.
  size_t from = std::min(out.size(), size_t(t.A));
  if (out.size() > from) staff.write(from, out.data() + from, out.size() - from);
  index.write(kIndexHeader, entries.data(), entries.size());
  staff.sync();
  index.sync();
}

void Database::deleteWorkingFiles() {
  for (auto p : {kPathStaffAtt, kPathStaffAtt2, kPathUnknown}) {
    std::string f = path(p);
    if (FileExists(f)) ::unlink(f.c_str());
  }
}

// ---- Records --------------------------------------------------------------

int32_t Database::PeopleCount() const {
  if (!slotOpen(kSlotIndexTemp)) return 0;
  return readIndex(kEntryPeople).Count();
}

SectionTable Database::sections() const {
  return sectionTableFrom(readIndex(kEntryPeople).Count(), readIndex(kEntrySection2).Count(),
                          readIndex(kEntrySection3).Count(), readIndex(kEntrySection4).Count());
}

const uint8_t* Database::peek(int slot, int64_t n, size_t size) const {
  if (n < 1 || !slotOpen(slot)) return nullptr;
  return slots_[size_t(slot)]->peek(uint64_t(n - 1) * size, size);
}

void Database::readRaw(int slot, int64_t n, uint8_t* dst, size_t size) const {
  if (n < 1 || !slotOpen(slot)) {
    std::memset(dst, 0, size);
    return;
  }
  slots_[size_t(slot)]->read(uint64_t(n - 1) * size, dst, size);
}

bool Database::hasRaw(int slot, int64_t n, size_t size) const { return peek(slot, n, size) != nullptr; }

void Database::writeRaw(int slot, int64_t n, const uint8_t* src, size_t size) {
  const SlotInfo& info = slotInfo(slot);
  if (info.recordFile && size_t(info.recordLength) != size)
    throw std::logic_error("record of the wrong length for slot " + std::to_string(slot));
  if (n < 1) throw ValueError("Bad record number " + std::to_string(n));
  file(slot).write(uint64_t(n - 1) * size, src, size);
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
    if (s && seen.insert(s.get()).second) total += s->data().capacity();
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
