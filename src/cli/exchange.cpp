// export and import: the CSV files of the core's exchange, to and from disk.
#include <cstdio>
#include <iostream>
#include <sstream>

#include "cli/commands.h"
#include "cli/common.h"
#include "cli/session.h"
#include "database/textfile.h"
#include "exchange/exchange.h"

namespace cm3::cli {

int cmdExport(const std::string& gameDir, const std::string& what, const std::string& file) {
  std::ostringstream text;
  {
    Session s(gameDir);
    if (!exchange::exportCsv(s.db(), what, text))
      throw CliError("Unknown export \"" + what + "\" (people, clubs, nations or comps)", 2);
    s.close();
  }
  if (file == "-")
    std::cout << text.str();
  else
    writeTextFile(file, text.str());
  return 0;
}

int cmdImport(const std::string& gameDir, const std::string& what, const std::string& file) {
  const std::string text = readTextFile(file);
  Session s(gameDir);
  const exchange::ImportResult r = exchange::importCsv(s.db(), what, text, file);
  if (!r.errors.empty()) {
    s.discard();
    for (const std::string& e : r.errors) std::fprintf(stderr, "%s\n", e.c_str());
    std::fprintf(stderr, "Nothing was written.\n");
    return 1;
  }
  s.close();
  std::printf("%zu cells changed in %zu records\n", r.cells, r.records);
  return 0;
}

}  // namespace cm3::cli
