#pragma once
// How the offline storefront sees what the game hands it and what it hands back, laid out as the
// storefront library on Windows lays it out (64-bit members aligned to 8 bytes, also where the
// host's 32-bit ABI would align them to 4). This is the library's own view, written apart from any caller's headers, so
// that a caller that gets a position or an offset wrong fails against it.
#include <cstddef>
#include <cstdint>

#include "standin_layout.h"

namespace offline {

// A callback object as the library calls it: three operations in this slot order, then the flags
// and the notice id. The library writes the two fields on registration (see RegisterCallback).
class CallbackObject {
 public:
  virtual void RunCompletion(void* record, bool ioFailure, std::uint64_t call) = 0;  // slot 0
  virtual void RunNotice(void* record) = 0;                                        // slot 1
  virtual int RecordSizeBytes() = 0;                                               // slot 2

  std::uint8_t flags;
  std::int32_t noticeId;

 protected:
  ~CallbackObject() = default;
};
static_assert(sizeof(CallbackObject) == standin::layout::kThisBuild.callbackObjectSize);

// Flag bit the library sets while an object is registered for a notice or for a call.
constexpr std::uint8_t kRegisteredFlag = 0x01;

constexpr std::int32_t kResultOk = 1;
constexpr std::int32_t kResultFail = 2;

struct StatsReceivedRecord {  // 1101
  static constexpr int kId = 1101;
  alignas(8) std::uint64_t gameId;
  std::int32_t result;
  alignas(8) std::uint64_t userId;
};
static_assert(sizeof(StatsReceivedRecord) == 24);

struct StatsStoredRecord {  // 1102
  static constexpr int kId = 1102;
  alignas(8) std::uint64_t gameId;
  std::int32_t result;
};
static_assert(sizeof(StatsStoredRecord) == 16);

struct AchievementStoredRecord {  // 1103
  static constexpr int kId = 1103;
  alignas(8) std::uint64_t gameId;
  std::uint8_t groupAchievement;
  char name[128];
  std::uint32_t currentProgress;
  std::uint32_t maximumProgress;
};
static_assert(sizeof(AchievementStoredRecord) == 152);
static_assert(offsetof(AchievementStoredRecord, name) == 9);
static_assert(offsetof(AchievementStoredRecord, maximumProgress) == 144);

struct BoardFoundRecord {  // 1104
  static constexpr int kId = 1104;
  alignas(8) std::uint64_t board;
  std::uint8_t found;
};
static_assert(sizeof(BoardFoundRecord) == 16);

struct ScoreUploadedRecord {  // 1106
  static constexpr int kId = 1106;
  std::uint8_t success;
  alignas(8) std::uint64_t board;
  std::int32_t score;
  std::uint8_t changed;
  std::int32_t rankNew;
  std::int32_t rankPrevious;
};
static_assert(sizeof(ScoreUploadedRecord) == 32);
static_assert(offsetof(ScoreUploadedRecord, board) == 8);
static_assert(offsetof(ScoreUploadedRecord, score) == 16);

enum UploadMethod : std::int32_t { kUploadKeepBest = 1, kUploadForceUpdate = 2 };

}  // namespace offline
