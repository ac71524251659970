// cm3db: the game database from the command line.
//
//   cm3db make-sample DIR [--preset small|full] [--seed N]
//   cm3db info GAMEDIR
//   cm3db check GAMEDIR
//   cm3db search GAMEDIR PATTERN
//   cm3db show GAMEDIR person|club|stadium|nation|continent|comp|history|city|colour ID
//   cm3db export GAMEDIR people|clubs|nations|comps --csv FILE
//   cm3db set GAMEDIR person ID FIELD=VALUE...
//   cm3db transfer GAMEDIR PERSON_ID CLUB_ID|free
//   cm3db recover GAMEDIR
//   cm3db --version
//   cm3db backup list GAMEDIR
//   cm3db restore GAMEDIR [NAME]
//   cm3db diff GAMEDIR_A GAMEDIR_B [--json] [--patch FILE]
//   cm3db apply GAMEDIR FILE [--force]
//   cm3db import GAMEDIR people|clubs|nations|comps FILE.csv
//
// Output is JSON on stdout (search: one object per line; export: CSV).
// Errors go to stderr; the exit code is 0 on success, 1 when the command
// failed or was refused (check: when it found a problem), 2 for a command
// line that cannot be used.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <exception>

#include "cli/commands.h"
#include "cli/common.h"
#include "database/errors.h"
#include "exchange/exchange.h"

