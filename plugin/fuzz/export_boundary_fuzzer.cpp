// Arbitrary sequences of export calls with arbitrary arguments, through the exported functions as
// game script reaches them, against the offline storefront in this process. STRING arguments may
// be null, have a null character pointer, name a known stat or achievement, or carry any bytes.
// Every answer must be one that its export can give.
//
// Input: one byte of storefront knobs, then operations: an export number, then its arguments.
#include <sanitizer/lsan_interface.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>

#include "engine/engine_binding.h"
#include "exports.h"
#include "storefront_api.h"

namespace {

using kelvo::STRING;
using kelvo::var;

class Input {
 public:
  Input(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool empty() const { return at_ >= size_; }
  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  int32_t Word() {
    uint32_t word = 0;
    for (int i = 0; i < 4; ++i) word = word << 8 | Byte();
    return static_cast<int32_t>(word);
  }
  std::string Bytes(std::size_t count) {
    std::string bytes;
    while (count-- > 0 && !empty()) bytes += static_cast<char>(Byte());
    return bytes;
  }

 private:
  const uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// A STRING argument as script might pass it; the record and its text live until the next one.
class StringArgument {
 public:
  const STRING* From(Input& input) {
    static const char* const kNames[] = {"WON", "kills", "distance", "Vorlan2", "", "100% %s %n"};
    const uint8_t kind = input.Byte();
    record_ = STRING{{-1, -1, -1}, nullptr};
    switch (kind % 4) {
      case 0: return nullptr;
      case 1: return &record_;
      case 2: text_ = kNames[(kind >> 2) % (sizeof kNames / sizeof *kNames)]; break;
      default: text_ = input.Bytes(input.Byte()); break;  // any bytes, up to a NUL of their own
    }
    record_.chars = text_.c_str();
    return &record_;
  }

 private:
  STRING record_{};
  std::string text_;
};

[[noreturn]] void Wrong(const char* what, long long answer) {
  std::fprintf(stderr, "%s answered %lld\n", what, answer);
  std::abort();
}

void Expect(bool holds, const char* what, long long answer) {
  if (!holds) Wrong(what, answer);
}

bool IsTruth(var answer) { return answer == 0 || answer == 1024; }

// An unsigned count times 1024, or the out-of-range answer.
bool IsScaledUnsigned(var answer) { return answer == INT32_MIN || (answer >= 0 && answer % 1024 == 0); }

kelvo::engine::EngineSymbol g_symbol{7, 8, 6};  // global: what the fake host's object lookup finds

kelvo::engine::EngineSymbol* KELVO_CDECL FindObject(const char*) { return &g_symbol; }
kelvo::engine::EngineFunction KELVO_CDECL FindFunction(const char* name) {
  return name[0] == 's' ? nullptr : reinterpret_cast<kelvo::engine::EngineFunction>(&FindObject);
}

bool g_leaderboardsCreated = false;  // global: steam_init ran in this process

// Every start creates objects that stay registered with the storefront for good, so each later
// registration and notice costs more. A fuzzing process runs many inputs; past this many starts
// it keeps the objects it has and only starts the storefront itself, as a start would.
constexpr int kMostStarts = 64;
int g_starts = 0;  // global

bool StartedWithoutNewObjects() {
  if (++g_starts <= kMostStarts) return false;
  SteamAPI_Init();
  return true;
}

// One function per export, named after it: calls it with arguments from the input and checks
// the answer.
void Call_A6_DLLAPI(Input& input) {
  static kelvo::engine::EngineInterface host{};
  host.objectLookup = FindObject;
  host.functionLookup = input.Byte() % 2 ? FindFunction : nullptr;
  const var answer = A6_DLLAPI(input.Byte() % 2 ? &host : nullptr);
  Expect(answer == 630 || answer == 0, "A6_DLLAPI", answer);
}

void Call_auflip(Input& input) {
  kelvo::HostObject object{};
  object.value = input.Word();
  const bool null = input.Byte() % 2;
  kelvo::HostObject* answer = auflip(null ? nullptr : &object);
  Expect(answer == (null ? nullptr : &object), "auflip", 0);
  if (!null) Expect(object.value == 184320, "auflip's object", object.value);
}

void Call_say_hello(Input&) {
  const int32_t answer = say_hello();
  Expect(answer == 0 || answer == 1, "say_hello", answer);
}

void Call_start_steam(Input&) {
  if (StartedWithoutNewObjects()) return;
  __lsan::ScopedDisabler kept;  // the stats object lives as long as the process, by design
  const int32_t answer = start_steam();
  Expect(answer == 0 || answer == -1024, "start_steam", answer);
}

void Call_steam_add_stat(Input& input) {
  StringArgument name;
  steam_add_stat(name.From(input));
}

void Call_steam_callback(Input&) { Expect(steam_callback() == 1024, "steam_callback", 0); }

void Call_steam_country(Input&) {
  const int32_t answer = steam_country();
  Expect(answer == 0 || answer == 1, "steam_country", answer);
}

void Call_steam_gameid(Input&) {
  const var answer = steam_gameid();
  Expect(IsScaledUnsigned(answer), "steam_gameid", answer);
}

void Call_steam_get_ach(Input& input) {
  StringArgument name;
  const var answer = steam_get_ach(name.From(input));
  Expect(IsTruth(answer), "steam_get_ach", answer);
}

void Call_steam_get_stat(Input& input) {
  StringArgument name;
  steam_get_stat(name.From(input));
}

void Call_steam_init(Input&) {
  if (StartedWithoutNewObjects()) return;
  __lsan::ScopedDisabler kept;  // the stats and leaderboards objects are never freed, by design
  const var answer = steam_init();
  Expect(IsTruth(answer), "steam_init", answer);
  g_leaderboardsCreated = true;
}

void Call_steam_record(Input&) { steam_record(); }

void Call_steam_record_abre(Input&) {
  const var answer = steam_record_abre();
  Expect(answer == (g_leaderboardsCreated ? 2048 : 1024), "steam_record_abre", answer);
}

void Call_steam_record_abre_level(Input& input) {
  const var level = input.Word();
  const int32_t n = level >> 10;
  const var expected = !g_leaderboardsCreated ? 1024 : n >= 1 && n <= 8 ? 20480 + n * 1024 : 20480;
  const var answer = steam_record_abre_level(level);
  Expect(answer == expected, "steam_record_abre_level", answer);
}

void Call_steam_record_add(Input& input) {
  const var answer = steam_record_add(input.Word());
  Expect(g_leaderboardsCreated ? answer == 3072 || answer == 33792 : answer == 1024, "steam_record_add", answer);
}

void Call_steam_reset(Input& input) {
  StringArgument name;
  const var answer = steam_reset(name.From(input));
  Expect(IsTruth(answer), "steam_reset", answer);
}

void Call_steam_stats(Input&) {
  const var answer = steam_stats();
  Expect(IsTruth(answer), "steam_stats", answer);
}

void Call_steam_stop(Input&) { Expect(steam_stop() == 1024, "steam_stop", 0); }

void Call_steam_store(Input& input) {
  StringArgument name;
  const int32_t answer = steam_store(name.From(input));
  Expect(answer == 0, "steam_store", answer);
}

void Call_steam_store_stat(Input& input) {
  StringArgument name;
  const STRING* stat = name.From(input);
  const var answer = steam_store_stat(stat, input.Word());
  Expect(IsTruth(answer), "steam_store_stat", answer);
}

void Call_steam_time(Input&) {
  const var answer = steam_time();
  Expect(IsScaledUnsigned(answer), "steam_time", answer);
}

void Call_steam_user(Input&) {
  const var answer = steam_user();
  Expect(IsScaledUnsigned(answer), "steam_user", answer);
}

// An operation byte picks the export at its place in the export list.
#define CALL_ENTRY(export_name, ...) &Call_##export_name,
constexpr void (*const kCalls[])(Input&) = {KELVO_EXPORT_LIST(CALL_ENTRY)};
#undef CALL_ENTRY

void Run(uint8_t operation, Input& input) { kCalls[operation % std::size(kCalls)](input); }

}  // namespace

// A folder of its own: the storefront's state file and the diagnostic files land there. Memory
// backed where the system offers it, since the storefront flushes its file at every store.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::error_code status;
  const std::filesystem::path base =
      std::filesystem::is_directory("/dev/shm", status) ? "/dev/shm" : std::filesystem::temp_directory_path();
  const std::filesystem::path folder = base / ("export-boundary-fuzzer-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder / "1_temp");
  std::filesystem::current_path(folder);
  static const std::filesystem::path removed = folder;
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(removed, ignored);
  });
  setenv("OFFLINE_STOREFRONT_STATE", (folder / "storefront_state.json").c_str(), 1);
  std::freopen("/dev/null", "w", stdout);  // the notices' lines
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  Input input(data, size);
  // Each input starts from a stopped storefront and a fresh state file, with knobs of its own.
  steam_stop();
  std::remove("storefront_state.json");
  const uint8_t knobs = input.Byte();
  const std::string overrides = std::string("{\"init_fails\": ") + (knobs & 1 ? "true" : "false") +
                                ", \"io_failure\": " + (knobs & 2 ? "true" : "false") +
                                ", \"create_boards_on_find\": " + (knobs & 4 ? "true" : "false") +
                                ", \"accept_unknown_names\": " + (knobs & 8 ? "true" : "false") +
                                ", \"lookup_pumps\": " + std::to_string(1 + (knobs >> 4 & 3)) +
                                ", \"store_result\": " + (knobs & 64 ? "2" : "1") + "}";
  setenv("OFFLINE_STOREFRONT_KNOBS", overrides.c_str(), 1);
  while (!input.empty()) Run(input.Byte(), input);
  return 0;
}
