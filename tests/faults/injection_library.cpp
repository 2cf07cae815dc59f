// fault_injection.dll: loaded into a program by the fault injector before the program's own code
// runs. It puts a thunk in place of every function the watched module imports (a module not yet
// loaded is patched as soon as the program loads it), of every function the module looks up by
// name, and of every operation of the storefront interfaces the module is handed. Each thunk asks
// fault_decide whether its call fails; the plan in the environment (injection_protocol.h) says
// which call does. It counts every call, by import, call site and scenario step, and writes what
// it counted when the program ends; it writes each failure it injects, and each null the module
// hands the system where a real object belongs, the moment it happens.
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "documented_failures.h"
#include "import_thunks.h"
#include "injection_protocol.h"

void* fault_originals[FAULT_THUNK_COUNT];

namespace {

using fault_injection::DocumentedFailure;
using fault_injection::kOutsideSite;

// What the program's environment asks of us.
struct Plan {
  std::string module;
  std::string record;
  std::string log;
  std::string fail;
  unsigned long long at = 0;
  bool bySite = false;
  std::uint32_t site = 0;
  std::int32_t step = 0;
  bool persistent = false;
};

// One watched function: an import, a function looked up by name, or an interface operation.
struct Function {
  std::string name;
  unsigned long long calls = 0;
};

// What a thunk stands for.
struct Thunk {
  std::size_t function;
  bool onlyFromModule;  // shared with other callers: count only the watched module's calls
};

// The calls from one site during one step, as the record lists them.
struct SiteCalls {
  unsigned long long count = 0;
  int injectable[2] = {-1, -1};
  unsigned long long sequence[2] = {0, 0};
  unsigned long long lastSequence = 0;
  std::string detail;
};
using SiteKey = std::tuple<std::size_t, std::uint32_t, std::int32_t>;  // function, site, step

Plan g_plan;                                   // global
std::vector<Function> g_functions;             // global
Thunk g_thunks[FAULT_THUNK_COUNT];             // global
std::size_t g_thunksUsed = 0;                  // global
HMODULE g_module = nullptr;                    // global: the watched module, once loaded
std::uintptr_t g_moduleStart = 0, g_moduleEnd = 0;  // global
fault_injection::StepBlock* g_stepBlock = nullptr;  // global
unsigned long long g_sequence = 0;             // global: calls the module made so far
unsigned long long g_planHits = 0;             // global: calls of the planned site seen
bool g_persisting = false;                     // global: the planned import fails from now on
int g_misuses = 0;                             // global
std::map<SiteKey, SiteCalls> g_record;         // global
std::map<void*, std::size_t> g_thunkOf;        // global: the thunk already standing for a target
std::set<void**> g_watchedTables;              // global: interface operation tables already watched
CRITICAL_SECTION g_lock;                       // global
FailedCall g_failedCall;                       // global: the answer the thunk gives back

// Functions the exception dispatcher calls through the module's imports: left alone.
constexpr const char* kNeverWatched[] = {"__C_specific_handler"};

// The storefront's interfaces and the operations the plug-in may call, by their place in the
// interface's operation table.
struct Operation {
  int position;
  const char* name;
};
struct StorefrontInterface {
  const char* accessor;
  const char* name;
  std::vector<Operation> operations;
};
const StorefrontInterface kInterfaces[] = {
    {"SteamUserStats", "ISteamUserStats",
     {{0, "RequestCurrentStats"}, {1, "GetStat(float)"}, {2, "GetStat(int32)"}, {3, "SetStat(float)"},
      {4, "SetStat(int32)"}, {6, "GetAchievement"}, {7, "SetAchievement"}, {8, "ClearAchievement"},
      {10, "StoreStats"}, {21, "FindLeaderboard"}, {28, "UploadLeaderboardScore"}}},
    {"SteamUser", "ISteamUser", {{2, "GetSteamID"}}},
    {"SteamUtils", "ISteamUtils", {{0, "GetSecondsSinceAppActive"}, {4, "GetIPCountry"}, {9, "GetAppID"}}},
    {"SteamFriends", "ISteamFriends", {{0, "GetPersonaName"}}},
};
constexpr std::size_t kInterfaceCount = sizeof kInterfaces / sizeof kInterfaces[0];

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%x", static_cast<unsigned>(value));
  return text;
}

