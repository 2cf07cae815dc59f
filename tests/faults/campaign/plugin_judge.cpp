#include "plugin_judge.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <sstream>

namespace fault_campaign::plugin {

const char kScript[] =
    "auflip obj\n"
    "steam_init\n"
    "steam_stats\n"
    "steam_callback\n"
    "steam_get_ach \"ACH_WIN_ONE_GAME\"\n"
    "steam_store \"ACH_WIN_ONE_GAME\"\n"
    "steam_callback\n"
    "steam_get_ach \"ACH_WIN_ONE_GAME\"\n"
    "steam_reset \"ACH_WIN_ONE_GAME\"\n"
    "steam_get_stat \"FeetTraveled\"\n"
    "steam_add_stat \"FeetTraveled\"\n"
    "steam_get_stat \"FeetTraveled\"\n"
    "steam_store_stat \"NumGames\" int 5120\n"
    "steam_record_abre\n"
    "steam_callback\n"
    "steam_record_add var 1500\n"
    "steam_record_abre_level var 3\n"
    "steam_record_add var 1234\n"
    "steam_callback\n"
    "steam_record_add var 1234\n"
    "steam_callback\n"
    "steam_record\n"
    "steam_user\n"
    "steam_time\n"
    "steam_gameid\n"
    "steam_country\n"
    "steam_country\n"
    "say_hello\n"
    "steam_stop\n"
    "start_steam\n"
    "steam_stats\n"
    "steam_callback\n"
    "steam_stop\n";

const char kState[] = R"({
  "player": {"account_id": 1000, "persona_name": "Offline %s Player", "country": "US",
             "install_folder": "C:\\Storefront", "app_id": 1523254},
  "achievements": {"ACH_WIN_ONE_GAME": false, "ACH_TRAVEL_FAR": true},
  "stats": {"FeetTraveled": {"type": "float", "value": 2.5}, "NumGames": {"type": "int", "value": 0}},
  "leaderboards": {"Vorlan2": {}, "Level1": {}, "Level2": {}, "Level3": {}, "Level4": {}, "Level5": {},
                   "Level6": {}, "Level7": {}, "Level8": {}}
})";

namespace {

constexpr long long kVar = 1024;
constexpr long long kAnyAnswer = 0x7FFFFFFFFFFFLL;  // steam_record: its answer means nothing
constexpr long long kElapsedSeconds = -1;           // steam_time: the seconds the run has taken

// What each line of kScript answers undisturbed, against a storefront holding kState (the
// scenario's storefront state, in the campaign's folder): the answers the exports' rules give.
constexpr long long kUndisturbedAnswers[] = {
    0,                // auflip: its argument, checked apart
    kVar,             // steam_init: the client runs
    kVar,             // steam_stats
    kVar,             // steam_callback
    0,                // steam_get_ach: not unlocked yet
    0,                // steam_store
    kVar,             // steam_callback
    kVar,             // steam_get_ach: unlocked now
    kVar,             // steam_reset
    2560,             // steam_get_stat: 2.5
    3584,             // steam_add_stat: 3.5
    3584,             // steam_get_stat
    kVar,             // steam_store_stat
    2 * kVar,         // steam_record_abre
    kVar,             // steam_callback: the lookup completes
    33 * kVar,        // steam_record_add: sent
    23 * kVar,        // steam_record_abre_level 3
    3 * kVar,         // steam_record_add: the lookup still pending
    kVar,             // steam_callback
    33 * kVar,        // steam_record_add
    kVar,             // steam_callback
    kAnyAnswer,       // steam_record
    1000 * kVar,      // steam_user: account 1000
    kElapsedSeconds,  // steam_time
    1559812096,       // steam_gameid: 1523254 * 1024
    1,                // steam_country
    1,                // steam_country
    1,                // say_hello
    kVar,             // steam_stop
    0,                // start_steam
    kVar,             // steam_stats
    kVar,             // steam_callback
    kVar,             // steam_stop
};

// What an export answers when its storefront call or its file fails, besides the shared cells'
// values (steam_get_ach, steam_get_stat, steam_add_stat), which Judgement follows.
const std::map<std::string, std::set<long long>> kFailureAnswers = {
    {"steam_init", {0}},
    {"start_steam", {-kVar}},
    {"steam_stats", {0}},
    {"steam_store", {}},
    {"steam_reset", {0}},
    {"steam_store_stat", {0}},
    {"steam_record_abre", {kVar}},               // no leaderboards object
    {"steam_record_abre_level", {kVar}},         // no leaderboards object
    {"steam_record_add", {kVar, 3 * kVar, 33 * kVar}},  // no object, no board open, sent
    {"steam_user", {0}},
    {"steam_time", {0}},
    {"steam_gameid", {0}},
    {"steam_country", {0}},
    {"say_hello", {0}},
    {"steam_callback", {}},
    {"steam_stop", {}},
};

std::string Raw(long long raw) {
  char text[64];
  std::snprintf(text, sizeof text, "raw %lld (var %g)", raw, static_cast<double>(raw) / kVar);
  return text;
}

bool IsCrash(unsigned long exitCode) { return exitCode >= 0xC0000000ul || exitCode == 3; }

// The storefront texts that the country file's lines hold, in their order.
constexpr const char* kCountryFileTexts[] = {"ISteamUtils::GetIPCountry", "steam_api.dll!SteamAPI_GetSteamInstallPath",
                                             "ISteamFriends::GetPersonaName"};

class Judgement {
 public:
  explicit Judgement(const Run& run, const std::string& import = {}) : run_(run), import_(import) {}

