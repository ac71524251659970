// show and set speak of the same fields, by the same names and in the same
// form.
#include "clitest.h"
#include "common/faults.h"

namespace {

using namespace cm3;
using namespace cm3test;

std::string text(const Json& v) { return v.is_string() ? v.get<std::string>() : v.dump(); }

std::vector<std::string> setArgs(const GameDir& game, int32_t id, const std::string& name, const Json& v) {
  std::vector<std::string> args = {"set", game.str(), "person", std::to_string(id)};
  if (v.is_array())
    for (size_t k = 0; k < v.size(); ++k) args.push_back(name + "[" + std::to_string(k) + "]=" + text(v[k]));
  else
    args.push_back(name + "=" + text(v));
  return args;
}

// Sets each field of `table` of person `id`, one field a run, to a value it
// does not hold (1, or 2 where it holds 1), under the name and in the form
// show gives it; show must then give that value for that field and nothing
// else changed. A field set refuses must be one it refuses by design, and
// leave every byte as it was.
void changeEachField(const GameDir& game, int32_t id, const std::string& record, FieldTable table) {
  for (const FieldInfo& f : table) {
    if (f.kept) continue;
    const std::string name(f.name);
    Json expected = show(game, "person", id);
    Json& v = expected[record].at(name);
    if (v.is_array())
      for (Json& e : v) e = e == 1 ? 2 : 1;
    else
      v = v == 1 ? 2 : 1;
    const Files before = gameFiles(game.data());
    const Result r = cm3db(setArgs(game, id, name, v));
    if (r.code == 0) {
      EXPECT_EQ(show(game, "person", id)[record], expected[record]) << name;
      continue;
    }
    EXPECT_TRUE(r.err.find("keeps the value read") != std::string::npos ||
                r.err.find("is changed by a transfer") != std::string::npos)
        << name << ": " << r.err;
    EXPECT_TRUE(sameFiles(gameFiles(game.data()), before)) << name;
  }
}

TEST(ShowSetCli, EachFieldSetUnderItsShownNameChangesThatFieldAloneAndNamesSetAsShownChangeNoByte) {
  GameDir game;
  const World w(game.data());
  for (int32_t id : {w.player(), w.find([](const StaffRecord& s) { return !s.isPlayer(); })}) {
    const Json person = show(game, "person", id);
    const Files before = gameFiles(game.data());
    for (const char* n : {"FirstName", "SecondName", "CommonName"})
      EXPECT_EQ(cm3db(setArgs(game, id, n, person[n])).code, 0) << n;
    EXPECT_TRUE(sameFiles(gameFiles(game.data()), before));

    changeEachField(game, id, "StaffRecord", StaffRecord::kFields);
    if (person.contains("PlayerAttRecord"))
      changeEachField(game, id, "PlayerAttRecord", PlayerAttRecord::kFields);
    else
      changeEachField(game, id, "StaffAttRecord", StaffAttRecord::kFields);
  }
}

}  // namespace
