// Stand-in for the game executable. Every start is appended to "vorlan_started.txt" beside it
// (its exact command line and the show-window mode it was given). Then it plays the host engine:
// it loads "kelvo.dll" from its own folder, binds it through A6_DLLAPI with an engine interface
// record of its own, and runs a game script ("-script FILE", else "vorlan_script.txt" beside
// it when present), one export call a line. What it prints goes to standard output and to
// "vorlan_output.txt" beside it; the names the plug-in asked the engine for go to
// "vorlan_lookups.txt". Exit code 0, or 1 when the plug-in or the script cannot be used.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <string>

#include "engine_host.h"
#include "game_script.h"
#include "standin_layout.h"
#include "transcript.h"

namespace {

std::string OwnFolder() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of("\\/") + 1);
}

// The show-window mode from the starter's record, or -1 when the starter gave none.
int ShowWindowMode() {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  return (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
}

void RecordStart(const std::string& folder) {
  std::FILE* record = std::fopen((folder + "vorlan_started.txt").c_str(), "ab");
  if (!record) return;
  std::fprintf(record, "command line=%s\nshow window=%d\n", GetCommandLineA(), ShowWindowMode());
  std::fclose(record);
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The "-script" argument's position on the command line, or 0 without one.
int ScriptArgument() {
  for (int i = 1; i < __argc; ++i)
    if (std::strcmp(__argv[i], "-script") == 0) return i;
  return 0;
}

// The script named by "-script FILE", else the default script beside us when present; empty for
// none, or when "-script" names no file.
std::string ScriptPath(const std::string& folder) {
  if (const int position = ScriptArgument())
    return position + 1 < __argc ? __argv[position + 1] : std::string();
  const std::string defaultScript = folder + "vorlan_script.txt";
  return Exists(defaultScript) ? defaultScript : std::string();
}

// The host's string record; the character pointer sits at byte offset 12 in the 32-bit product.
struct HostString {
  std::int32_t kind = 4;
  std::int32_t flags = 0;
  std::int32_t length = 0;
  const char* chars = nullptr;
};
static_assert(offsetof(HostString, chars) == standin::layout::kThisBuild.stringChars);

// A string record with the characters it points at.
struct ScriptString {
  HostString record;
  std::string storage;
};

// A host object record; its var field sits at byte offset 36.
struct HostObject {
  std::int32_t fields[12] = {};
  std::int32_t& Value() { return fields[9]; }
};

using vorlan::ScriptValue;

ScriptValue AsValue(const void* pointer) { return reinterpret_cast<ScriptValue>(pointer); }

// The plug-in's export of that name as a C function of the given type, or null.
template <typename Function>
Function ExportOf(HMODULE plugin, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(plugin, name)));
}

using AnyExport = ScriptValue(__cdecl*)(ScriptValue, ScriptValue, ScriptValue, ScriptValue, ScriptValue,
                                        ScriptValue, ScriptValue, ScriptValue);

// Whether an export's answer is the argument itself. A number is compared in its 32 bits (only
// they are defined in a 32-bit answer), a record by its whole address.
bool AnswersArgument(ScriptValue answer, const vorlan::ScriptArgument& argument, ScriptValue value) {
  if (argument.kind == vorlan::ScriptArgument::Kind::Number)
    return argument.number != 0 && static_cast<std::int32_t>(answer) == argument.number;
  return value != 0 && answer == value;
}

