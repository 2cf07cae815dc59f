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

void Run(uint8_t operation, Input& input) {
  StringArgument name;
  switch (operation % 22) {
    case 0: {
      static kelvo::engine::EngineInterface host{};
      host.objectLookup = FindObject;
      host.functionLookup = input.Byte() % 2 ? FindFunction : nullptr;
      const var answer = A6_DLLAPI(input.Byte() % 2 ? &host : nullptr);
      Expect(answer == 630 || answer == 0, "A6_DLLAPI", answer);
      break;
    }
    case 1: {
      kelvo::HostObject object{};
      object.value = input.Word();
      const bool null = input.Byte() % 2;
      kelvo::HostObject* answer = auflip(null ? nullptr : &object);
      Expect(answer == (null ? nullptr : &object), "auflip", 0);
      if (!null) Expect(object.value == 184320, "auflip's object", object.value);
      break;
    }
    case 2: Expect(say_hello() <= 1, "say_hello", say_hello()); break;
    case 3: {
      if (StartedWithoutNewObjects()) break;
      __lsan::ScopedDisabler kept;  // the stats object lives as long as the process, by design
      const int32_t answer = start_steam();
      Expect(answer == 0 || answer == -1024, "start_steam", answer);
      break;
    }
    case 4: steam_add_stat(name.From(input)); break;
    case 5: Expect(steam_callback() == 1024, "steam_callback", 0); break;
    case 6: {
      const int32_t answer = steam_country();
      Expect(answer == 0 || answer == 1, "steam_country", answer);
      break;
    }
    case 7: {
      const var answer = steam_gameid();
      Expect(IsScaledUnsigned(answer), "steam_gameid", answer);
      break;
    }
    case 8: {
      const var answer = steam_get_ach(name.From(input));
      Expect(IsTruth(answer), "steam_get_ach", answer);
      break;
    }
    case 9: steam_get_stat(name.From(input)); break;
    case 10: {
      if (StartedWithoutNewObjects()) break;
      __lsan::ScopedDisabler kept;  // the stats and leaderboards objects are never freed, by design
      const var answer = steam_init();
      Expect(IsTruth(answer), "steam_init", answer);
      g_leaderboardsCreated = true;
      break;
    }
    case 11: steam_record(); break;
    case 12: {
      const var answer = steam_record_abre();
      Expect(answer == (g_leaderboardsCreated ? 2048 : 1024), "steam_record_abre", answer);
      break;
    }
    case 13: {
      const var level = input.Word();
      const int32_t n = level >> 10;
      const var expected = !g_leaderboardsCreated ? 1024 : n >= 1 && n <= 8 ? 20480 + n * 1024 : 20480;
      const var answer = steam_record_abre_level(level);
      Expect(answer == expected, "steam_record_abre_level", answer);
      break;
    }
    case 14: {
      const var answer = steam_record_add(input.Word());
      Expect(g_leaderboardsCreated ? answer == 3072 || answer == 33792 : answer == 1024, "steam_record_add", answer);
      break;
    }
    case 15: {
      const var answer = steam_reset(name.From(input));
      Expect(IsTruth(answer), "steam_reset", answer);
      break;
    }
    case 16: {
      const var answer = steam_stats();
      Expect(IsTruth(answer), "steam_stats", answer);
      break;
    }
    case 17: Expect(steam_stop() == 1024, "steam_stop", 0); break;
    case 18: Expect(steam_store(name.From(input)) == 0, "steam_store", 1); break;
    case 19: {
      const STRING* stat = name.From(input);
      const var answer = steam_store_stat(stat, input.Word());
      Expect(IsTruth(answer), "steam_store_stat", answer);
      break;
    }
    case 20: {
      const var answer = steam_time();
      Expect(IsScaledUnsigned(answer), "steam_time", answer);
      break;
    }
    case 21: {
      const var answer = steam_user();
      Expect(IsScaledUnsigned(answer), "steam_user", answer);
      break;
    }
  }
}

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