Plan ReadPlan() {
  Plan plan;
  char text[4096];
  const DWORD length = GetEnvironmentVariableA(fault_injection::kPlanVariable, text, sizeof text);
  if (length == 0 || length >= sizeof text) return plan;
  std::string fields(text, length);
  std::size_t start = 0;
  while (start <= fields.size()) {
    std::size_t end = fields.find('|', start);
    if (end == std::string::npos) end = fields.size();
    const std::string field = fields.substr(start, end - start);
    const std::size_t equals = field.find('=');
    if (equals != std::string::npos) {
      const std::string key = field.substr(0, equals), value = field.substr(equals + 1);
      if (key == "module") plan.module = value;
      else if (key == "record") plan.record = value;
      else if (key == "log") plan.log = value;
      else if (key == "fail") plan.fail = value;
      else if (key == "at") plan.at = std::strtoull(value.c_str(), nullptr, 10);
      else if (key == "site") plan.bySite = true, plan.site = static_cast<std::uint32_t>(std::strtoul(value.c_str(), nullptr, 16));
      else if (key == "step") plan.step = static_cast<std::int32_t>(std::strtol(value.c_str(), nullptr, 10));
      else if (key == "persistent") plan.persistent = value == "1";
    }
    start = end + 1;
  }
  return plan;
}

// Appends one line to the log, at once, so that it survives whatever the program does next.
void Log(const std::string& line) {
  if (g_plan.log.empty()) return;
  const HANDLE file = CreateFileA(g_plan.log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const std::string text = line + "\n";
  DWORD written;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

std::int32_t CurrentStep() { return g_stepBlock ? g_stepBlock->step : 0; }

std::uint32_t SiteOf(void* returnAddress) {
  const auto address = reinterpret_cast<std::uintptr_t>(returnAddress);
  if (address < g_moduleStart || address >= g_moduleEnd) return kOutsideSite;
  return static_cast<std::uint32_t>(address - g_moduleStart);
}

std::size_t FunctionNamed(const std::string& name) {
  for (std::size_t i = 0; i < g_functions.size(); ++i)
    if (Lower(g_functions[i].name) == Lower(name)) return i;
  g_functions.push_back({name});
  return g_functions.size() - 1;
}

// A thunk for calls of `name` that go on to `target`; null when every thunk is taken.
void* ThunkFor(const std::string& name, void* target, bool onlyFromModule) {
  const auto known = g_thunkOf.find(target);
  if (known != g_thunkOf.end()) return fault_thunks[known->second];
  if (g_thunksUsed == FAULT_THUNK_COUNT) {
    Log("error\tno thunk left for " + name);
    return nullptr;
  }
  const std::size_t n = g_thunksUsed++;
  g_thunks[n] = {FunctionNamed(name), onlyFromModule};
  fault_originals[n] = target;
  g_thunkOf[target] = n;
  return fault_thunks[n];
}

void Store(void** place, void* value) {
  DWORD previous;
  if (!VirtualProtect(place, sizeof *place, PAGE_READWRITE, &previous)) return;
  *place = value;
  VirtualProtect(place, sizeof *place, previous, &previous);
}

bool IsCode(const void* address) {
  MEMORY_BASIC_INFORMATION region;
  if (!VirtualQuery(address, &region, sizeof region)) return false;
  constexpr DWORD kExecutable = PAGE_EXECUTE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  return (region.Protect & kExecutable) != 0;
}

std::string ModuleName(HMODULE module) {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
  std::string name(path, length);
  return name.substr(name.find_last_of("\\/") + 1);
}

// The operations of a storefront interface the module has been handed go through thunks too;
// others may call them, so only the module's own calls count.
void WatchInterface(void* object, std::size_t which) {
  void** table = *static_cast<void***>(object);
  if (!g_watchedTables.insert(table).second) return;
  for (const Operation& operation : kInterfaces[which].operations) {
    void* const current = table[operation.position];
    if (!IsCode(current)) continue;
    if (void* thunk = ThunkFor(std::string(kInterfaces[which].name) + "::" + operation.name, current, true))
      Store(&table[operation.position], thunk);
  }
}

// The storefront's accessors, called through the thunk of their import: each hands on what the
// real accessor answers, its interface watched first.
using Accessor = void*(__cdecl*)();
Accessor g_accessors[kInterfaceCount];  // global

template <std::size_t which>
void* __cdecl WatchedAccessor() {
  void* object = g_accessors[which]();
  if (object) {
    EnterCriticalSection(&g_lock);
    WatchInterface(object, which);
    LeaveCriticalSection(&g_lock);
  }
  return object;
}

template <std::size_t... which>
constexpr Accessor kWatchedAccessors[] = {WatchedAccessor<which>...};
const Accessor* const kAccessorWrappers = kWatchedAccessors<0, 1, 2, 3>;
static_assert(kInterfaceCount == 4);

// GetProcAddress, called through the thunk of the module's import: the function it finds is
// handed on as a thunk of its own.
using GetProcAddressFunction = FARPROC(WINAPI*)(HMODULE, LPCSTR);
GetProcAddressFunction g_getProcAddress;  // global

FARPROC WINAPI WatchedGetProcAddress(HMODULE module, LPCSTR name) {
  const FARPROC found = g_getProcAddress(module, name);
  if (!found || !HIWORD(reinterpret_cast<std::uintptr_t>(name))) return found;
  const DWORD error = GetLastError();
  EnterCriticalSection(&g_lock);
  void* thunk = ThunkFor(ModuleName(module) + "!" + name, reinterpret_cast<void*>(found), false);
  LeaveCriticalSection(&g_lock);
  SetLastError(error);
  return thunk ? reinterpret_cast<FARPROC>(thunk) : found;
}

// Where a call of the import `dll!name` goes on to: the real function, or our wrapper of it.
void* TargetFor(const std::string& dll, const std::string& name, void* real) {
  if (Lower(name) == "getprocaddress") {
    g_getProcAddress = reinterpret_cast<GetProcAddressFunction>(real);
    return reinterpret_cast<void*>(&WatchedGetProcAddress);
  }
  if (Lower(dll) == "steam_api.dll")
    for (std::size_t i = 0; i < kInterfaceCount; ++i)
      if (name == kInterfaces[i].accessor) {
        g_accessors[i] = reinterpret_cast<Accessor>(real);
        return reinterpret_cast<void*>(kAccessorWrappers[i]);
      }
  return real;
}

// Calls `visit(dll, name, slot)` for every import of `module` by name.
template <typename Visit>
void ForEachImport(HMODULE module, Visit visit) {
  auto* const base = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (!directory.VirtualAddress) return;
  for (auto* library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
       library->Name; ++library) {
    const char* dll = reinterpret_cast<const char*>(base + library->Name);
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + (library->OriginalFirstThunk ? library->OriginalFirstThunk
                                                                                          : library->FirstThunk));
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      visit(std::string(dll), std::string(reinterpret_cast<const char*>(byName->Name)),
            reinterpret_cast<void**>(&slots->u1.Function));
    }
  }
}