int main(int argc, char** argv) {
  using namespace cm3::cli;
  CLI::App app{"cm3db: reads, checks and edits a cm3 game database from the command line"};
  app.require_subcommand(1);
  app.set_version_flag("--version", "cm3db " CM3_VERSION, "Print the version and exit");

  std::string dir, kind, pattern, what, csvFile, target, presetName = "small";
  uint64_t seed = 1;
  int64_t id = 0;
  std::vector<std::string> assignments;
  std::function<int()> run;

  auto* makeSample = app.add_subcommand("make-sample", "Write a generated game database into DIR/Data");
  makeSample->add_option("DIR", dir, "Directory to write")->required();
  makeSample->add_option("--preset", presetName, "small or full")->check(CLI::IsMember({"small", "full"}));
  makeSample->add_option("--seed", seed, "Seed of the generator");
  makeSample->callback([&] { run = [&] { return cmdMakeSample(dir, presetName, seed); }; });

  auto* info = app.add_subcommand("info", "Record counts, section table and index entries");
  info->add_option("GAMEDIR", dir, "Game directory")->required();
  info->callback([&] { run = [&] { return cmdInfo(dir); }; });

  auto* check = app.add_subcommand("check", "Consistency report; exit code 1 when anything is wrong");
  check->add_option("GAMEDIR", dir, "Game directory")->required();
  check->footer(checkRulesHelp());
  check->callback([&] { run = [&] { return cmdCheck(dir); }; });

  auto* search = app.add_subcommand("search", "Name search of the main window (at most 500 rows)");
  search->add_option("GAMEDIR", dir, "Game directory")->required();
  search->add_option("PATTERN", pattern, "Part of a name; * ? # [a-z] [!a] as in the editor")->required();
  search->callback([&] { run = [&] { return cmdSearch(dir, pattern); }; });

  auto* show = app.add_subcommand("show", "One record as JSON");
  show->add_option("GAMEDIR", dir, "Game directory")->required();
  show->add_option("KIND", kind, "Record kind")
      ->required()
      ->check(CLI::IsMember({"person", "club", "stadium", "nation", "continent", "comp", "history", "city", "colour"}));
  show->add_option("ID", id, "Identifier (record number - 1)")->required();
  show->callback([&] { run = [&] { return cmdShow(dir, kind, id); }; });

  // GAMEDIR and the kind of records a CSV holds.
  auto gameAndKinds = [&](CLI::App* cmd, const char* help) {
    cmd->add_option("GAMEDIR", dir, "Game directory")->required();
    cmd->add_option("WHAT", what, help)
        ->required()
        ->check(CLI::IsMember(std::vector<std::string>(std::begin(cm3::exchange::kKinds), std::end(cm3::exchange::kKinds))));
  };
  auto* exportCmd = app.add_subcommand("export", "One CSV row per record");
  gameAndKinds(exportCmd, "Records to export");
  exportCmd->add_option("--csv", csvFile, "CSV file to write (- for stdout)")->required();
  exportCmd->callback([&] { run = [&] { return cmdExport(dir, what, csvFile); }; });

  auto* set = app.add_subcommand("set", "Change person fields as the person save does");
  set->add_option("GAMEDIR", dir, "Game directory")->required();
  set->add_option("KIND", kind, "person")->required()->check(CLI::IsMember({"person"}));
  set->add_option("ID", id, "Person identifier")->required();
  set->add_option("ASSIGNMENTS", assignments, "FIELD=VALUE ...")->required();
  set->footer(setFieldsHelp());
  set->callback([&] { run = [&] { return cmdSet(dir, kind, id, assignments); }; });

  auto* transfer = app.add_subcommand("transfer", "Move a person as the transfer button does");
  transfer->add_option("GAMEDIR", dir, "Game directory")->required();
  transfer->add_option("PERSON_ID", id, "Person identifier")->required();
  transfer->add_option("CLUB", target, "Club identifier, or free")->required();
  transfer->callback([&] { run = [&] { return cmdTransfer(dir, id, target); }; });

  auto* recover = app.add_subcommand("recover", "Fold the working files of an unclosed run back");
  recover->add_option("GAMEDIR", dir, "Game directory")->required();
  recover->callback([&] { run = [&] { return cmdRecover(dir); }; });

  auto* backupCmd = app.add_subcommand("backup", "The backups made before the first write of each session");
  backupCmd->require_subcommand(1);
  auto* backupList = backupCmd->add_subcommand("list", "Name, date and size of each backup, oldest first");
  backupList->add_option("GAMEDIR", dir, "Game directory")->required();
  backupList->callback([&] { run = [&] { return cmdBackupList(dir); }; });

  auto* restore = app.add_subcommand("restore", "Put a backup back (the newest by default), backing up the files first");
  restore->add_option("GAMEDIR", dir, "Game directory")->required();
  restore->add_option("NAME", target, "Backup name as backup list shows it");
  restore->callback([&] { run = [&] { return cmdRestore(dir, target); }; });

  std::string dirB, patchFile;
  bool json = false, force = false;
  auto* diffCmd = app.add_subcommand("diff", "Every record and field that differs between two game directories");
  diffCmd->add_option("GAMEDIR_A", dir, "Game directory")->required();
  diffCmd->add_option("GAMEDIR_B", dirB, "Game directory to compare with")->required();
  diffCmd->add_flag("--json", json, "JSON output for scripts (the patch format)");
  diffCmd->add_option("--patch", patchFile, "Also write the differences as a patch into FILE");
  diffCmd->footer(
      "Exit code 0 when the same, 1 when different, 2 when a directory cannot be read or the patch file cannot be "
      "written.");
  diffCmd->callback([&] { run = [&] { return cmdDiff(dir, dirB, json, patchFile); }; });

  auto* applyCmd = app.add_subcommand("apply", "Apply a patch made by diff --patch, all or nothing");
  applyCmd->add_option("GAMEDIR", dir, "Game directory")->required();
  applyCmd->add_option("FILE", patchFile, "Patch file")->required();
  applyCmd->add_flag("--force", force, "Write fields whose value is not the patch's old value");
  applyCmd->callback([&] { run = [&] { return cmdApply(dir, patchFile, force); }; });

  auto* importCmd = app.add_subcommand("import", "Take back an exported CSV edited in a spreadsheet, all or nothing");
  gameAndKinds(importCmd, "Records the CSV holds");
  importCmd->add_option("FILE", csvFile, "CSV file written by export")->required();
  importCmd->callback([&] { run = [&] { return cmdImport(dir, what, csvFile); }; });

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? 0 : 2;
  }

  try {
    return run();
  } catch (const CliError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return e.exitCode();
  } catch (const cm3::FileError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  } catch (const cm3::ValueError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "cm3db: %s\n", e.what());
    return 1;
  }
}
