#include "offline_storefront.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace offline {

namespace {

constexpr std::uint64_t kIndividualAccountBits = (std::uint64_t{1} << 56) | (std::uint64_t{1} << 52) |
                                                 (std::uint64_t{1} << 32);
constexpr int kLargestDetails = 64;

int Rank(const Board& board, std::uint32_t accountId) {
  for (std::size_t i = 0; i < board.entries.size(); ++i)
    if (board.entries[i].accountId == accountId) return static_cast<int>(i) + 1;
  return 0;
}

bool Better(const Board& board, std::int32_t score, std::int32_t than) {
  return board.ascending ? score < than : score > than;
}

}  // namespace

OfflineStorefront::OfflineStorefront(std::string statePath, std::ostream& errors)
    : statePath_(std::move(statePath)), errors_(errors) {}

bool OfflineStorefront::Init() {
  if (running_) return true;
  LoadedState loaded = LoadStateFile(statePath_, true, errors_);
  knobs_ = loaded.state.knobs;
  if (const char* overrides = std::getenv(kKnobsVariable); overrides != nullptr && *overrides != '\0') {
    try {
      ApplyKnobs(overrides, knobs_);
    } catch (const std::runtime_error& error) {
      errors_ << "offline storefront: " << kKnobsVariable << " is ignored (" << error.what() << ").\n";
    }
  }
  if (knobs_.initFails) return false;
  stored_ = loaded.state;
  working_ = stored_;
  writable_ = loaded.writable;
  activeSince_ = std::chrono::steady_clock::now();
  running_ = true;
  return true;
}

void OfflineStorefront::Shutdown() {
  running_ = false;
  queue_.clear();
}

std::uint64_t OfflineStorefront::UserId() const { return kIndividualAccountBits | stored_.player.accountId; }

std::uint32_t OfflineStorefront::SecondsSinceAppActive() const {
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - activeSince_);
  return static_cast<std::uint32_t>(seconds.count()) + knobs_.secondsActiveOffset;
}

std::uint64_t OfflineStorefront::BoardHandle(const std::string& name) {
  std::uint32_t hash = 2166136261u;  // FNV-1a
  for (unsigned char c : name) hash = (hash ^ c) * 16777619u;
  return (std::uint64_t{0x10} << 32) | hash;
}

// ---- registration and delivery

void OfflineStorefront::RegisterCallback(CallbackObject* object, int noticeId) {
  if (object == nullptr) return;
  object->flags |= kRegisteredFlag;
  object->noticeId = noticeId;
  auto& objects = noticeObjects_[noticeId];
  if (std::find(objects.begin(), objects.end(), object) == objects.end()) objects.push_back(object);
}

void OfflineStorefront::RegisterCallResult(CallbackObject* object, std::uint64_t call) {
  if (object == nullptr || call == 0) return;
  object->flags |= kRegisteredFlag;
  callObjects_[call] = object;
}

void OfflineStorefront::UnregisterCallResult(CallbackObject* object, std::uint64_t call) {
  const auto found = callObjects_.find(call);
  if (found == callObjects_.end() || found->second != object) return;
  callObjects_.erase(found);
  const bool stillWaiting = std::any_of(callObjects_.begin(), callObjects_.end(),
                                        [object](const auto& item) { return item.second == object; });
  if (!stillWaiting) object->flags &= static_cast<std::uint8_t>(~kRegisteredFlag);
}

template <class Record>
void OfflineStorefront::Queue(const Record& record, std::uint64_t call, bool ioFailure, int pumps) {
  Pending pending{Record::kId, std::vector<std::uint64_t>((sizeof(Record) + 7) / 8), sizeof(Record), call, ioFailure,
                  pumps_ + static_cast<std::uint64_t>(pumps)};
  std::memcpy(pending.record.data(), &record, sizeof(Record));
  queue_.push_back(std::move(pending));
}

// An object whose size or id does not match the record would read past it or misread it: such a
// caller has a wrong declaration, which is reported instead of delivered.
bool OfflineStorefront::Accepts(CallbackObject* object, const Pending& pending) {
  const int size = object->RecordSizeBytes();
  if (size == static_cast<int>(pending.recordSize) && (pending.call == 0 || object->noticeId == pending.recordId))
    return true;
  errors_ << "offline storefront: record " << pending.recordId << " not delivered: the object reports id "
          << object->noticeId << " and size " << size << ", the record has size " << pending.recordSize << ".\n";
  return false;
}