// Runs one call against the plug-in and prints its answer; false when the plug-in lacks it.
bool RunCall(HMODULE plugin, const vorlan::ScriptCall& call) {
  const auto function = ExportOf<AnyExport>(plugin, call.exportName.c_str());
  if (!function) {
    std::printf("error: kelvo.dll has no export \"%s\"\n", call.exportName.c_str());
    return false;
  }
  std::deque<ScriptString> strings;
  std::deque<HostObject> objects;
  ScriptValue values[vorlan::kMaxArguments] = {};
  for (std::size_t i = 0; i < call.arguments.size(); ++i) {
    const vorlan::ScriptArgument& argument = call.arguments[i];
    switch (argument.kind) {
      case vorlan::ScriptArgument::Kind::Number:
        values[i] = argument.number;
        break;
      case vorlan::ScriptArgument::Kind::String: {
        ScriptString& string = strings.emplace_back();
        string.storage = argument.text;
        string.record.chars = string.storage.c_str();
        string.record.length = static_cast<std::int32_t>(string.storage.size());
        values[i] = AsValue(&string.record);
        break;
      }
      case vorlan::ScriptArgument::Kind::NoChars:
        values[i] = AsValue(&strings.emplace_back().record);
        break;
      case vorlan::ScriptArgument::Kind::Object:
        values[i] = AsValue(&objects.emplace_back());
        break;
      case vorlan::ScriptArgument::Kind::Null:
        values[i] = 0;
        break;
    }
  }
  const ScriptValue answer = function(values[0], values[1], values[2], values[3], values[4], values[5],
                                      values[6], values[7]);
  std::printf("  -> %s", vorlan::DescribeAnswer(static_cast<std::int32_t>(answer)).c_str());
  for (std::size_t i = 0; i < call.arguments.size(); ++i)
    if (AnswersArgument(answer, call.arguments[i], values[i])) std::printf(" (argument %u itself)", unsigned(i + 1));
  std::printf("\n");
  std::size_t objectNumber = 0;
  for (HostObject& object : objects)
    std::printf("  obj %u: var field %s\n", unsigned(++objectNumber),
                vorlan::DescribeAnswer(object.Value()).c_str());
  return true;
}

// Runs every line of the script in order; false at the first line that cannot run.
bool RunScript(HMODULE plugin, const std::string& path) {
  std::ifstream script(path, std::ios::binary);
  if (!script) {
    std::printf("error: cannot read the script \"%s\"\n", path.c_str());
    return false;
  }
  std::string line;
  for (int number = 1; std::getline(script, line); ++number) {
    try {
      const auto call = vorlan::ParseScriptLine(line);
      if (!call) continue;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      std::printf("%d: %s\n", number, line.c_str());
      if (!RunCall(plugin, *call)) return false;
    } catch (const vorlan::ScriptError& error) {
      std::printf("error: %s line %d: %s\n", path.c_str(), number, error.what());
      return false;
    }
  }
  return true;
}

// Binds the plug-in like the engine does and writes the names it asked for beside us.
bool Bind(HMODULE plugin, const std::string& folder) {
  using BindEntry = std::int32_t(__cdecl*)(const void*);
  const auto bind = ExportOf<BindEntry>(plugin, "A6_DLLAPI");
  if (!bind) {
    std::printf("error: kelvo.dll has no export \"A6_DLLAPI\"\n");
    return false;
  }
  const std::int32_t answer = bind(vorlan::EngineInterfaceRecord());
  std::ofstream lookups(folder + "vorlan_lookups.txt", std::ios::binary | std::ios::trunc);
  for (const std::string& name : vorlan::FunctionRequests()) lookups << name << '\n';
  std::printf("A6_DLLAPI -> %s, %u function lookups (vorlan_lookups.txt)\n",
              vorlan::DescribeAnswer(answer).c_str(), unsigned(vorlan::FunctionRequests().size()));
  return true;
}

int RunHost(const std::string& folder) {
  const std::string pluginPath = folder + "kelvo.dll";
  const std::string scriptPath = ScriptPath(folder);
  if (!Exists(pluginPath)) {
    std::printf("error: no kelvo.dll beside the game\n");
    return 1;
  }
  const HMODULE plugin = LoadLibraryExA(pluginPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!plugin) {
    std::printf("error: kelvo.dll does not load (error %lu)\n", GetLastError());
    return 1;
  }
  if (!Bind(plugin, folder)) return 1;
  if (scriptPath.empty()) {
    if (!ScriptArgument()) return 0;
    std::printf("error: -script names no file\n");
    return 1;
  }
  return RunScript(plugin, scriptPath) ? 0 : 1;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const std::string folder = OwnFolder();
  RecordStart(folder);
  if (!Exists(folder + "kelvo.dll") && !ScriptArgument()) return 0;  // a start is only recorded
  vorlan::Transcript transcript;
  transcript.Start(folder + "vorlan_output.txt");
  const int exitCode = RunHost(folder);
  transcript.Finish();
  return exitCode;
}