  Verdict Undisturbed() {
    verdict_.injected = true;
    if (!RanThrough()) return verdict_;
    for (std::size_t i = 0; i < run_.calls.size(); ++i) {
      const Call& call = run_.calls[i];
      const long long expected = kUndisturbedAnswers[i];
      if (call.exportName == "auflip") ExpectAuflip(call);
      else if (expected == kElapsedSeconds) ExpectElapsed(call);
      else if (expected != kAnyAnswer && call.raw != expected)
        Defect("line " + std::to_string(call.line) + " " + call.text + " answered " + Raw(call.raw) + ", not " + Raw(expected));
    }
    if (run_.countryFile != std::string("US\r\nC:\\Storefront\r\nOffline %s Player\r\n"))
      Defect("pais.txt holds \"" + run_.countryFile.value_or("(nothing)") + "\"");
    if (run_.greetingFile != std::string("HELLO")) Defect("alog.txt holds \"" + run_.greetingFile.value_or("(nothing)") + "\"");
    verdict_.outcome = "ran through";
    return verdict_;
  }

  Verdict Against(const Run& recorded) {
    verdict_.injected = std::any_of(run_.log.begin(), run_.log.end(), [](const LogLine& l) { return l.kind == "injected"; });
    for (const LogLine& line : run_.log)
      if (line.kind == "misuse") Defect("used a failed result: " + line.import + " given " + line.text);
    if (!RanThrough()) {
      if (!verdict_.injected) verdict_.outcome = "not reached; " + verdict_.outcome;
      return verdict_;
    }
    if (run_.binding != recorded.binding) Defect("the binding answered \"" + run_.binding + "\"");
    JudgeAnswers(recorded);
    JudgeFiles(recorded);
    if (!verdict_.injected) verdict_.outcome = "not reached; " + verdict_.outcome;
    return verdict_;
  }

 private:
  void Defect(const std::string& text) { verdict_.defects.push_back(text); }

  bool RanThrough() {
    if (run_.hung) {
      verdict_.hung = true;
      verdict_.outcome = "hung";
      Defect("a hang");
      return false;
    }
    if (run_.exited && IsCrash(run_.exitCode)) {
      verdict_.crashed = true;
      char code[16];
      std::snprintf(code, sizeof code, "0x%lx", run_.exitCode);
      verdict_.outcome = "crashed in line " + std::to_string(run_.calls.size() + 1) + ", exit code " + code;
      Defect("a crash");
      return false;
    }
    const std::size_t lines = sizeof kUndisturbedAnswers / sizeof kUndisturbedAnswers[0];
    if (!run_.exited || run_.exitCode != 0 || run_.calls.size() != lines) {
      verdict_.outcome = "the script stopped after " + std::to_string(run_.calls.size()) + " of " +
                         std::to_string(lines) + " lines, exit code " + std::to_string(run_.exitCode);
      Defect("the game did not run its script through");
      return false;
    }
    return true;
  }

  void ExpectAuflip(const Call& call) {
    if (call.answerLine.find("(argument 1 itself)") == std::string::npos)
      Defect("auflip did not answer its argument: " + call.answerLine);
  }

  void ExpectElapsed(const Call& call) {
    if (call.raw < 0 || call.raw % kVar != 0 || call.raw > 3600 * kVar)
      Defect("steam_time answered " + Raw(call.raw));
  }