void OfflineStorefront::Deliver(const Pending& pending) {
  void* record = const_cast<std::uint64_t*>(pending.record.data());
  if (pending.call != 0) {
    const auto found = callObjects_.find(pending.call);
    if (found == callObjects_.end()) return;  // nobody waits for it (any more)
    CallbackObject* object = found->second;
    UnregisterCallResult(object, pending.call);
    if (Accepts(object, pending)) object->RunCompletion(record, pending.ioFailure, pending.call);
    return;
  }
  const auto found = noticeObjects_.find(pending.recordId);
  if (found == noticeObjects_.end()) return;
  const std::vector<CallbackObject*> objects = found->second;  // a handler may register more
  for (CallbackObject* object : objects)
    if (Accepts(object, pending)) object->RunNotice(record);
}

void OfflineStorefront::RunCallbacks() {
  if (!running_ || pumping_) return;
  pumping_ = true;
  ++pumps_;
  // What handlers start while this pump delivers waits for the next pump.
  std::vector<Pending> due;
  std::vector<Pending> later;
  for (Pending& pending : queue_) (pending.dueAtPump <= pumps_ ? due : later).push_back(std::move(pending));
  queue_ = std::move(later);
  for (const Pending& pending : due) {
    if (!running_) break;  // a handler shut the client down
    Deliver(pending);
  }
  pumping_ = false;
}

// ---- stats and achievements

bool OfflineStorefront::RequestCurrentStats() {
  if (!running_) return false;
  Queue(StatsReceivedRecord{GameId(), kResultOk, UserId()}, 0, false, 1);
  return true;
}

Stat* OfflineStorefront::WorkingStat(const char* name, bool isFloat) {
  if (!running_ || !IsStorableName(name)) return nullptr;
  auto found = working_.stats.find(name);
  if (found == working_.stats.end()) {
    if (!knobs_.acceptUnknownNames) return nullptr;
    Stat declared;
    declared.isFloat = isFloat;
    found = working_.stats.emplace(name, declared).first;
  }
  return found->second.isFloat == isFloat ? &found->second : nullptr;
}

bool OfflineStorefront::GetStat(const char* name, float* value) const {
  if (!running_ || value == nullptr || !IsStorableName(name)) return false;
  const auto found = working_.stats.find(name);
  if (found == working_.stats.end() || !found->second.isFloat) return false;
  *value = found->second.floatValue;
  return true;
}

bool OfflineStorefront::GetStat(const char* name, std::int32_t* value) const {
  if (!running_ || value == nullptr || !IsStorableName(name)) return false;
  const auto found = working_.stats.find(name);
  if (found == working_.stats.end() || found->second.isFloat) return false;
  *value = found->second.intValue;
  return true;
}

// A value that a state file cannot hold is refused rather than stored and lost.
bool OfflineStorefront::SetStat(const char* name, float value) {
  if (!std::isfinite(value)) return false;
  Stat* stat = WorkingStat(name, true);
  if (stat == nullptr) return false;
  stat->floatValue = value;
  return true;
}

bool OfflineStorefront::SetStat(const char* name, std::int32_t value) {
  Stat* stat = WorkingStat(name, false);
  if (stat == nullptr) return false;
  stat->intValue = value;
  return true;
}

bool OfflineStorefront::GetAchievement(const char* name, std::uint8_t* unlocked) const {
  if (!running_ || unlocked == nullptr || !IsStorableName(name)) return false;
  const auto found = working_.achievements.find(name);
  if (found == working_.achievements.end()) return false;
  *unlocked = found->second ? knobs_.unlockedByte : 0;
  return true;
}

bool OfflineStorefront::SetAchievement(const char* name) {
  if (!running_ || !IsStorableName(name)) return false;
  if (!knobs_.acceptUnknownNames && working_.achievements.count(name) == 0) return false;
  working_.achievements[name] = true;
  return true;
}

