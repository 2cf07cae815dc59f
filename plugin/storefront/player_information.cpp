#include "player_information.h"

#include <cstdio>

#include "storefront_api.h"

namespace kelvo::storefront {
namespace {

// Text mode: each line end reaches the file as a carriage return and a line feed.
constexpr const char* kReplaceTextFile = "w+t";

// The storefront's text as it stands, with no formatting of ours; a missing text is empty.
void WriteLine(std::FILE* file, const char* text) {
  if (text) std::fputs(text, file);
  std::fputs("\n", file);
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
  std::FILE* file = std::fopen(path, kReplaceTextFile);
  if (!file) return false;
  WriteLine(file, utils->GetIPCountry());
  WriteLine(file, SteamAPI_GetSteamInstallPath());
  WriteLine(file, friends->GetPersonaName());
  return std::fclose(file) == 0;
}

bool WriteGreetingFile(const char* path) {
  std::FILE* file = std::fopen(path, kReplaceTextFile);
  if (!file) return false;
  std::fputs("HELLO", file);
  return std::fclose(file) == 0;
}

bool WriteCountryFile() { return WriteCountryFile(kCountryFilePath); }
bool WriteGreetingFile() { return WriteGreetingFile(kGreetingFilePath); }

}  // namespace kelvo::storefront
