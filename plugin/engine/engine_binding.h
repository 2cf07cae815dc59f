// The binding to the host engine: the host's engine interface record, the table of host
// functions the plug-in asks for, and the five table entries the plug-in answers itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "address_width_layout.h"
#include "c_calling_convention.h"

namespace kelvo::engine {

// A value that crosses the engine entries and the five functions below: 32 bits in the 32-bit
// product, as wide as an address in a 64-bit build, so that the function addresses it carries
// pass whole.
using EngineValue = std::intptr_t;

// The host's record of a named engine object: kind 6 is a script function (its address is
// first); kinds 3 and 9 keep the object in second, every other kind in first.
struct EngineSymbol {
  EngineValue first;
  EngineValue second;
  EngineValue kind;
};

using EngineFunction = void (*)();
using ObjectLookup = EngineSymbol*(KELVO_CDECL*)(const char* name);
using FunctionLookup = EngineFunction(KELVO_CDECL*)(const char* name);
using ScriptCall = EngineValue(KELVO_CDECL*)(EngineValue script, EngineValue a, EngineValue b,
                                             EngineValue c, EngineValue d);

// The host's engine interface record; only the three entries below are read, never written.
struct EngineInterface {
  unsigned char hostPart[2604];
  ObjectLookup objectLookup;
  FunctionLookup functionLookup;
  unsigned char hostPart2[8];
  ScriptCall scriptCall;
};
static_assert(offsetof(EngineInterface, objectLookup) == layout::kThisBuild.objectLookup);
static_assert(offsetof(EngineInterface, functionLookup) == layout::kThisBuild.functionLookup);
static_assert(offsetof(EngineInterface, scriptCall) == layout::kThisBuild.scriptCall);

// The answer of a binding, which the host may check.
constexpr std::int32_t kBound = 630;

// Keeps the record, asks the host for every engine function by name in table order, stores each
// answer (null too), then puts the plug-in's own five functions in their entries. A null record
// binds nothing, keeps the earlier binding and answers 0; a record without a function lookup
// binds with every host answer null.
std::int32_t Bind(const EngineInterface* engine);

// The bound record, null before the first binding.
const EngineInterface* BoundInterface();

// The table entry of a name from the engine function list; null for a name not in the list.
EngineFunction TableEntry(std::string_view name);

// The plug-in's own table entries. Each reads the bound record anew; without a binding, without
// the entry it needs, or when the host finds no object for the name, each answers 0.
EngineValue KELVO_CDECL engine_getobj(const char* name);
EngineValue KELVO_CDECL engine_getfunc(const char* name);
EngineValue KELVO_CDECL engine_getscript(const char* name);
EngineValue KELVO_CDECL engine_callname4(const char* name, EngineValue a, EngineValue b, EngineValue c,
                                         EngineValue d);
EngineValue KELVO_CDECL engine_callscript4(EngineValue script, EngineValue a, EngineValue b,
                                           EngineValue c, EngineValue d);

}  // namespace kelvo::engine
