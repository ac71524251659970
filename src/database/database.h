// The open game database: the files in their slots, the record counts, the
// person name table and the name lists the windows show.
//
// Lifecycle: open() → reads and writes through the slots → close(), which
// folds the working files back into staff.dat and index.dat and deletes them.
// Front ends take part through OpenHooks and a StepRunner; the sequence, the
// lock and the messages are the same for all of them.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "database/catalogue.h"
#include "database/errors.h"
#include "database/fileimage.h"
#include "database/journal.h"
#include "records/records.h"

namespace cm3 {

// The record number behind an identifier, or 0 when the identifier cannot
// address a record (negative, or past the largest record number).
inline int64_t recordOf(int64_t id) { return id < 0 || id >= INT32_MAX ? 0 : id + 1; }

inline constexpr const char* kWrongPathMessage = "Wrong Path Specified , Specify cm3 dir path please!";
inline constexpr const char* kAlreadyOpenMessage =
    "This game directory is already open in another editor. Close it there first.";

// Progress of a long copy: value out of maximum (any scale; callers clamp).
using Progress = std::function<void(int64_t value, int64_t maximum)>;

// The long steps of opening and closing: making the working files, folding
// back those of a run that did not close, and writing them back.
enum class LongStep { Splice, FoldBack, WriteBack };
// Runs `work`, a long step, handing it a progress callback (a front end shows
// it in a window). Exceptions of the work must come out of the call.
using StepRunner = std::function<void(LongStep step, const std::function<void(const Progress&)>& work)>;

// What becomes of a complete set of working files of a run that did not close.
enum class LeftoverChoice {
  FoldBack,    // put their changes back into the game files, then open
  Overwrite,   // open; the new working files replace them and their changes are lost
  StayClosed,  // open nothing; open() returns false with OpenError empty
};

// Points of the opening sequence told to a front end.
enum class OpenStep {
  OpeningFiles,     // the working files are made; the record files open next
  NameListsLoaded,  // the name lists are filled; PersonNameTable is built next
};

struct OpenHooks {
  // Runs once the game directory's lock is held, before anything in it is
  // touched.
  std::function<void()> locked;
  // Asked when the directory holds leftover working files; without it they
  // are overwritten.
  std::function<LeftoverChoice()> leftovers;
  StepRunner run;  // without it the long steps run straight
  std::function<void(OpenStep)> step;
};

// Byte boundaries of the four sections of staff.dat (0-based ends).
struct SectionTable {
  int64_t N8 = 0, N9 = 0, N10 = 0, N11 = 0;
  int64_t A = 0, B = 0, C = 0, D = 0;
};
SectionTable sectionTableFrom(int64_t n8, int64_t n9, int64_t n10, int64_t n11);

struct ColourItem {
  std::string name;  // 8-bit text
  uint8_t red = 0, green = 0, blue = 0;
};

class Database {
 public:
  Database();
  ~Database();  // closes the files without writing anything back
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // ---- Opening -----------------------------------------------------------
  // The whole sequence: the lock, the leftover working files, the working
  // files of staff.dat and index.dat, the counts, the record files, the name
  // lists and PersonNameTable. False with OpenError set when the database
  // cannot be opened (or with it empty when `leftovers` chose StayClosed);
  // nothing of the game is written then but the leftovers folded back. An
  // exception of a hook comes out of the call, the open given up.
  bool open(const std::string& gameDir, const OpenHooks& hooks = {});

  // Takes the game directory's lock (for work on the folder without opening
  // it, such as recoverLeftovers).
  bool beginOpen(const std::string& gameDir);
  // Re-read from the record files after they change behind the slots.
  void loadNameLists();
  void buildPersonNameTable();
  // Gives up a half-done open: closes everything, removes the working files
  // made by the open, releases the lock. Game files stay untouched.
  void abortOpen();

  // True when a complete set of working files of a run that did not close
  // is there. staff_att.dat is made last when a database is opened and
  // deleted first when it is closed, so it marks a complete set.
  static bool hasLeftoverWorkingFiles(const std::string& gameDir);
  // After beginOpen: folds leftover working files back into staff.dat and
  // index.dat (with the counts in index_temp.dat) and deletes them, so that
  // every edit of the run that did not close survives. Throws FileError
  // (nothing is changed when the working files are incomplete or damaged).
  void recoverLeftovers(const Progress& progress = {});

  bool isOpen() const { return open_; }
  // Throws FileError (Removed) when any open file has been deleted from the
  // game folder: an operation that writes several records checks first, so
  // that it stops before its first write rather than half-way.
  void checkFilesPresent() const;

  // ---- Closing -----------------------------------------------------------
  // Writes the working files back (only after a successful open), closes
  // every file and deletes the working files. Throws FileError when writing
  // back fails; the working files are then kept so that nothing is lost.
  //
  // The new staff.dat is built beside the old one, forced to the disk and
  // renamed over it; index.dat is then written in place and the working
  // files are deleted last. A crash at any point leaves either the closed
  // database or the working files, from which recoverLeftovers gives the
  // same bytes.
  void close(const StepRunner& run = {});

