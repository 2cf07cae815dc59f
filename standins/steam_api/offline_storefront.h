#pragma once
// The offline storefront: a simulated storefront client with one player, kept in a state file.
// Everything a caller starts (notices, call completions) waits in one queue and reaches the
// registered objects only inside RunCallbacks, on the calling thread, in the order it arose.
#include <chrono>
#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "client_abi.h"
#include "offline_state.h"

namespace offline {

class OfflineStorefront {
 public:
  // `statePath` names the state file, read at each Init; problems are reported on `errors`.
  OfflineStorefront(std::string statePath, std::ostream& errors);

  // Reads the state file and starts, unless the init-fails knob is set. Registrations made before
  // survive; a second Init while running changes nothing.
  bool Init();
  // Stops: pending notices and calls are dropped, unstored stat changes are lost.
  void Shutdown();
  bool Running() const { return running_; }

  void RunCallbacks();
  // Registering writes kRegisteredFlag into the object's flags and, for a notice, the notice id
  // into its id field; unregistering the last call of an object clears the flag.
  void RegisterCallback(CallbackObject* object, int noticeId);
  void RegisterCallResult(CallbackObject* object, std::uint64_t call);
  void UnregisterCallResult(CallbackObject* object, std::uint64_t call);

  bool RequestCurrentStats();
  bool GetStat(const char* name, float* value) const;
  bool GetStat(const char* name, std::int32_t* value) const;
  bool SetStat(const char* name, float value);
  bool SetStat(const char* name, std::int32_t value);
  bool GetAchievement(const char* name, std::uint8_t* unlocked) const;
  bool SetAchievement(const char* name);
  bool ClearAchievement(const char* name);
  bool StoreStats();
  std::uint64_t FindLeaderboard(const char* name);
  std::uint64_t UploadLeaderboardScore(std::uint64_t board, std::int32_t method, std::int32_t score,
                                       const std::int32_t* details, int detailCount);

  std::uint64_t UserId() const;
  std::uint32_t SecondsSinceAppActive() const;
  std::uint32_t AppId() const { return stored_.player.appId; }
  const char* Country() const { return stored_.player.country.c_str(); }
  const char* PersonaName() const { return stored_.player.personaName.c_str(); }
  const char* InstallFolder() const { return stored_.player.installFolder.c_str(); }

  // Leaderboard handles are stable across runs: they derive from the board's name.
  static std::uint64_t BoardHandle(const std::string& name);

 private:
  struct Pending {
    int recordId;
    std::vector<std::uint64_t> record;  // 8-aligned bytes of the record
    std::size_t recordSize;
    std::uint64_t call;                 // 0 for a notice
    bool ioFailure;
    std::uint64_t dueAtPump;
  };

  template <class Record>
  void Queue(const Record& record, std::uint64_t call, bool ioFailure, int pumps);
  void Deliver(const Pending& pending);
  bool Accepts(CallbackObject* object, const Pending& pending);
  Stat* WorkingStat(const char* name, bool isFloat);
  bool Save();
  std::uint64_t GameId() const { return stored_.player.appId; }

  std::string statePath_;
  std::ostream& errors_;
  bool running_ = false;
  bool writable_ = true;
  bool pumping_ = false;
  State stored_;   // as in the state file
  State working_;  // stats and achievements as the game set them since the last store
  Knobs knobs_;    // the file's knobs with the environment's over them
  std::chrono::steady_clock::time_point activeSince_;
  std::uint64_t pumps_ = 0;
  std::uint64_t nextCall_ = (std::uint64_t{1} << 32) | 1;  // high bits set: catches truncation
  std::vector<Pending> queue_;
  std::map<int, std::vector<CallbackObject*>> noticeObjects_;
  std::map<std::uint64_t, CallbackObject*> callObjects_;
  std::map<std::uint64_t, std::string> foundBoards_;
};

}  // namespace offline
