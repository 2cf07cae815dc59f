#include "offline_state.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "replace_file.h"

namespace offline {

using nlohmann::json;

namespace {

constexpr std::uint32_t kLargestAppId = 16777215;  // the game id keeps the number in 24 bits
constexpr int kLargestLookupPumps = 1000000;
constexpr std::size_t kLargestDetails = 64;

[[noreturn]] void Invalid(const std::string& what) { throw std::runtime_error(what); }

template <class Integer>
Integer ReadInteger(const json& value, const std::string& what) {
  if (!value.is_number_integer()) Invalid(what + " must be a whole number");
  if (value.is_number_unsigned()) {
    const auto number = value.get<std::uint64_t>();
    if (number > static_cast<std::uint64_t>(std::numeric_limits<Integer>::max())) Invalid(what + " is too large");
    return static_cast<Integer>(number);
  }
  const auto number = value.get<std::int64_t>();
  if (number < static_cast<std::int64_t>(std::numeric_limits<Integer>::min()) ||
      number > static_cast<std::int64_t>(std::numeric_limits<Integer>::max()))
    Invalid(what + " is out of range");
  return static_cast<Integer>(number);
}

bool ReadBool(const json& value, const std::string& what) {
  if (!value.is_boolean()) Invalid(what + " must be true or false");
  return value.get<bool>();
}

std::string ReadText(const json& value, const std::string& what) {
  if (!value.is_string()) Invalid(what + " must be a text");
  return value.get<std::string>();
}

const json& ReadObject(const json& value, const std::string& what) {
  if (!value.is_object()) Invalid(what + " must be an object");
  return value;
}

void CheckName(const std::string& name, const std::string& what) {
  if (!IsStorableName(name.c_str()) || name.size() != std::strlen(name.c_str()))
    Invalid(what + " \"" + name + "\" is not a name of 1 to 127 bytes");
}

void ReadKnobs(const json& object, Knobs& knobs) {
  for (const auto& [key, value] : ReadObject(object, "\"knobs\"").items()) {
    const std::string what = "knob \"" + key + "\"";
    if (key == "init_fails") knobs.initFails = ReadBool(value, what);
    else if (key == "lookup_pumps") {
      knobs.lookupPumps = ReadInteger<int>(value, what);
      if (knobs.lookupPumps < 1 || knobs.lookupPumps > kLargestLookupPumps) Invalid(what + " must be from 1 to 1000000");
    } else if (key == "create_boards_on_find") knobs.createBoardsOnFind = ReadBool(value, what);
    else if (key == "io_failure") knobs.ioFailure = ReadBool(value, what);
    else if (key == "store_result") knobs.storeResult = ReadInteger<std::int32_t>(value, what);
    else if (key == "seconds_active_offset") knobs.secondsActiveOffset = ReadInteger<std::uint32_t>(value, what);
    else if (key == "accept_unknown_names") knobs.acceptUnknownNames = ReadBool(value, what);
    else if (key == "unlocked_byte") {
      knobs.unlockedByte = ReadInteger<std::uint8_t>(value, what);
      if (knobs.unlockedByte == 0) Invalid(what + " must be from 1 to 255");
    }    else Invalid("unknown " + what);
  }
}

Player ReadPlayer(const json& object) {
  Player player = DefaultState().player;
  for (const auto& [key, value] : ReadObject(object, "\"player\"").items()) {
    const std::string what = "player \"" + key + "\"";
    if (key == "account_id") player.accountId = ReadInteger<std::uint32_t>(value, what);
    else if (key == "persona_name") player.personaName = ReadText(value, what);
    else if (key == "country") player.country = ReadText(value, what);
    else if (key == "install_folder") player.installFolder = ReadText(value, what);
    else if (key == "app_id") {
      player.appId = ReadInteger<std::uint32_t>(value, what);
      if (player.appId == 0 || player.appId > kLargestAppId) Invalid(what + " must be from 1 to 16777215");
    } else Invalid("unknown " + what);
  }
  return player;
}

Stat ReadStat(const std::string& name, const json& object) {
  const std::string what = "stat \"" + name + "\"";
  ReadObject(object, what);
  if (!object.contains("type") || !object.contains("value")) Invalid(what + " needs \"type\" and \"value\"");
  const std::string type = ReadText(object["type"], what + " type");
  Stat stat;
  if (type == "int") {
    stat.intValue = ReadInteger<std::int32_t>(object["value"], what + " value");
  } else if (type == "float") {
    if (!object["value"].is_number()) Invalid(what + " value must be a number");
    const double value = object["value"].get<double>();
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max()) Invalid(what + " value is out of range");
    stat.isFloat = true;
    stat.floatValue = static_cast<float>(value);
  } else {
    Invalid(what + " type must be \"int\" or \"float\"");
  }
  return stat;
}

Board ReadBoard(const std::string& name, const json& object) {
  const std::string what = "leaderboard \"" + name + "\"";
  Board board;
  for (const auto& [key, value] : ReadObject(object, what).items()) {
    if (key == "sort") {
      const std::string sort = ReadText(value, what + " sort");
      if (sort != "descending" && sort != "ascending") Invalid(what + " sort must be \"descending\" or \"ascending\"");
      board.ascending = sort == "ascending";
    } else if (key == "entries") {
      if (!value.is_array()) Invalid(what + " entries must be a list");
      for (const json& item : value) {
        ReadObject(item, what + " entry");
        BoardEntry entry;
        if (!item.contains("account_id") || !item.contains("score")) Invalid(what + " entry needs \"account_id\" and \"score\"");
        entry.accountId = ReadInteger<std::uint32_t>(item["account_id"], what + " account_id");
        entry.score = ReadInteger<std::int32_t>(item["score"], what + " score");
        if (item.contains("details")) {
          if (!item["details"].is_array() || item["details"].size() > kLargestDetails)
            Invalid(what + " details must be a list of at most 64 numbers");
          for (const json& detail : item["details"]) entry.details.push_back(ReadInteger<std::int32_t>(detail, what + " detail"));
        }
        for (const BoardEntry& earlier : board.entries)
          if (earlier.accountId == entry.accountId) Invalid(what + " lists account " + std::to_string(entry.accountId) + " twice");
        board.entries.push_back(std::move(entry));
      }
    } else {
      Invalid("unknown key \"" + key + "\" in " + what);
    }
  }
  return board;
}

}  // namespace

