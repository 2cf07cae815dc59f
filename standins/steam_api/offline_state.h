#pragma once
// What the offline storefront remembers between runs, and its human-readable state file.
#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace offline {

struct Player {
  std::uint32_t accountId = 1000;  // the low 32 bits of the user id
  std::string personaName = "Offline Player";
  std::string country = "US";
  std::string installFolder = "C:\\Program Files\\Steam";
  std::uint32_t appId = 0;  // 0: the game's own number (DefaultState fills it in)
};

struct Stat {
  bool isFloat = false;
  std::int32_t intValue = 0;
  float floatValue = 0.0f;
  bool operator==(const Stat& other) const {
    return isFloat == other.isFloat && intValue == other.intValue && floatValue == other.floatValue;
  }
};

struct BoardEntry {
  std::uint32_t accountId = 0;
  std::int32_t score = 0;
  std::vector<std::int32_t> details;
};

struct Board {
  bool ascending = false;           // false: a higher score is better
  std::vector<BoardEntry> entries;  // best first
};

// Settings for tests and for game developers, none of which a real client has.
struct Knobs {
  bool initFails = false;            // SteamAPI_Init answers false, as without a running client
  int lookupPumps = 1;               // pump calls until a leaderboard lookup completes (1 = the next)
  bool createBoardsOnFind = false;   // a lookup of an unlisted board creates it instead of failing
  bool ioFailure = false;            // every call completes with the I/O failure flag set
  std::int32_t storeResult = 1;      // result code of StoreStats (1 = success; other codes store nothing)
  std::uint32_t secondsActiveOffset = 0;  // added to the seconds since the game became active
  bool acceptUnknownNames = true;    // setting an unlisted stat or achievement declares it
  std::uint8_t unlockedByte = 1;     // the byte GetAchievement writes for unlocked; a library built
                                     // by another compiler may write any but 0
  bool operator==(const Knobs& other) const;
};

struct State {
  Player player;
  std::map<std::string, bool> achievements;  // name -> unlocked
  std::map<std::string, Stat> stats;
  std::map<std::string, Board> boards;
  Knobs knobs;
};

// The game's leaderboards listed, nothing unlocked, nothing declared.
State DefaultState();

std::string ToJson(const State& state);
// Throws std::runtime_error naming what is wrong.
State FromJson(const std::string& text);
// Applies the knobs of a JSON object (as in the file's "knobs") over `knobs`; throws like FromJson.
void ApplyKnobs(const std::string& jsonObject, Knobs& knobs);

// A missing file gives the defaults. A file that cannot be read or understood gives the defaults
// and a message on `errors`; when `setAsideCorrupt` is true it is also renamed to "<path>.corrupt-N"
// so it is never overwritten, and `keptAs` tells where. When it could not be set aside, the
// answer's `writable` is false: saving over it would lose it.
struct LoadedState {
  State state;
  bool writable = true;
  std::optional<std::string> keptAs;
};
LoadedState LoadStateFile(const std::string& path, bool setAsideCorrupt, std::ostream& errors);

// Replaces the file whole (temporary file, flush, move over); false leaves the old file as it was.
bool SaveStateFile(const std::string& path, const State& state);

// True for a name a state file can hold: 1 to 127 bytes of valid UTF-8.
bool IsStorableName(const char* name);

// The environment variable naming the state file, and the one holding knobs (a JSON object) that
// apply over the file's.
constexpr const char* kStatePathVariable = "OFFLINE_STOREFRONT_STATE";
constexpr const char* kKnobsVariable = "OFFLINE_STOREFRONT_KNOBS";
constexpr const char* kStateFileName = "storefront_state.json";

}  // namespace offline