// Every function the module imports goes through a thunk from now on. Imports of data stay.
void WatchModule(HMODULE module) {
  g_module = module;
  const auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(module);
  const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(reinterpret_cast<BYTE*>(module) + dos->e_lfanew);
  g_moduleStart = reinterpret_cast<std::uintptr_t>(module);
  g_moduleEnd = g_moduleStart + nt->OptionalHeader.SizeOfImage;
  ForEachImport(module, [](const std::string& dll, const std::string& name, void** slot) {
    for (const char* never : kNeverWatched)
      if (name == never) return;
    if (!IsCode(*slot)) return;
    if (void* thunk = ThunkFor(dll + "!" + name, TargetFor(dll, name, *slot), false)) Store(slot, thunk);
  });
}

// The watched module not loaded yet: the program's own loads of libraries are watched for it.
using LoadLibraryExAFunction = HMODULE(WINAPI*)(LPCSTR, HANDLE, DWORD);
using LoadLibraryExWFunction = HMODULE(WINAPI*)(LPCWSTR, HANDLE, DWORD);
using LoadLibraryAFunction = HMODULE(WINAPI*)(LPCSTR);
using LoadLibraryWFunction = HMODULE(WINAPI*)(LPCWSTR);
LoadLibraryExAFunction g_loadLibraryExA;  // global
LoadLibraryExWFunction g_loadLibraryExW;  // global
LoadLibraryAFunction g_loadLibraryA;      // global
LoadLibraryWFunction g_loadLibraryW;      // global

