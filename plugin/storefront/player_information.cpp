#include "player_information.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

#include "storefront_api.h"

namespace kelvo::storefront {
namespace {

// Text mode: each line end reaches the file as a carriage return and a line feed.
constexpr const char* kNewTextFile = "wt";
constexpr std::size_t kLongestPath = 1024;

// The storefront's text as it stands, with no formatting of ours; a missing text is empty.
bool WriteLine(std::FILE* file, const char* text) {
  return (!text || std::fputs(text, file) >= 0) && std::fputc('\n', file) != EOF;
}

bool MoveOver(const char* from, const char* to) {
#ifdef _WIN32
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
#else
  return std::rename(from, to) == 0;
#endif
}

// Replaces the text file at `path` whole with what `write` puts into it, or leaves it as it was:
// a write that fails partway never leaves a short file. The text goes to "<path>.new" first, which
// then takes the file's place.
template <typename Write>
bool ReplaceTextFile(const char* path, Write write) {
  char next[kLongestPath];
  if (std::snprintf(next, sizeof next, "%s.new", path) >= static_cast<int>(sizeof next)) return false;
  std::FILE* file = std::fopen(next, kNewTextFile);
  if (!file) return false;
  const bool written = write(file) && std::fflush(file) == 0;
  if (std::fclose(file) == 0 && written && MoveOver(next, path)) return true;
  std::remove(next);
  return false;
}

}  // namespace

std::uint32_t AccountNumber() {
  ISteamUser* user = SteamUser();
  if (!user) return 0;
  CSteamID id{0};
  user->GetSteamID(&id);
  return id.GetAccountID();
}

std::uint32_t SecondsSinceAppActive() {
  ISteamUtils* utils = SteamUtils();
  return utils ? utils->GetSecondsSinceAppActive() : 0;
}

std::uint32_t AppId() {
  ISteamUtils* utils = SteamUtils();
  return utils ? utils->GetAppID() : 0;
}

bool WriteCountryFile(const char* path) {
  ISteamUtils* utils = SteamUtils();
  ISteamFriends* friends = SteamFriends();
  if (!utils || !friends) return false;
  return ReplaceTextFile(path, [&](std::FILE* file) {
    return WriteLine(file, utils->GetIPCountry()) && WriteLine(file, SteamAPI_GetSteamInstallPath()) &&
           WriteLine(file, friends->GetPersonaName());
  });
}

bool WriteGreetingFile(const char* path) {
  return ReplaceTextFile(path, [](std::FILE* file) { return std::fputs("HELLO", file) >= 0; });
}

bool WriteCountryFile() { return WriteCountryFile(kCountryFilePath); }
bool WriteGreetingFile() { return WriteGreetingFile(kGreetingFilePath); }

}  // namespace kelvo::storefront
