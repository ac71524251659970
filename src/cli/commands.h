// The commands of cm3db. Each returns the process exit code; failures are
// thrown as CliError (or the core's FileError/ValueError) and reported by
// main on stderr.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace cm3::cli {

int cmdMakeSample(const std::string& dir, const std::string& preset, uint64_t seed);
int cmdInfo(const std::string& gameDir);
int cmdCheck(const std::string& gameDir);
int cmdSearch(const std::string& gameDir, const std::string& pattern);
int cmdShow(const std::string& gameDir, const std::string& kind, int64_t id);
int cmdExport(const std::string& gameDir, const std::string& what, const std::string& file);
int cmdSet(const std::string& gameDir, const std::string& kind, int64_t id, const std::vector<std::string>& assignments);
int cmdTransfer(const std::string& gameDir, int64_t personId, const std::string& target);
int cmdRecover(const std::string& gameDir);
int cmdBackupList(const std::string& gameDir);
int cmdRestore(const std::string& gameDir, const std::string& name);
// Exit code 0 when the two directories hold the same database, 1 when they
// differ; the differences also go to `patchFile` as a patch when it is given.
int cmdDiff(const std::string& dirA, const std::string& dirB, bool json, const std::string& patchFile);
// Takes an exported CSV back: all or nothing, refused cells on stderr as
// FILE:LINE: column NAME: message.
int cmdImport(const std::string& gameDir, const std::string& what, const std::string& file);
// Applies a patch: all or nothing, conflicts on stderr.
int cmdApply(const std::string& gameDir, const std::string& patchFile, bool force);

// The help texts listing what `set` can change and what `check` looks for.
std::string setFieldsHelp();
std::string checkRulesHelp();

// The row limit of the name search, as in the main window.
inline constexpr int kSearchLimit = 500;

}  // namespace cm3::cli
