#include "game_flow.h"

#include <windows.h>

#include <chrono>
#include <system_error>

#include "kit_logic.h"
#include "support/diagnostic_folder.h"
#include "support/files.h"
#include "support/run_program.h"
#include "support/wide_text.h"

namespace kit {

namespace fs = std::filesystem;
using test_support::EntryNames;
using test_support::ProgramRun;
using test_support::RunProgram;
using test_support::Utf8;
using test_support::Utf8Path;
using test_support::Wide;
using test_support::kDiagnosticFolder;

namespace {

const fs::path kDriveC = L"c:\\";
// A case's game and tool may take this long each; the test's own limit ends a run before that
// where it is shorter.
constexpr std::chrono::seconds kProgramLimit{600};

Tree TreeOf(const fs::path& folder) {
  Tree tree;
  if (!fs::exists(folder)) return tree;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
    std::string relative = Utf8(fs::relative(entry.path(), folder).generic_wstring());
    if (entry.is_directory())
      tree[relative + "/"] = "";
    else
      tree[relative] = test_support::ReadFileBytes(entry.path());
  }
  return tree;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += "\n  " + line;
  return text;
}

class CaseRun {
 public:
  CaseRun(const fs::path& caseFolder, const fs::path& game, bool record, std::string& account)
      : case_(caseFolder), game_(game), record_(record), account_(account) {}

  void Fail(const std::string& why) {
    account_ += "FAIL: " + why + "\n";
    ++failures_;
  }
  bool Passed() const { return failures_ == 0; }
  bool CaseHas(const std::string& name) const { return fs::exists(case_ / name); }
  std::string CaseFile(const std::string& name) const { return test_support::ReadFileBytes(case_ / name); }

  // The case's golden file `name` must hold exactly `actual`.
  void Golden(const std::string& name, const std::string& actual) {
    if (record_) {
      test_support::WriteFileBytes(case_ / name, actual);
    } else if (!CaseHas(name)) {
      Fail("the case has no " + name + " (tools/regenerate-golden.sh writes it)");
    } else if (const auto difference = GoldenDifference(name, CaseFile(name), actual)) {
      Fail(*difference);
    }
  }

  // Runs a program of the game folder; answers its exit code, failing the case when it could not
  // run to its end.
  unsigned long Run(const std::vector<std::string>& argv, const fs::path& output, const fs::path& error) {
    const ProgramRun run = RunProgram(argv, game_, output, error, kProgramLimit);
    if (!run.started || run.timedOut) Fail(run.problem);
    return run.exitCode;
  }

