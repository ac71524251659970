// show and set speak of the same fields: every value show gives, set back
// under the name show gives it, changes no byte.
#include <gtest/gtest.h>

#include "cli/clitest.h"
#include "cli/faults.h"
#include "core/database_helpers.h"
#include "records/records.h"

namespace {

using namespace cm3;
using namespace cm3test;
using Json = nlohmann::ordered_json;

std::string text(const Json& v) { return v.is_string() ? v.get<std::string>() : v.dump(); }

// Sets field `name` of person `id` to `v` as show gave it. A field set
// refuses must be one it refuses by design; either way no byte changes.
void setToOwnValue(const GameDir& game, int32_t id, const std::string& name, const Json& v) {
  std::vector<std::string> args = {"set", game.str(), "person", std::to_string(id)};
  if (v.is_array())
    for (size_t k = 0; k < v.size(); ++k) args.push_back(name + "[" + std::to_string(k) + "]=" + text(v[k]));
  else
    args.push_back(name + "=" + text(v));
  const Files before = gameFiles(game.data());
  const Result r = cm3db(args);
  if (r.code != 0) {
    EXPECT_TRUE(r.err.find("keeps the value read") != std::string::npos ||
                r.err.find("is changed by a transfer") != std::string::npos)
        << name << ": " << r.err;
  }
  EXPECT_TRUE(sameFiles(gameFiles(game.data()), before)) << name;
}

void setEachField(const GameDir& game, int32_t id, const Json& record, FieldTable table) {
  for (const FieldInfo& f : table)
    if (!f.kept) setToOwnValue(game, id, std::string(f.name), record.at(std::string(f.name)));
}

TEST(ShowSetCli, ValuesShowGivesAreTakenBackUnchangedUnderTheirShownNames) {
  GameDir game;
  const World w(game.data());
  for (int32_t id : {w.player(), w.find([](const StaffRecord& s) { return !s.isPlayer(); })}) {
    const Result shown = cm3db({"show", game.str(), "person", std::to_string(id)});
    ASSERT_EQ(shown.code, 0) << shown.err;
    const Json person = shown.json();
    for (const char* n : {"FirstName", "SecondName", "CommonName"}) setToOwnValue(game, id, n, person[n]);
    setEachField(game, id, person["StaffRecord"], StaffRecord::kFields);
    if (person.contains("PlayerAttRecord"))
      setEachField(game, id, person["PlayerAttRecord"], PlayerAttRecord::kFields);
    else
      setEachField(game, id, person["StaffAttRecord"], StaffAttRecord::kFields);
  }
}

}  // namespace
