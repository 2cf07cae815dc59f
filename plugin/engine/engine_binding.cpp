#include "engine_binding.h"

#include <algorithm>
#include <array>

#include "engine_function_names.h"

namespace kelvo::engine {
namespace {

const EngineInterface* g_engine = nullptr;                             // global
std::array<EngineFunction, kEngineFunctionCount> g_engineFunctions{};  // global

std::size_t IndexOf(std::string_view name) {
  const auto* found = std::find(kEngineFunctionNames.begin(), kEngineFunctionNames.end(), name);
  return static_cast<std::size_t>(found - kEngineFunctionNames.begin());
}

EngineFunction& Entry(std::string_view name) { return g_engineFunctions[IndexOf(name)]; }

template <typename Function>
EngineFunction AsEntry(Function function) {
  return reinterpret_cast<EngineFunction>(function);
}

// The host's record for a name, or null when unbound or the host has none.
const EngineSymbol* LookUpObject(const char* name) {
  if (!g_engine || !g_engine->objectLookup) return nullptr;
  return g_engine->objectLookup(name);
}

// The host's script call with the script function and four values, or 0 when unbound.
EngineValue CallScript(EngineValue script, EngineValue a, EngineValue b, EngineValue c, EngineValue d) {
  if (!g_engine || !g_engine->scriptCall) return 0;
  return g_engine->scriptCall(script, a, b, c, d);
}

}  // namespace

std::int32_t Bind(const EngineInterface* engine) {
  if (!engine) return 0;
  g_engine = engine;
  const FunctionLookup lookUp = engine->functionLookup;  // read once for all names
  for (std::size_t i = 0; i < kEngineFunctionCount; ++i)
    g_engineFunctions[i] = lookUp ? lookUp(kEngineFunctionNames[i]) : nullptr;
  Entry("engine_getobj") = AsEntry(&engine_getobj);
  Entry("engine_getfunc") = AsEntry(&engine_getfunc);
  Entry("engine_getscript") = AsEntry(&engine_getscript);
  Entry("engine_callname4") = AsEntry(&engine_callname4);
  Entry("engine_callscript4") = AsEntry(&engine_callscript4);
  return kBound;
}

const EngineInterface* BoundInterface() { return g_engine; }

EngineFunction TableEntry(std::string_view name) {
  const std::size_t index = IndexOf(name);
  return index < kEngineFunctionCount ? g_engineFunctions[index] : nullptr;
}

EngineValue KELVO_CDECL engine_getobj(const char* name) {
  const EngineSymbol* symbol = LookUpObject(name);
  if (!symbol) return 0;
  return (symbol->kind == 3 || symbol->kind == 9) ? symbol->second : symbol->first;
}

EngineValue KELVO_CDECL engine_getfunc(const char* name) {
  if (!g_engine || !g_engine->functionLookup) return 0;
  return reinterpret_cast<EngineValue>(g_engine->functionLookup(name));
}

EngineValue KELVO_CDECL engine_getscript(const char* name) {
  const EngineSymbol* symbol = LookUpObject(name);
  return (symbol && symbol->kind == 6) ? symbol->first : 0;
}

EngineValue KELVO_CDECL engine_callname4(const char* name, EngineValue a, EngineValue b, EngineValue c,
                                         EngineValue d) {
  using GetScript = EngineValue(KELVO_CDECL*)(const char*);
  const auto getScript = reinterpret_cast<GetScript>(Entry("engine_getscript"));
  if (!getScript) return 0;
  return CallScript(getScript(name), a, b, c, d);
}

EngineValue KELVO_CDECL engine_callscript4(EngineValue script, EngineValue a, EngineValue b,
                                           EngineValue c, EngineValue d) {
  return CallScript(script, a, b, c, d);
}

}  // namespace kelvo::engine
