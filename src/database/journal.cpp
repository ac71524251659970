#include "database/journal.h"

#include <algorithm>

#include "database/backup.h"
#include "database/database.h"

namespace cm3 {

// ---- Actions ----------------------------------------------------------------

JournalAction::JournalAction(Database& db, std::string label) : db_(db), outer_(!db.journal().recording()) {
  db_.beginAction(std::move(label));
}

JournalAction::~JournalAction() { db_.endAction(); }

void JournalAction::setLabel(std::string label) {
  if (outer_) db_.journal_.open_.label = std::move(label);
}

void Database::beginAction(std::string label) {
  if (journal_.depth_++ > 0) return;
  journal_.open_ = JournalEntry{};
  journal_.open_.label = std::move(label);
  journal_.open_.countsBefore = RecordCount;
}

void Database::endAction() {
  if (journal_.depth_ == 0 || --journal_.depth_ > 0) return;
  JournalEntry e = std::move(journal_.open_);
  journal_.open_ = JournalEntry{};
  if (e.writes.empty()) return;
  e.countsAfter = RecordCount;
  journal_.entries_.resize(journal_.done_);  // a new action ends the redo list
  journal_.entries_.push_back(std::move(e));
  journal_.done_ = journal_.entries_.size();
  if (journalChanged) journalChanged();
}

// ---- Writes -------------------------------------------------------------------

void Database::writeBytes(int slot, uint64_t pos, const uint8_t* src, size_t n) {
  FileImage& f = file(slot);
  if (!journal_.recording()) {
    // A write of no named action: an entry of its own, named after its file.
    const std::string& p = f.path();
    JournalAction action(*this, "Change " + p.substr(p.find_last_of('/') + 1));
    writeBytes(slot, pos, src, n);
    return;
  }
  if (autoBackup && sessionBackup_.empty()) {
    try {
      sessionBackup_ = backup::make(GameDir);
    } catch (const FileError& e) {
      // Named after the file the change was for; never PathNotFound, which
      // the windows take for a game directory that has gone.
      const FileError::Kind kind = e.kind() == FileError::Kind::PathNotFound ? FileError::Kind::Io : e.kind();
      throw FileError(kind, f.path(),
                      std::string("nothing was written, because no backup of the game's files could be made "
                                  "first (") +
                          e.what() + ")");
    }
  }
  JournalWrite w;
  w.slot = slot;
  w.pos = pos;
  w.oldSize = f.size();
  if (pos < w.oldSize) {
    const size_t inside = size_t(std::min<uint64_t>(n, w.oldSize - pos));
    w.before.assign(f.data().data() + pos, f.data().data() + pos + inside);
  }
  f.write(pos, src, n);
  w.after.assign(src, src + n);
  journal_.open_.writes.push_back(std::move(w));
}

// ---- Undo and redo ------------------------------------------------------------

namespace {

// One write of an entry undone: its old bytes back, the file cut to its old length.
void writeBefore(FileImage& f, const JournalWrite& w) {
  if (!w.before.empty()) f.write(w.pos, w.before.data(), w.before.size());
  f.truncate(w.oldSize);
}
void writeAfter(FileImage& f, const JournalWrite& w) { f.write(w.pos, w.after.data(), w.after.size()); }

}  // namespace

void Database::putBack(const JournalEntry& e) {
  checkFilesPresent();
  size_t i = e.writes.size();
  try {
    for (; i > 0; --i) {
      writeBefore(file(e.writes[i - 1].slot), e.writes[i - 1]);
    }
  } catch (...) {
    // Forward again over what was already put back, so the files stay as
    // the action left them.
    try {
      for (size_t k = i; k < e.writes.size(); ++k) {
        writeAfter(file(e.writes[k].slot), e.writes[k]);
      }
    } catch (...) {
    }
    throw;
  }
  RecordCount = e.countsBefore;
  reloadTables();
}

void Database::putForward(const JournalEntry& e) {
  checkFilesPresent();
  size_t i = 0;
  try {
    for (; i < e.writes.size(); ++i) {
      writeAfter(file(e.writes[i].slot), e.writes[i]);
    }
  } catch (...) {
    try {
      for (; i > 0; --i) {
        writeBefore(file(e.writes[i - 1].slot), e.writes[i - 1]);
      }
    } catch (...) {
    }
    throw;
  }
  RecordCount = e.countsAfter;
  reloadTables();
}

void Database::reloadTables() {
  loadNameLists();
  buildPersonNameTable();
}

void Database::undo() {
  if (!journal_.canUndo()) return;
  putBack(journal_.entries_[journal_.done_ - 1]);
  --journal_.done_;
  if (journalChanged) journalChanged();
}

void Database::takeBack() {
  if (!journal_.canUndo()) return;
  putBack(journal_.entries_[journal_.done_ - 1]);
  journal_.entries_.erase(journal_.entries_.begin() + std::ptrdiff_t(--journal_.done_));
  if (journalChanged) journalChanged();
}

void Database::redo() {
  if (!journal_.canRedo()) return;
  putForward(journal_.entries_[journal_.done_]);
  ++journal_.done_;
  if (journalChanged) journalChanged();
}

}  // namespace cm3