  // Each answer is the recorded one or one its failure gives. The achievement flag and the stat
  // value are shared cells that a failed read leaves as they were, so their candidates are
  // followed from line to line.
  void JudgeAnswers(const Run& recorded) {
    std::set<long long> flag = {0}, stat = {0};
    std::string changed;
    for (std::size_t i = 0; i < run_.calls.size(); ++i) {
      const Call& call = run_.calls[i];
      const Call& before = recorded.calls[i];
      std::set<long long> allowed = {before.raw};
      const std::string& name = call.exportName;
      if (name == "steam_get_ach") {
        allowed.insert(flag.begin(), flag.end());
        flag = {call.raw};
      } else if (name == "steam_get_stat") {
        allowed.insert(stat.begin(), stat.end());
        stat = {call.raw};
      } else if (name == "steam_add_stat") {
        for (long long value : stat) allowed.insert({value, value + kVar});
        stat.insert(call.raw - kVar);
      } else if (const auto failure = kFailureAnswers.find(name); failure != kFailureAnswers.end()) {
        allowed.insert(failure->second.begin(), failure->second.end());
      }
      if (name == "auflip") {
        ExpectAuflip(call);
      } else if (name == "steam_time") {
        ExpectElapsed(call);
      } else if (name != "steam_record" && !allowed.count(call.raw)) {
        Defect("line " + std::to_string(call.line) + " " + call.text + " answered " + Raw(call.raw));
      }
      if (changed.empty() && call.raw != before.raw && name != "steam_time" && name != "auflip" && name != "steam_record")
        changed = call.text + " answered " + Raw(call.raw) + " instead of " + Raw(before.raw);
    }
    verdict_.outcome = changed.empty() ? "every answer as undisturbed" : changed;
  }

  void JudgeFiles(const Run& recorded) {
    if (run_.countryFile && run_.countryFile != recorded.countryFile && run_.countryFile != WithTextMissing(recorded))
      Defect("pais.txt is neither complete nor absent: \"" + *run_.countryFile + "\"");
    if (run_.greetingFile && run_.greetingFile != recorded.greetingFile)
      Defect("alog.txt is neither complete nor absent: \"" + *run_.greetingFile + "\"");
    for (const std::string& file : run_.diagnosticFolder)
      if (file != "pais.txt" && file != "alog.txt") Defect("left behind in c:\\1_temp: " + file);
  }

  // The country file with the line of the text made to fail empty, as the plug-in writes a
  // missing text.
  std::optional<std::string> WithTextMissing(const Run& recorded) const {
    if (!recorded.countryFile) return std::nullopt;
    std::string file = *recorded.countryFile;
    std::size_t start = 0;
    for (const char* text : kCountryFileTexts) {
      const std::size_t end = file.find('\n', start);
      if (end == std::string::npos) return std::nullopt;
      if (import_ == text) {
        const std::size_t lineEnd = end > start && file[end - 1] == '\r' ? end - 1 : end;
        return file.erase(start, lineEnd - start);
      }
      start = end + 1;
    }
    return std::nullopt;
  }

  const Run& run_;
  const std::string import_;
  Verdict verdict_;
};

}  // namespace

void ReadTranscript(const std::string& transcript, Run& run) {
  std::istringstream lines(transcript);
  Call* open = nullptr;
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("A6_DLLAPI -> ", 0) == 0) {
      run.binding = line;
      continue;
    }
    // The plug-in's own output may end without a line end, so the answer can follow it on a line.
    const std::size_t answer = line.find("  -> raw ");
    if (answer != std::string::npos && open) {
      open->answerLine = line.substr(answer);
      open->raw = std::strtoll(line.c_str() + answer + 9, nullptr, 10);
      open = nullptr;
      continue;
    }
    const std::size_t colon = line.find(": ");
    if (colon == std::string::npos || colon == 0 ||
        line.find_first_not_of("0123456789") != colon)
      continue;
    Call call;
    call.line = std::atoi(line.c_str());
    call.text = line.substr(colon + 2);
    call.exportName = call.text.substr(0, call.text.find(' '));
    run.calls.push_back(call);
    open = &run.calls.back();
  }
  // A line whose answer never came did not finish.
  if (open) run.calls.pop_back();
}

Verdict JudgeUndisturbed(const Run& run) { return Judgement(run).Undisturbed(); }

Verdict Judge(const Run& recorded, const Run& run, const std::string& import) {
  return Judgement(run, import).Against(recorded);
}

}  // namespace fault_campaign::plugin