HMODULE Loaded(HMODULE module) {
  const DWORD error = GetLastError();
  if (module && !g_module) {
    EnterCriticalSection(&g_lock);
    if (!g_module) {
      if (HMODULE watched = GetModuleHandleA(g_plan.module.c_str())) WatchModule(watched);
    }
    LeaveCriticalSection(&g_lock);
  }
  SetLastError(error);
  return module;
}
HMODULE WINAPI WatchLoadLibraryExA(LPCSTR name, HANDLE file, DWORD flags) { return Loaded(g_loadLibraryExA(name, file, flags)); }
HMODULE WINAPI WatchLoadLibraryExW(LPCWSTR name, HANDLE file, DWORD flags) { return Loaded(g_loadLibraryExW(name, file, flags)); }
HMODULE WINAPI WatchLoadLibraryA(LPCSTR name) { return Loaded(g_loadLibraryA(name)); }
HMODULE WINAPI WatchLoadLibraryW(LPCWSTR name) { return Loaded(g_loadLibraryW(name)); }

void WatchLoads(HMODULE program) {
  ForEachImport(program, [](const std::string&, const std::string& name, void** slot) {
    void* watcher = nullptr;
    if (name == "LoadLibraryExA") g_loadLibraryExA = reinterpret_cast<LoadLibraryExAFunction>(*slot), watcher = reinterpret_cast<void*>(&WatchLoadLibraryExA);
    else if (name == "LoadLibraryExW") g_loadLibraryExW = reinterpret_cast<LoadLibraryExWFunction>(*slot), watcher = reinterpret_cast<void*>(&WatchLoadLibraryExW);
    else if (name == "LoadLibraryA") g_loadLibraryA = reinterpret_cast<LoadLibraryAFunction>(*slot), watcher = reinterpret_cast<void*>(&WatchLoadLibraryA);
    else if (name == "LoadLibraryW") g_loadLibraryW = reinterpret_cast<LoadLibraryWFunction>(*slot), watcher = reinterpret_cast<void*>(&WatchLoadLibraryW);
    if (watcher) Store(slot, watcher);
  });
}

// What the first call of a site named, for the calls that name a library or a function.
std::string Detail(const std::string& name, const std::uintptr_t* arguments) {
  const std::string function = Lower(name.substr(name.find('!') + 1));
  std::uintptr_t text = 0;
  if (function == "loadlibraryexa" || function == "loadlibrarya" || function == "getmodulehandlea") text = arguments[0];
  else if (function == "getprocaddress") text = arguments[1];
  if (!HIWORD(text)) return "-";
  return reinterpret_cast<const char*>(text);
}

void Record(std::size_t function, std::uint32_t site, std::int32_t step, bool injectable,
            const std::uintptr_t* arguments) {
  SiteCalls& calls = g_record[{function, site, step}];
  const unsigned long long k = calls.count++;
  if (k < 2) {
    calls.injectable[k] = injectable ? 1 : 0;
    calls.sequence[k] = g_sequence;
  }
  if (k == 0) calls.detail = Detail(g_functions[function].name, arguments);
  calls.lastSequence = g_sequence;
}

void WriteRecord() {
  std::FILE* file = std::fopen(g_plan.record.c_str(), "wb");
  if (!file) return;
  for (const auto& [key, calls] : g_record) {
    const auto& [function, site, step] = key;
    auto flag = [](int injectable) { return injectable < 0 ? "-" : injectable ? "1" : "0"; };
    std::fprintf(file, "%s\t%s\t%s\t%d\t%llu\t%s\t%s\t%llu\t%llu\t%llu\t%s\n", fault_injection::kRecordCall,
                 g_functions[function].name.c_str(), Hex(site).c_str(), static_cast<int>(step), calls.count,
                 flag(calls.injectable[0]), flag(calls.injectable[1]), calls.sequence[0], calls.sequence[1],
                 calls.lastSequence, calls.detail.c_str());
  }
  std::fclose(file);
}

