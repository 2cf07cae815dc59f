#include "engine_host.h"

#include <cinttypes>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "standin_layout.h"

namespace vorlan {
namespace {

#define HOST_CDECL __attribute__((cdecl))

// The host's record of a named object: kind 6 is a script function at first; kinds 3 and 9
// keep their object in second, the others in first.
struct SymbolRecord {
  ScriptValue first;
  ScriptValue second;
  ScriptValue kind;
};

using HostFunction = void (*)();

struct EngineRecord {
  unsigned char engineState[2604];
  SymbolRecord*(HOST_CDECL* objectLookup)(const char* name);
  HostFunction(HOST_CDECL* functionLookup)(const char* name);
  unsigned char moreEngineState[8];
  ScriptValue(HOST_CDECL* scriptCall)(ScriptValue script, ScriptValue a, ScriptValue b, ScriptValue c,
                                      ScriptValue d);
  unsigned char tail[64];
};
static_assert(offsetof(EngineRecord, objectLookup) == standin::layout::kThisBuild.objectLookup);
static_assert(offsetof(EngineRecord, functionLookup) == standin::layout::kThisBuild.functionLookup);
static_assert(offsetof(EngineRecord, scriptCall) == standin::layout::kThisBuild.scriptCall);

std::vector<std::string> g_functionRequests;  // global

// A few engine functions of the host's own, so that lookups have real answers.
void HOST_CDECL Beep() { std::printf("host: beep\n"); }
std::int32_t HOST_CDECL Timer() { return 1024; }
std::int32_t HOST_CDECL StrLen(const char* text) {
  return static_cast<std::int32_t>(std::strlen(text)) << 10;
}
void HOST_CDECL DebugPosition() {}

// A script function of the host's own; the script call runs it.
ScriptValue HOST_CDECL LevelDone(ScriptValue a, ScriptValue b, ScriptValue c, ScriptValue d) {
  std::printf("host: script level_done(%" PRIdPTR ", %" PRIdPTR ", %" PRIdPTR ", %" PRIdPTR ")\n", a, b,
              c, d);
  return a + b + c + d;
}

struct NamedFunction {
  const char* name;
  HostFunction function;
};
const NamedFunction kHostFunctions[] = {
    {"beep", reinterpret_cast<HostFunction>(&Beep)},
    {"timer", reinterpret_cast<HostFunction>(&Timer)},
    {"str_len", reinterpret_cast<HostFunction>(&StrLen)},
    {"engine_getobj", reinterpret_cast<HostFunction>(&Timer)},
    {"engine_debugposition", reinterpret_cast<HostFunction>(&DebugPosition)},
};

struct NamedSymbol {
  const char* name;
  SymbolRecord record;
};
NamedSymbol g_symbols[] = {  // global
    {"level_done", {reinterpret_cast<ScriptValue>(&LevelDone), 0, 6}},
    {"player", {0, 7777, 3}},
    {"level_score", {1234, 0, 1}},
};

HostFunction HOST_CDECL LookUpFunction(const char* name) {
  g_functionRequests.emplace_back(name ? name : "");
  for (const NamedFunction& entry : kHostFunctions)
    if (name && std::strcmp(entry.name, name) == 0) return entry.function;
  return nullptr;
}

SymbolRecord* HOST_CDECL LookUpObject(const char* name) {
  for (NamedSymbol& entry : g_symbols)
    if (name && std::strcmp(entry.name, name) == 0) return &entry.record;
  return nullptr;
}

ScriptValue HOST_CDECL CallScript(ScriptValue script, ScriptValue a, ScriptValue b, ScriptValue c,
                                  ScriptValue d) {
  using ScriptFunction = ScriptValue(HOST_CDECL*)(ScriptValue, ScriptValue, ScriptValue, ScriptValue);
  for (const NamedSymbol& entry : g_symbols)
    if (entry.record.kind == 6 && entry.record.first == script && script != 0)
      return reinterpret_cast<ScriptFunction>(script)(a, b, c, d);
  std::printf("host: script call of unknown script function %" PRIdPTR "\n", script);
  return 0;
}

EngineRecord MakeRecord() {
  EngineRecord record;
  std::memset(&record, 0, sizeof record);
  record.objectLookup = &LookUpObject;
  record.functionLookup = &LookUpFunction;
  record.scriptCall = &CallScript;
  return record;
}

const EngineRecord g_engineRecord = MakeRecord();  // global

}  // namespace

const void* EngineInterfaceRecord() { return &g_engineRecord; }

const std::vector<std::string>& FunctionRequests() { return g_functionRequests; }

}  // namespace vorlan