bool OfflineStorefront::ClearAchievement(const char* name) {
  if (!running_ || !IsStorableName(name)) return false;
  if (!knobs_.acceptUnknownNames && working_.achievements.count(name) == 0) return false;
  working_.achievements[name] = false;
  return true;
}

bool OfflineStorefront::StoreStats() {
  if (!running_) return false;
  std::int32_t result = knobs_.storeResult;
  std::vector<std::string> unlocked;
  if (result == kResultOk) {
    for (const auto& [name, isUnlocked] : working_.achievements) {
      const auto before = stored_.achievements.find(name);
      if (isUnlocked && (before == stored_.achievements.end() || !before->second)) unlocked.push_back(name);
    }
    const State previous = stored_;
    stored_.stats = working_.stats;
    stored_.achievements = working_.achievements;
    if (!Save()) {
      stored_ = previous;
      unlocked.clear();
      result = kResultFail;
    }
  }
  Queue(StatsStoredRecord{GameId(), result}, 0, false, 1);
  for (const std::string& name : unlocked) {
    AchievementStoredRecord record{};
    record.gameId = GameId();
    std::memcpy(record.name, name.c_str(), name.size() + 1);  // names hold at most 127 bytes
    Queue(record, 0, false, 1);
  }
  return true;
}

bool OfflineStorefront::Save() {
  if (!writable_) {
    errors_ << "offline storefront: not saving over the unusable state file " << statePath_ << ".\n";
    return false;
  }
  if (SaveStateFile(statePath_, stored_)) return true;
  errors_ << "offline storefront: the state file " << statePath_ << " could not be written.\n";
  return false;
}

// ---- leaderboards

std::uint64_t OfflineStorefront::FindLeaderboard(const char* name) {
  if (!running_ || !IsStorableName(name)) return 0;
  const std::uint64_t call = nextCall_++;
  BoardFoundRecord record{};
  if (!knobs_.ioFailure) {
    bool exists = stored_.boards.count(name) != 0;
    if (!exists && knobs_.createBoardsOnFind) {
      stored_.boards[name] = Board{};
      exists = Save();
      if (!exists) stored_.boards.erase(name);
    }
    if (exists) {
      record.board = BoardHandle(name);
      record.found = 1;
      foundBoards_[record.board] = name;
    }
  }
  Queue(record, call, knobs_.ioFailure, knobs_.lookupPumps);
  return call;
}

std::uint64_t OfflineStorefront::UploadLeaderboardScore(std::uint64_t boardHandle, std::int32_t method,
                                                        std::int32_t score, const std::int32_t* details,
                                                        int detailCount) {
  if (!running_) return 0;
  if (method != kUploadKeepBest && method != kUploadForceUpdate) return 0;
  if (detailCount < 0 || detailCount > kLargestDetails || (detailCount > 0 && details == nullptr)) return 0;
  const auto name = foundBoards_.find(boardHandle);
  if (name == foundBoards_.end() || stored_.boards.count(name->second) == 0) return 0;
  const std::uint64_t call = nextCall_++;
  ScoreUploadedRecord record{};
  if (!knobs_.ioFailure) {
    const Board before = stored_.boards[name->second];
    Board& board = stored_.boards[name->second];
    const std::uint32_t account = stored_.player.accountId;
    const int previousRank = Rank(board, account);
    const bool replace = previousRank == 0 || method == kUploadForceUpdate ||
                         Better(board, score, board.entries[previousRank - 1].score);
    if (replace) {
      if (previousRank != 0) board.entries.erase(board.entries.begin() + (previousRank - 1));
      board.entries.push_back(BoardEntry{account, score, std::vector<std::int32_t>(details, details + detailCount)});
      std::stable_sort(board.entries.begin(), board.entries.end(), [&board](const BoardEntry& a, const BoardEntry& b) {
        return Better(board, a.score, b.score);
      });
    }
    record.success = (!replace || Save()) ? 1 : 0;
    if (record.success == 0) board = before;
    record.board = boardHandle;
    record.score = score;
    record.changed = replace && record.success ? 1 : 0;
    record.rankPrevious = previousRank;
    record.rankNew = Rank(board, account);
  }
  Queue(record, call, knobs_.ioFailure, 1);
  return call;
}

}  // namespace offline