bool Knobs::operator==(const Knobs& other) const {
  return initFails == other.initFails && lookupPumps == other.lookupPumps &&
         createBoardsOnFind == other.createBoardsOnFind && ioFailure == other.ioFailure &&
         storeResult == other.storeResult && secondsActiveOffset == other.secondsActiveOffset &&
         acceptUnknownNames == other.acceptUnknownNames && unlockedByte == other.unlockedByte;
}

State DefaultState() {
  State state;
  state.player.appId = GAME_APP_ID;
  state.boards["Vorlan2"] = Board{};
  for (int level = 1; level <= 8; ++level) state.boards["Level" + std::to_string(level)] = Board{};
  return state;
}

bool IsStorableName(const char* name) {
  if (name == nullptr) return false;
  const std::size_t length = strnlen(name, 128);
  if (length == 0 || length > 127) return false;
  try {
    (void)json(std::string(name, length)).dump();  // rejects invalid UTF-8
    return true;
  } catch (const json::exception&) {
    return false;
  }
}

std::string ToJson(const State& state) {
  json out;
  out["player"] = {{"account_id", state.player.accountId},
                   {"persona_name", state.player.personaName},
                   {"country", state.player.country},
                   {"install_folder", state.player.installFolder},
                   {"app_id", state.player.appId}};
  out["achievements"] = json::object();
  for (const auto& [name, unlocked] : state.achievements) out["achievements"][name] = unlocked;
  out["stats"] = json::object();
  for (const auto& [name, stat] : state.stats) {
    out["stats"][name] = stat.isFloat ? json{{"type", "float"}, {"value", stat.floatValue}}
                                      : json{{"type", "int"}, {"value", stat.intValue}};
  }
  out["leaderboards"] = json::object();
  for (const auto& [name, board] : state.boards) {
    json entries = json::array();
    for (const BoardEntry& entry : board.entries)
      entries.push_back({{"account_id", entry.accountId}, {"score", entry.score}, {"details", entry.details}});
    out["leaderboards"][name] = {{"sort", board.ascending ? "ascending" : "descending"}, {"entries", entries}};
  }
  const Knobs& knobs = state.knobs;
  out["knobs"] = {{"init_fails", knobs.initFails},
                  {"lookup_pumps", knobs.lookupPumps},
                  {"create_boards_on_find", knobs.createBoardsOnFind},
                  {"io_failure", knobs.ioFailure},
                  {"store_result", knobs.storeResult},
                  {"seconds_active_offset", knobs.secondsActiveOffset},
                  {"accept_unknown_names", knobs.acceptUnknownNames},
                  {"unlocked_byte", knobs.unlockedByte}};
  // Every text came from a parsed file or passed IsStorableName; should one still not be valid
  // UTF-8, saving it altered beats losing the whole save.
  return out.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

State FromJson(const std::string& text) {
  json in;
  try {
    in = json::parse(text);
  } catch (const json::exception& error) {  // a syntax error, or a number beyond a double
    Invalid(std::string("not valid JSON: ") + error.what());
  }
  ReadObject(in, "the state");
  State state = DefaultState();
  for (const auto& [key, value] : in.items()) {
    if (key == "player") {
      state.player = ReadPlayer(value);
    } else if (key == "achievements") {
      state.achievements.clear();
      for (const auto& [name, unlocked] : ReadObject(value, "\"achievements\"").items()) {
        CheckName(name, "achievement");
        state.achievements[name] = ReadBool(unlocked, "achievement \"" + name + "\"");
      }
    } else if (key == "stats") {
      for (const auto& [name, stat] : ReadObject(value, "\"stats\"").items()) {
        CheckName(name, "stat");
        state.stats[name] = ReadStat(name, stat);
      }
    } else if (key == "leaderboards") {
      state.boards.clear();
      for (const auto& [name, board] : ReadObject(value, "\"leaderboards\"").items()) {
        CheckName(name, "leaderboard");
        state.boards[name] = ReadBoard(name, board);
      }
    } else if (key == "knobs") {
      ReadKnobs(value, state.knobs);
    } else {
      Invalid("unknown key \"" + key + "\"");
    }
  }
  return state;
}

void ApplyKnobs(const std::string& jsonObject, Knobs& knobs) {
  try {
    ReadKnobs(json::parse(jsonObject), knobs);
  } catch (const json::exception& error) {
    Invalid(std::string("not valid JSON: ") + error.what());
  }
}

LoadedState LoadStateFile(const std::string& path, bool setAsideCorrupt, std::ostream& errors) {
  namespace fs = std::filesystem;
  LoadedState loaded{DefaultState(), true, std::nullopt};
  std::error_code status;
  if (!fs::exists(path, status) && !status) return loaded;
  std::string problem;
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    problem = "it cannot be opened";
  } else {
    std::ostringstream text;
    text << file.rdbuf();
    try {
      loaded.state = FromJson(text.str());
      return loaded;
    } catch (const std::runtime_error& error) {
      problem = error.what();
    }
  }
  file.close();
  loaded.state = DefaultState();
  errors << "offline storefront: the state file " << path << " is unusable (" << problem << ").";
  if (setAsideCorrupt) {
    for (int number = 1; number < 1000 && !loaded.keptAs; ++number) {
      const std::string aside = path + ".corrupt-" + std::to_string(number);
      if (fs::exists(aside, status)) continue;
      fs::rename(path, aside, status);
      if (!status) loaded.keptAs = aside;
      else break;
    }
    if (loaded.keptAs) {
      errors << " It was kept as " << *loaded.keptAs << ";";
    } else {
      loaded.writable = false;
      errors << " It could not be set aside, so nothing will be saved over it;";
    }
    errors << " starting from the defaults.";
  }
  errors << "\n";
  return loaded;
}

bool SaveStateFile(const std::string& path, const State& state) {
  return utils::ReplaceFileContents(path, ToJson(state));
}

}  // namespace offline
