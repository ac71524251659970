// The session journal: every action that writes the game's files is kept
// as one entry (a label and, for each write, the bytes it replaced, the
// bytes it wrote and the file's length before it, with the record counts
// before and after), so that it can be undone and redone byte for byte.
//
// The journal lives in memory for one session, from Open to closing; edits
// still go straight to the files, so crash recovery is as before.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "database/catalogue.h"

namespace cm3 {

class Database;

struct JournalWrite {
  int slot = 0;
  uint64_t pos = 0;
  std::vector<uint8_t> before;  // the bytes it overwrote (the part inside the old file)
  std::vector<uint8_t> after;   // the bytes it wrote
  uint64_t oldSize = 0;         // the file's length before it
};

using RecordCounts = std::array<int64_t, kGameFileCount>;

struct JournalEntry {
  std::string label;  // 8-bit text, as the game's texts
  std::vector<JournalWrite> writes;
  RecordCounts countsBefore{}, countsAfter{};
};

class Journal {
 public:
  // Every action of the session in order; the first doneCount() are done,
  // the rest were undone and can be redone.
  const std::vector<JournalEntry>& entries() const { return entries_; }
  size_t doneCount() const { return done_; }
  bool canUndo() const { return done_ > 0 && depth_ == 0; }
  bool canRedo() const { return done_ < entries_.size() && depth_ == 0; }
  // Labels of the entry an undo or a redo would apply ("" when none).
  std::string undoLabel() const { return done_ > 0 ? entries_[done_ - 1].label : std::string(); }
  std::string redoLabel() const { return done_ < entries_.size() ? entries_[done_].label : std::string(); }
  bool recording() const { return depth_ > 0; }

 private:
  friend class Database;
  friend class JournalAction;
  void clear() {
    entries_.clear();
    done_ = 0;
    depth_ = 0;
    open_ = JournalEntry{};
  }
  std::vector<JournalEntry> entries_;
  size_t done_ = 0;
  int depth_ = 0;
  JournalEntry open_;  // the action being recorded
};

// One action. Every write through the database while it lives belongs to
// the entry it makes; an action inside another joins the outer one. At the
// end of its scope the entry is kept when it wrote anything, also when an
// exception ends it (operations that stop half-way leave what they wrote
// before the refusal, and that part can then be undone like any other).
// A write made outside any action is an entry of its own.
class JournalAction {
 public:
  JournalAction(Database& db, std::string label);
  ~JournalAction();
  JournalAction(const JournalAction&) = delete;
  JournalAction& operator=(const JournalAction&) = delete;
  // Renames the action (a move's kind or a new record's name is known only
  // part-way through).
  void setLabel(std::string label);

 private:
  Database& db_;
  bool outer_;
};

}  // namespace cm3