  // ---- State -------------------------------------------------------------
  std::string GameDir;
  std::string OpenError;
  std::array<int32_t, kGameFileCount> RecordLength{};
  std::array<int64_t, kGameFileCount> RecordCount{};
  int64_t& recordCount(GameFile f) { return RecordCount[size_t(f)]; }
  int64_t recordCount(GameFile f) const { return RecordCount[size_t(f)]; }

  std::vector<std::string> PersonNameTable;  // kPersonNameTableSize entries
  // Name lists in record order (item index = identifier), 8-bit texts.
  std::vector<std::string> nationNames, clubNames, continentNames, compNames, cityNames, stadiumNames;
  std::vector<ColourItem> colours;
  // The kinds of record that have a name list, and the list of a kind (null
  // for a kind without one).
  static constexpr FieldRef kNamedKinds[] = {FieldRef::Nation, FieldRef::Club, FieldRef::Continent,
                                             FieldRef::Comp,   FieldRef::City, FieldRef::Stadium};
  const std::vector<std::string>* names(FieldRef kind) const;

  // The count field of index entry 8, read afresh.
  int32_t PeopleCount() const;

  // ---- Undo, redo and backups (journal.h, backup.h) --------------------
  // The actions of this session (JournalAction groups the writes of one).
  const Journal& journal() const { return journal_; }
  // Puts the files back as they were before the last done action, or
  // applies the next undone one again, then re-reads the name lists and
  // PersonNameTable. Throws FileError (the files are then as before the
  // call, the system permitting).
  void undo();
  void redo();
  // Undoes the last done action and forgets it, so that it cannot be
  // redone: for an action found wrong once made.
  void takeBack();
  // Before the first recorded write of a session the game's files are
  // copied into a backup (backup::make); when that fails the write throws
  // FileError and does not happen.
  bool autoBackup = true;
  // The backup made this session, "" while none.
  const std::string& sessionBackup() const { return sessionBackup_; }
  // Told after an action is kept, undone or redone (front ends show the
  // labels of the next undo and redo).
  std::function<void()> journalChanged;

  // ---- Records -----------------------------------------------------------
  std::string path(std::string_view relative) const;  // resolved against GameDir
  bool slotOpen(int slot) const;
  FileImage& file(int slot) const;  // throws std::logic_error when not open

  // Record n (1-based) of a record slot. A record that does not lie wholly in
  // the file reads as all zero bytes (has() tells).
  template <class R>
  R read(int slot, int64_t n) const {
    R r;
    readRaw(slot, n, r.data(), R::kSize);
    return r;
  }
  template <class R>
  bool has(int slot, int64_t n) const {
    return hasRaw(slot, n, R::kSize);
  }
  // Writes record n (1-based, >= 1). Throws FileError or ValueError.
  template <class R>
  void write(int slot, int64_t n, const R& r) {
    writeRaw(slot, n, r.data(), R::kSize);
  }
  // Writes n bytes at 0-based position pos of the file behind `slot`.
  void writeBytes(int slot, uint64_t pos, const uint8_t* src, size_t n);
  // Pointer to record n when it lies wholly in the file, else null.
  const uint8_t* peek(int slot, int64_t n, size_t size) const;

  IndexRecord readIndex(int entry) const { return read<IndexRecord>(kSlotIndexTemp, entry); }
  void writeIndex(int entry, const IndexRecord& r) { write(kSlotIndexTemp, entry, r); }
  SectionTable sections() const;

  // The display name of a person as PersonNameTable holds it.
  static std::string displayName(const std::string& secondName, const std::string& firstName) {
    return secondName + " " + firstName;
  }
  // Entry of PersonNameTable, or "" for an index outside it.
  const std::string& personName(int64_t personId) const;

  // Bytes of memory the open database holds: the content of every open file
  // (once, however many slots name it; mapped files count in full, as if
  // every page were resident) and the tables.
  size_t memoryUsage() const;

 private:
  void readRaw(int slot, int64_t n, uint8_t* dst, size_t size) const;
  bool hasRaw(int slot, int64_t n, size_t size) const;
  void writeRaw(int slot, int64_t n, const uint8_t* src, size_t size);
  friend class JournalAction;
  void beginAction(std::string label);
  void endAction();
  void putBack(const JournalEntry& e);
  void putForward(const JournalEntry& e);
  void reloadTables();
  bool openSteps(const std::string& gameDir, const OpenHooks& hooks);
  bool filechop(const Progress& progress);
  bool measureFiles();
  void openRecordFiles();
  void openSlot(int slot);
  void closeAll();
  void releaseLock();
  static void stapleInto(const FileImage& staff, FileImage& index, const FileImage& indexTemp,
                         const FileImage& unknown, const FileImage& att2, const FileImage& att,
                         const Progress& progress);
  void stapleOpenFiles(const Progress& progress);
  void deleteWorkingFiles();

  std::array<std::shared_ptr<FileImage>, kSlotCount + 1> slots_{};
  bool open_ = false;
  bool chopped_ = false;
  bool madeIndexTemp_ = false;  // index_temp.dat was not there before this open
  int lockFd_ = -1;
  std::string lockedDir_;  // the game directory lockFd_ belongs to
  Journal journal_;
  std::string sessionBackup_;
};

}  // namespace cm3
