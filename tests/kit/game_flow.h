// One game-flow case: the stand-in game hosts the real plug-in against a storefront library and
// runs the case's game script; what came out is compared with the case's expectations.
//
// A case folder holds script.txt and, optionally, state.json (the storefront's starting state).
// Golden files, each compared whole and exactly:
//   expected_output.txt    the game's transcript
//   expected_debugger.txt  the debugger output, as ASCII (recorded as UTF-16LE); none expected
//                          without it
//   expected_state.txt     what the storefront tool shows afterwards (`show`)
//   expected_pais.txt, expected_alog.txt
//                          the diagnostic files under c:\1_temp, where the case has them
// Assertions written by hand:
//   no_diagnostic_folder   c:\1_temp is missing during the run and must still be missing after
//   expected_stderr.txt    texts (one a line) that the game's standard error must contain
//   expected_kept.txt      lines "CASE-FILE GAME-FILE": the game folder's file must afterwards hold
//                          exactly the case's file (what must not be lost)
//   diagnostic_folder_before/
//                          files that c:\1_temp holds when the run starts; the case runs with a
//                          c:\1_temp of its own, and afterwards c:\1_temp must hold exactly these
//                          files again, with nothing left beside it on c:
// Whatever c:\1_temp held before is set aside for the run and put back afterwards.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

namespace kit {

struct GameFlowPrograms {
  std::filesystem::path game;        // the stand-in vorlan.exe
  std::filesystem::path plugin;      // kelvo.dll
  std::filesystem::path storefront;  // the storefront library, placed as steam_api.dll
  std::vector<std::filesystem::path> storefrontNeeds;  // DLLs it needs beside it
  std::filesystem::path tool;        // the storefront tool
  std::filesystem::path capture;     // the debugger-output capture
};

// Runs the case in a game folder under `scratch`. With `record`, the case's golden files are
// written from what came out instead of compared (the assertions written by hand still count).
// Every failure is a line "FAIL: ..." in `account`; answers whether the case passed.
bool RunGameFlowCase(const std::filesystem::path& caseFolder, const GameFlowPrograms& programs,
                     const std::filesystem::path& scratch, bool record, std::string& account);

}  // namespace kit