// Whether this call of the planned import is the one to fail.
bool Planned(std::size_t function, std::uint32_t site, std::int32_t step) {
  if (g_plan.fail.empty() || Lower(g_functions[function].name) != Lower(g_plan.fail)) return false;
  if (g_persisting) return true;
  bool hit;
  if (g_plan.bySite) {
    hit = site == g_plan.site && step == g_plan.step && ++g_planHits == g_plan.at;
  } else {
    hit = g_functions[function].calls == g_plan.at;
  }
  if (hit && g_plan.persistent) g_persisting = true;
  return hit;
}

const FailedCall* Fail(const DocumentedFailure& failure, std::size_t thunk, std::uint32_t site, std::int32_t step,
                       std::uintptr_t* arguments, DWORD lastError) {
  auto* const stream = reinterpret_cast<std::FILE*>(arguments[failure.streamArgument]);
  if (failure.effect == fault_injection::Effect::kStreamError && stream) stream->_flag |= _IOERR;
  if (failure.effect == fault_injection::Effect::kStreamClosedAnyway && stream)
    reinterpret_cast<int(__cdecl*)(std::FILE*)>(fault_originals[thunk])(stream);
  if (failure.effect == fault_injection::Effect::kHandleClosedAnyway)
    reinterpret_cast<BOOL(WINAPI*)(HANDLE)>(fault_originals[thunk])(reinterpret_cast<HANDLE>(arguments[failure.streamArgument]));
  Log(std::string(fault_injection::kLogInjected) + "\t" + g_functions[g_thunks[thunk].function].name + "\t" +
      Hex(site) + "\t" + std::to_string(step) + "\t" + std::string(failure.answer));
  if (failure.errorNumber) errno = failure.errorNumber;
  SetLastError(failure.lastError == fault_injection::kLastErrorKept ? lastError : failure.lastError);
  g_failedCall = {static_cast<std::uintptr_t>(failure.result), 0, failure.argumentBytes};
  return &g_failedCall;
}

}  // namespace

extern "C" const FailedCall* fault_decide(std::uintptr_t n, void* returnAddress, std::uintptr_t* arguments) {
  const DWORD lastError = GetLastError();
  const int errorNumber = errno;
  const Thunk& thunk = g_thunks[n];
  const std::uint32_t site = SiteOf(returnAddress);
  if (thunk.onlyFromModule && site == kOutsideSite) {
    SetLastError(lastError);
    return nullptr;
  }
  EnterCriticalSection(&g_lock);
  Function& function = g_functions[thunk.function];
  ++function.calls;
  ++g_sequence;
  const std::int32_t step = CurrentStep();
  const DocumentedFailure* failure = fault_injection::FindFailure(function.name, arguments);
  if (!g_plan.record.empty()) Record(thunk.function, site, step, failure != nullptr, arguments);
  if (const fault_injection::NeedsObject* misuse = fault_injection::FindMisuse(function.name, arguments)) {
    if (g_misuses++ < 20)
      Log(std::string(fault_injection::kLogMisuse) + "\t" + function.name + "\t" + Hex(site) + "\t" +
          std::to_string(step) + "\t" + std::string(misuse->what));
  }
  const FailedCall* failed = nullptr;
  if (Planned(thunk.function, site, step) && failure) failed = Fail(*failure, n, site, step, arguments, lastError);
  LeaveCriticalSection(&g_lock);
  if (!failed) {
    errno = errorNumber;
    SetLastError(lastError);
  }
  return failed;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    InitializeCriticalSection(&g_lock);
    g_plan = ReadPlan();
    if (g_plan.module.empty()) return TRUE;
    const std::string blockName = fault_injection::kStepBlockPrefix + std::to_string(GetCurrentProcessId());
    if (const HANDLE block = OpenFileMappingA(FILE_MAP_WRITE, FALSE, blockName.c_str()))
      g_stepBlock = static_cast<fault_injection::StepBlock*>(
          MapViewOfFile(block, FILE_MAP_WRITE, 0, 0, sizeof(fault_injection::StepBlock)));
    if (HMODULE module = GetModuleHandleA(g_plan.module.c_str())) {
      WatchModule(module);
    } else {
      WatchLoads(GetModuleHandleA(nullptr));
    }
    if (g_stepBlock) g_stepBlock->ready = 1;
  } else if (reason == DLL_PROCESS_DETACH && !g_plan.record.empty()) {
    WriteRecord();
  }
  return TRUE;
}
