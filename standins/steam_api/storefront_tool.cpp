// storefront: shows or resets what the offline storefront remembers.
//   storefront show  [state-file]
//   storefront reset [state-file]
// Without a state file it uses the one named by OFFLINE_STOREFRONT_STATE, else
// "storefront_state.json" in the current folder (the game folder, beside steam_api.dll).
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>

#include "offline_state.h"
#include "offline_storefront.h"

namespace {

int Usage() {
  std::cerr << "usage: storefront show|reset [state-file]\n"
               "  show   lists the player, achievements with their unlock state, stats and each leaderboard's entries\n"
               "  reset  locks every achievement, sets every stat to 0 and empties every leaderboard;\n"
               "         the player, the names and the knobs stay\n";
  return 2;
}

void Show(const std::string& path, const offline::State& state) {
  const offline::Player& player = state.player;
  std::cout << "State file: " << path << "\n"
            << "Player: account " << player.accountId << ", persona name \"" << player.personaName << "\", country "
            << player.country << ", application " << player.appId << ", install folder " << player.installFolder << "\n";
  std::cout << "Achievements (" << state.achievements.size() << "):\n";
  for (const auto& [name, unlocked] : state.achievements)
    std::cout << "  [" << (unlocked ? 'x' : ' ') << "] " << name << "\n";
  std::cout << "Stats (" << state.stats.size() << "):\n";
  for (const auto& [name, stat] : state.stats) {
    std::cout << "  " << name << " = ";
    if (stat.isFloat) std::cout << stat.floatValue << " (float)\n";
    else std::cout << stat.intValue << " (int)\n";
  }
  std::cout << "Leaderboards (" << state.boards.size() << "):\n";
  for (const auto& [name, board] : state.boards) {
    std::cout << "  " << name << " (" << (board.ascending ? "lower" : "higher") << " is better, "
              << board.entries.size() << " entries, handle 0x" << std::hex
              << offline::OfflineStorefront::BoardHandle(name) << std::dec << ")\n";
    int rank = 1;
    for (const offline::BoardEntry& entry : board.entries)
      std::cout << "    " << rank++ << ". account " << entry.accountId << ": " << entry.score << "\n";
  }
}

offline::State ResetProgress(offline::State state) {
  for (auto& [name, unlocked] : state.achievements) unlocked = false;
  for (auto& [name, stat] : state.stats) stat.intValue = 0, stat.floatValue = 0.0f;
  for (auto& [name, board] : state.boards) board.entries.clear();
  return state;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) return Usage();
  const std::string command = argv[1];
  std::string path = offline::kStateFileName;
  if (argc == 3) path = argv[2];
  else if (const char* named = std::getenv(offline::kStatePathVariable); named != nullptr && *named != '\0') path = named;

  if (command == "show") {
    std::ostringstream problems;
    const offline::LoadedState loaded = offline::LoadStateFile(path, false, problems);
    if (!problems.str().empty()) {
      std::cerr << problems.str();
      return 1;
    }
    Show(path, loaded.state);
    return 0;
  }
  if (command == "reset") {
    const offline::LoadedState loaded = offline::LoadStateFile(path, true, std::cerr);
    if (!loaded.writable || !offline::SaveStateFile(path, ResetProgress(loaded.state))) {
      std::cerr << "storefront: " << path << " could not be written\n";
      return 1;
    }
    std::cout << "Reset " << path << "\n";
    return 0;
  }
  return Usage();
}