 private:
  fs::path case_;
  fs::path game_;
  bool record_;
  std::string& account_;
  int failures_ = 0;
};

void CopyInto(const fs::path& file, const fs::path& folder, const fs::path& name = {}) {
  fs::copy_file(file, folder / (name.empty() ? file.filename() : name), fs::copy_options::overwrite_existing);
}

void RunInGameFolder(const fs::path& caseFolder, const GameFlowPrograms& programs, const fs::path& game,
                     CaseRun& run) {
  CopyInto(programs.game, game);
  CopyInto(programs.plugin, game);
  CopyInto(programs.capture, game);
  CopyInto(caseFolder / "script.txt", game);
  CopyInto(programs.storefront, game, "steam_api.dll");
  for (const fs::path& need : programs.storefrontNeeds) CopyInto(need, game);
  if (run.CaseHas("state.json")) CopyInto(caseFolder / "state.json", game, "storefront_state.json");

  const std::string capture = Utf8Path(game / programs.capture.filename());
  const unsigned long status =
      run.Run({capture, "debugger.bin", "vorlan.exe", "-script", "script.txt"}, {}, game / "stderr.txt");
  const std::string stderrText = test_support::ReadFileBytes(game / "stderr.txt");
  if (status != 0) run.Fail("the game ended with " + std::to_string(status) + ": " + stderrText);

  run.Golden("expected_output.txt", test_support::ReadFileBytes(game / "vorlan_output.txt"));

  const std::string debugger = test_support::ReadFileBytes(game / "debugger.bin");
  if (!debugger.empty() || run.CaseHas("expected_debugger.txt")) {
    if (const auto text = AsciiFromUtf16Le(debugger))
      run.Golden("expected_debugger.txt", *text);
    else
      run.Fail("the debugger output is not ASCII text (" + std::to_string(debugger.size()) + " bytes)");
  }

  const fs::path shown = game / "shown.txt";
  if (run.Run({Utf8Path(programs.tool), "show", "storefront_state.json"}, shown, shown) != 0)
    run.Fail("the storefront tool failed: " + test_support::ReadFileBytes(shown));
  run.Golden("expected_state.txt", WithoutCarriageReturns(test_support::ReadFileBytes(shown)));

  for (const std::string name : {"pais", "alog"}) {
    const std::string golden = "expected_" + name + ".txt";
    if (!run.CaseHas(golden)) continue;
    const fs::path written = kDiagnosticFolder / Wide(name + ".txt");
    if (fs::exists(written))
      run.Golden(golden, test_support::ReadFileBytes(written));
    else
      run.Fail("c:\\1_temp\\" + name + ".txt was not written");
  }
  if (run.CaseHas("no_diagnostic_folder") && fs::exists(kDiagnosticFolder))
    run.Fail("c:\\1_temp was created, holding:" + Joined(EntryNames(kDiagnosticFolder)));

  if (run.CaseHas("expected_stderr.txt"))
    for (const std::string& text : Lines(run.CaseFile("expected_stderr.txt")))
      if (stderrText.find(text) == std::string::npos)
        run.Fail("standard error does not say \"" + text + "\": " + stderrText);
  if (run.CaseHas("expected_kept.txt"))
    for (const auto& [caseFile, gameFile] : KeptFiles(run.CaseFile("expected_kept.txt")))
      if (!fs::exists(game / gameFile) ||
          test_support::ReadFileBytes(game / gameFile) != run.CaseFile(caseFile))
        run.Fail(gameFile + " does not hold " + caseFile + "; the game folder holds:" + Joined(EntryNames(game)));
}

}  // namespace

bool RunGameFlowCase(const fs::path& caseFolder, const GameFlowPrograms& programs, const fs::path& scratch,
                     bool record, std::string& account) {
  // The storefront reads its state from beside itself, with no knobs but the case's.
  SetEnvironmentVariableW(L"OFFLINE_STOREFRONT_STATE", nullptr);
  SetEnvironmentVariableW(L"OFFLINE_STOREFRONT_KNOBS", nullptr);
  const fs::path game = scratch / L"game";
  fs::create_directories(game);
  CaseRun run(caseFolder, game, record, account);

  const test_support::DiagnosticFolderHeld held;
  const test_support::DiagnosticFolderSetAside beforeTheTest("before-test");
  const fs::path before = caseFolder / "diagnostic_folder_before";
  const bool hasBefore = fs::exists(before);
  std::vector<std::string> driveBefore;
  if (hasBefore) {
    fs::copy(before, kDiagnosticFolder, fs::copy_options::recursive);
    driveBefore = EntryNames(kDriveC);
  }
  {
    const test_support::DiagnosticFolderSetAside keptForTheCase("kept");
    if (!run.CaseHas("no_diagnostic_folder")) fs::create_directory(kDiagnosticFolder);
    RunInGameFolder(caseFolder, programs, game, run);
  }
  if (hasBefore) {
    const std::vector<std::string> differences = TreeDifferences(TreeOf(before), TreeOf(kDiagnosticFolder));
    if (!differences.empty())
      run.Fail("c:\\1_temp does not hold again what it held before the run:" + Joined(differences));
    const std::vector<std::string> driveAfter = EntryNames(kDriveC);
    if (driveAfter != driveBefore)
      run.Fail("c: holds other entries than before the run; before:" + Joined(driveBefore) + "\nafter:" +
               Joined(driveAfter));
  }
  if (run.Passed()) account += "game flow " + Utf8Path(caseFolder.filename()) + ": as expected\n";
  return run.Passed();
}

}  // namespace kit
