// set and transfer: the two commands that change the game files. Both go
// through the operations of the main window (the person save and the
// transfer button) and write nothing when those refuse.
#include <climits>
#include <cstdio>
#include <iostream>
#include <optional>
#include <span>

#include "cli/commands.h"
#include "cli/common.h"
#include "cli/recordjson.h"
#include "cli/session.h"
#include "people/person.h"
#include "records/codelists.h"
#include "records/convert.h"
#include "search/check.h"
#include "squads/squads.h"

namespace cm3::cli {
namespace {

using people::PersonForm;

enum class Scope { Any, Player, Staff };

// The boxes of the person pages that a field of the person records is saved
// from: a box of the person tables by its field, the mental ratings by their
// place in the record; the three lists are chosen element by element, by
// number or label.
struct ListBox {
  std::string_view field;
  std::span<std::string> (*boxes)(PersonForm&);
  std::span<const std::string_view> labels;
};
const ListBox kListBoxes[] = {
    {"PositionRatings", [](PersonForm& f) { return std::span<std::string>(f.positions); }, codes::kPosition},
    {"Attributes", [](PersonForm& f) { return std::span<std::string>(f.attributes); }, codes::kPlayerAttribute},
    {"StaffAttributes", [](PersonForm& f) { return std::span<std::string>(f.staffAttributes); },
     codes::kStaffAttribute},
};

// The field of the person records named `name` (any case), with the people
// it belongs to: a field of both attribute records belongs to everybody.
struct PersonField {
  const FieldInfo* info = nullptr;
  Scope scope = Scope::Any;
  bool inStaffRecord = false;
};
PersonField personField(std::string_view name) {
  if (const FieldInfo* f = findField(StaffRecord::kFields, name)) return {f, Scope::Any, true};
  const FieldInfo* player = findField(PlayerAttRecord::kFields, name);
  const FieldInfo* staff = findField(StaffAttRecord::kFields, name);
  if (player) return {player, staff ? Scope::Any : Scope::Player};
  return {staff, Scope::Staff};
}

// The box a scalar field of the person records is typed into, nullptr when
// the save writes the field back as read.
std::string* numberBox(PersonForm& form, const PersonField& p) {
  const FieldInfo& f = *p.info;
  if (const FormBox* b = people::boxOfField(f.name)) return &form.boxes[b->box];
  const size_t mental = f.offset - StaffRecord::MentalRatingOffset;
  return p.inStaffRecord && mental < form.mental.size() ? &form.mental[mental] : nullptr;
}

[[noreturn]] void illegal(const std::string& detail) {
  throw CliError(std::string(kIllegalValue) + "\n" + detail);
}

void needScope(Scope scope, const PersonForm& f, const std::string& field) {
  if (scope == Scope::Player && !f.isPlayer)
    throw CliError(field + ": person " + std::to_string(f.personId) + " is not a player");
  if (scope == Scope::Staff && f.isPlayer)
    throw CliError(field + ": person " + std::to_string(f.personId) + " is a player");
}

// Element k of an array field: a number 0..n-1 or one of the labels.
size_t element(const std::string& field, const std::string& key, std::span<const std::string_view> labels) {
  const size_t n = labels.size();
  if (auto k = parseWhole(key, 0, int64_t(n) - 1)) return size_t(*k);
  for (size_t k = 0; k < n; ++k)
    if (lower(labels[k]) == lower(key)) return k;
  throw CliError(field + ": no element \"" + key + "\" (0 to " + std::to_string(n - 1) + " or a label)");
}

// A nation choice: -1 for none, a nation identifier or a nation's name.
int nationChoice(const Database& db, const std::string& field, const std::string& value) {
  const int64_t n = int64_t(db.nationNames.size());
  if (auto id = parseWhole(value, -1, INT32_MAX)) {
    if (*id < n) return int(*id);
    illegal(field + "=" + value + ": there are " + std::to_string(n) + " nations");
  }
  const std::string wanted = lower(value);
  for (int64_t i = 0; i < n; ++i)
    if (lower(utf8(db.nationNames[size_t(i)])) == wanted) return int(i);
  illegal(field + "=" + value + ": no such nation");
}

// The squad combo: -1 for none, an item index or an item's text.
int squadChoice(const std::string& value) {
  if (auto v = parseWhole(value, -1, int64_t(codes::kSquad.size()) - 1)) return int(*v);
  for (size_t k = 0; k < codes::kSquad.size(); ++k)
    if (lower(codes::kSquad[k]) == lower(value)) return int(k);
  illegal("SquadCode=" + value + ": not an item of the squad list");
}

void assign(const Database& db, PersonForm& f, people::NameFlags& flags, const std::string& assignment) {
  const size_t eq = assignment.find('=');
  if (eq == std::string::npos || eq == 0) throw CliError("\"" + assignment + "\" is not FIELD=VALUE", 2);
  std::string field = assignment.substr(0, eq);
  const std::string value = assignment.substr(eq + 1);
  std::optional<std::string> key;
  if (size_t open = field.find('['); open != std::string::npos && field.back() == ']') {
    key = field.substr(open + 1, field.size() - open - 2);
    field = field.substr(0, open);
  }
  const std::string name = lower(field);
  auto is = [&](std::string_view n) { return name == lower(n); };
  auto noKey = [&] {
    if (key) throw CliError(field + " is not an array field", 2);
  };

  // Names: a changed first or second name is appended as a new name record,
  // as after typing in its box.
  if (is("FirstName") || is("SecondName") || is("CommonName")) {
    noKey();
    const std::string text = fromUtf8Strict(value);
    if (is("FirstName")) {
      if (text != f.firstName) flags.firstChanged = true;
      f.firstName = text;
    } else if (is("SecondName")) {
      if (text != f.secondName) flags.secondChanged = true;
      f.secondName = text;
    } else {
      f.commonName = text;
    }
    return;
  }

  const PersonField p = personField(field);
  if (!p.info) throw CliError("Unknown person field \"" + field + "\"", 2);
  const std::string canonical(p.info->name);
  if (p.info->kept) throw CliError(field + " holds bytes the editor does not interpret");
  if (p.info->ref == FieldRef::Club)
    throw CliError(canonical + " is changed by a transfer: cm3db transfer GAMEDIR PERSON_ID CLUB_ID|free");
  if (p.info->ref == FieldRef::Nation) {
    noKey();
    (canonical == "NationId" ? f.nation : f.secondNation) = nationChoice(db, field, value);
    return;
  }
  if (canonical == "SquadCode") {
    noKey();
    f.squadCode = squadChoice(value);
    return;
  }
  if (p.info->array) {
    for (const ListBox& b : kListBoxes)
      if (b.field == p.info->name) {
        if (!key) throw CliError(field + " needs an element: " + field + "[k]=VALUE", 2);
        needScope(p.scope, f, field);
        b.boxes(f)[element(field, *key, b.labels)] = value;
        return;
      }
  } else if (std::string* box = numberBox(f, p)) {
    noKey();
    needScope(p.scope, f, canonical);
    *box = value;
    return;
  }
  throw CliError(canonical + " is not saved by the person save; it keeps the value read");
}

class Answers : public squads::Questions {
 public:
  // The command line is the user's answer: every question is answered Yes.
  bool ask(const std::string&) override { return true; }
  void message(const std::string& text) override { refusal = text; }
  std::string refusal;
};

const char* moveName(squads::Move m) {
  switch (m) {
    case squads::Move::Signing: return "Signing";
    case squads::Move::FreeTransfer: return "FreeTransfer";
    case squads::Move::Transfer: return "Transfer";
    case squads::Move::None: break;
  }
  return "None";
}

}  // namespace

std::string setFieldsHelp() {
  std::string t = "Fields (names in any case; values as typed into the window's boxes):\n"
                  "  FirstName SecondName CommonName   texts (UTF-8); a changed first or second name is added\n"
                  "  NationId SecondNationId           nation identifier or name; -1 for none\n"
                  "  SquadCode                         item index or text of the squad list; -1 for none\n ";
  size_t col = 1;
  auto add = [&](std::string_view name) {
    if (col + name.size() + 1 > 78) {
      t += "\n ";
      col = 1;
    }
    t += " ";
    t += name;
    col += name.size() + 1;
  };
  for (std::span<const FormBox> table : people::kPersonBoxTables)
    for (const FormBox& b : table) add(b.field);
  for (std::string_view m : codes::kMental) add(m);
  t += "\n  PositionRatings[k]  Attributes[k] (players)  StaffAttributes[k] (non-players)\n"
       "                      k: 0-based index or the label as the window shows it\n"
       "ClubId changes only through transfer. Nothing is written when any value is refused.";
  return t;
}

std::string checkRulesHelp() {
  std::string t = "Rules (the counts and findings of the report use these names):";
  for (std::string_view name : search::checkNames()) {
    t += "\n  ";
    t += name;
    t += std::string(name.size() < 17 ? 17 - name.size() : 1, ' ');
    t += search::checkDescription(name);
  }
  return t;
}

int cmdSet(const std::string& gameDir, const std::string& kind, int64_t id,
           const std::vector<std::string>& assignments) {
  if (kind != "person") throw CliError("Only person fields can be set", 2);
  if (assignments.empty()) throw CliError("Nothing to set: give FIELD=VALUE", 2);
  Session s(gameDir);
  Database& db = s.db();
  if (id < 0 || id >= db.PeopleCount() || !db.has<StaffRecord>(kSlotStaff, id + 1)) {
    s.discard();
    throw CliError("No such person: " + std::to_string(id));
  }
  people::PersonForm form = people::loadPerson(db, int32_t(id));
  form.personId = int32_t(id);
  people::NameFlags flags;
  try {
    for (const std::string& a : assignments) assign(db, form, flags, a);
    people::savePerson(db, form, flags);
  } catch (const CliError&) {
    s.discard();
    throw;
  } catch (const ValueError&) {
    // A box that does not convert: the save has written nothing.
    s.discard();
    throw CliError(kIllegalValue);
  }
  const Json after = personJson(db, id);
  s.close();
  std::cout << after.dump(2) << '\n';
  return 0;
}

int cmdTransfer(const std::string& gameDir, int64_t personId, const std::string& target) {
  int transferClub = -1;
  if (target != "free") transferClub = int(parseNumber(target, 0, INT32_MAX, "CLUB_ID"));
  Session s(gameDir);
  Database& db = s.db();
  if (transferClub >= 0 && !squads::isClub(db, transferClub)) {
    s.discard();
    throw CliError("No such club: " + std::to_string(transferClub));
  }
  const int32_t pid = personId >= 0 && personId <= INT32_MAX ? int32_t(personId) : -1;

  // The window's state for this move: the person's club as current club
  // with his row selected, and the chosen club as transfer club.
  squads::SquadState state;
  int fromClub = -1;
  int row = -1;
  if (pid >= 0 && pid < db.PeopleCount()) {
    fromClub = db.read<StaffRecord>(kSlotStaff, int64_t(pid) + 1).ClubId();
    if (fromClub >= 0) {
      squads::loadCurrentClub(db, state, fromClub);
      row = squads::findSlot(state.CurrentSquad, pid);
    }
  }
  squads::loadTransferClub(db, state, transferClub);

  Answers answers;
  const squads::TransferResult r = squads::cmdTransfer(db, state, pid, row, answers);
  if (r.move == squads::Move::None) {
    s.discard();
    throw CliError(answers.refusal.empty() ? std::string("Nothing was transferred") : answers.refusal);
  }
  Json j = Json::object();
  j["move"] = moveName(r.move);
  j["status"] = utf8(r.status);
  j["PersonId"] = pid;
  j["fromClubId"] = fromClub;
  j["ClubId"] = db.read<StaffRecord>(kSlotStaff, int64_t(pid) + 1).ClubId();
  j["slot"] = r.move == squads::Move::FreeTransfer ? -1 : r.transferRow;
  s.close();
  std::cout << j.dump(2) << '\n';
  return 0;
}

}  // namespace cm3::cli
