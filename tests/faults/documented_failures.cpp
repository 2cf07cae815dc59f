#include "documented_failures.h"

#include <iterator>

namespace fault_injection {
namespace {

// The platform's error codes and errno values, as its headers define them.
constexpr std::uint32_t ERROR_FILE_NOT_FOUND = 2;
constexpr std::uint32_t ERROR_ACCESS_DENIED = 5;
constexpr std::uint32_t ERROR_INVALID_HANDLE = 6;
constexpr std::uint32_t ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr std::uint32_t ERROR_INVALID_PARAMETER = 87;
constexpr std::uint32_t ERROR_DISK_FULL = 112;
constexpr std::uint32_t ERROR_MOD_NOT_FOUND = 126;
constexpr std::uint32_t ERROR_PROC_NOT_FOUND = 127;
constexpr std::uint32_t ERROR_INVALID_ADDRESS = 487;
constexpr std::uint32_t ERROR_INVALID_WINDOW_HANDLE = 1400;
constexpr std::uint32_t ERROR_CONTROL_ID_NOT_FOUND = 1421;
constexpr std::uint32_t ERROR_RESOURCE_NAME_NOT_FOUND = 1814;
constexpr int kIoError = 5;         // EIO
constexpr int kNoMemory = 12;       // ENOMEM
constexpr int kNoAccess = 13;       // EACCES
constexpr int kBadArgument = 22;    // EINVAL
constexpr int kNoSpace = 28;        // ENOSPC
constexpr std::intptr_t kInvalidHandle = -1;        // INVALID_HANDLE_VALUE, INVALID_FILE_ATTRIBUTES
constexpr std::intptr_t kInvalidColour = 0xFFFFFFFF;  // CLR_INVALID
constexpr std::intptr_t kEndOfFile = -1;            // EOF, SIG_ERR (as an integer)
constexpr std::intptr_t kListError = -1;            // CB_ERR
constexpr std::intptr_t kListOutOfSpace = -2;       // CB_ERRSPACE

// The messages whose answer can report a failure.
constexpr std::uintptr_t CB_ADDSTRING = 0x143;
constexpr std::uintptr_t CB_SETITEMHEIGHT = 0x153;

template <std::uintptr_t message>
bool Sends(const std::uintptr_t* arguments) {
  return arguments[1] == message;
}

constexpr auto kOnly = Effect::kAnswerOnly;
constexpr auto kKept = kLastErrorKept;

// import, argument bytes, result, last error, errno, effect, stream argument, covers, answer
constexpr DocumentedFailure kFailures[] = {
    // Drawing: creations run out of resources; drawing and selecting answer that they did nothing.
    {"GDI32.dll!BitBlt", 36, 0, ERROR_INVALID_HANDLE, 0, kOnly, 0, nullptr, "FALSE"},
    {"GDI32.dll!CreateCompatibleDC", 4, 0, ERROR_NOT_ENOUGH_MEMORY, 0, kOnly, 0, nullptr, "NULL"},
    {"GDI32.dll!CreateFontA", 56, 0, ERROR_NOT_ENOUGH_MEMORY, 0, kOnly, 0, nullptr, "NULL"},
    {"GDI32.dll!CreatePen", 12, 0, ERROR_NOT_ENOUGH_MEMORY, 0, kOnly, 0, nullptr, "NULL"},
    {"GDI32.dll!CreateSolidBrush", 4, 0, ERROR_NOT_ENOUGH_MEMORY, 0, kOnly, 0, nullptr, "NULL"},
    {"GDI32.dll!DeleteDC", 4, 0, kKept, 0, kOnly, 0, nullptr, "FALSE"},
    {"GDI32.dll!DeleteObject", 4, 0, kKept, 0, kOnly, 0, nullptr, "FALSE"},
    {"GDI32.dll!GetObjectA", 12, 0, kKept, 0, kOnly, 0, nullptr, "0"},
    {"GDI32.dll!Rectangle", 20, 0, kKept, 0, kOnly, 0, nullptr, "FALSE"},
    {"GDI32.dll!SelectObject", 8, 0, kKept, 0, kOnly, 0, nullptr, "NULL"},
    {"GDI32.dll!SetBkColor", 8, kInvalidColour, kKept, 0, kOnly, 0, nullptr, "CLR_INVALID"},
    {"GDI32.dll!SetTextColor", 8, kInvalidColour, kKept, 0, kOnly, 0, nullptr, "CLR_INVALID"},

    // Files, processes and libraries.
    {"KERNEL32.dll!CloseHandle", 4, 0, ERROR_DISK_FULL, 0, Effect::kHandleClosedAnyway, 0, nullptr,
     "FALSE, ERROR_DISK_FULL; the handle closed all the same"},
    {"KERNEL32.dll!CreateFileA", 28, kInvalidHandle, ERROR_ACCESS_DENIED, 0, kOnly, 0, nullptr,
     "INVALID_HANDLE_VALUE, ERROR_ACCESS_DENIED"},
    {"KERNEL32.dll!CreateProcessA", 40, 0, ERROR_FILE_NOT_FOUND, 0, kOnly, 0, nullptr,
     "FALSE, ERROR_FILE_NOT_FOUND"},
    {"KERNEL32.dll!DeleteFileA", 4, 0, ERROR_ACCESS_DENIED, 0, kOnly, 0, nullptr, "FALSE, ERROR_ACCESS_DENIED"},
    {"KERNEL32.dll!FlushFileBuffers", 4, 0, ERROR_DISK_FULL, 0, kOnly, 0, nullptr, "FALSE, ERROR_DISK_FULL"},
    {"KERNEL32.dll!FormatMessageA", 28, 0, ERROR_NOT_ENOUGH_MEMORY, 0, kOnly, 0, nullptr,
     "0, ERROR_NOT_ENOUGH_MEMORY"},
    {"KERNEL32.dll!FreeLibrary", 4, 0, ERROR_INVALID_HANDLE, 0, kOnly, 0, nullptr, "FALSE, ERROR_INVALID_HANDLE"},
    {"KERNEL32.dll!GetFileAttributesA", 4, kInvalidHandle, ERROR_ACCESS_DENIED, 0, kOnly, 0, nullptr,
     "INVALID_FILE_ATTRIBUTES, ERROR_ACCESS_DENIED"},
    {"KERNEL32.dll!GetModuleHandleA", 4, 0, ERROR_MOD_NOT_FOUND, 0, kOnly, 0, nullptr, "NULL, ERROR_MOD_NOT_FOUND"},
    {"KERNEL32.dll!GetProcAddress", 8, 0, ERROR_PROC_NOT_FOUND, 0, kOnly, 0, nullptr, "NULL, ERROR_PROC_NOT_FOUND"},
    {"KERNEL32.dll!GetSystemDirectoryA", 8, 0, ERROR_NOT_ENOUGH_MEMORY, 0, kOnly, 0, nullptr,
     "0, ERROR_NOT_ENOUGH_MEMORY"},
    {"KERNEL32.dll!GetTempFileNameA", 16, 0, ERROR_ACCESS_DENIED, 0, kOnly, 0, nullptr, "0, ERROR_ACCESS_DENIED"},
    {"KERNEL32.dll!LoadLibraryA", 4, 0, ERROR_MOD_NOT_FOUND, 0, kOnly, 0, nullptr, "NULL, ERROR_MOD_NOT_FOUND"},
    // A system without the search flags refuses them.
    {"KERNEL32.dll!LoadLibraryExA", 12, 0, ERROR_INVALID_PARAMETER, 0, kOnly, 0, nullptr,
     "NULL, ERROR_INVALID_PARAMETER"},
    {"KERNEL32.dll!MoveFileExA", 12, 0, ERROR_ACCESS_DENIED, 0, kOnly, 0, nullptr, "FALSE, ERROR_ACCESS_DENIED"},
    {"KERNEL32.dll!SetDefaultDllDirectories", 4, 0, ERROR_INVALID_PARAMETER, 0, kOnly, 0, nullptr,
     "FALSE, ERROR_INVALID_PARAMETER"},
    {"KERNEL32.dll!SetDllDirectoryA", 4, 0, ERROR_INVALID_PARAMETER, 0, kOnly, 0, nullptr,
     "FALSE, ERROR_INVALID_PARAMETER"},
    {"KERNEL32.dll!TlsGetValue", 4, 0, ERROR_INVALID_PARAMETER, 0, kOnly, 0, nullptr, "0, ERROR_INVALID_PARAMETER"},
    {"KERNEL32.dll!VirtualProtect", 16, 0, ERROR_INVALID_ADDRESS, 0, kOnly, 0, nullptr, "FALSE, ERROR_INVALID_ADDRESS"},
    {"KERNEL32.dll!VirtualQuery", 12, 0, ERROR_INVALID_PARAMETER, 0, kOnly, 0, nullptr, "0, ERROR_INVALID_PARAMETER"},
    {"KERNEL32.dll!WriteFile", 20, 0, ERROR_DISK_FULL, 0, kOnly, 0, nullptr, "FALSE, ERROR_DISK_FULL"},

    // The C runtime: allocations run out of memory, streams fail to read, write and close.
    {"msvcrt.dll!__getmainargs", 0, -1, kKept, kNoMemory, kOnly, 0, nullptr, "-1, ENOMEM"},
    {"msvcrt.dll!_onexit", 0, 0, kKept, kNoMemory, kOnly, 0, nullptr, "NULL, ENOMEM"},
    {"msvcrt.dll!calloc", 0, 0, ERROR_NOT_ENOUGH_MEMORY, kNoMemory, kOnly, 0, nullptr, "NULL, ENOMEM"},
    {"msvcrt.dll!malloc", 0, 0, ERROR_NOT_ENOUGH_MEMORY, kNoMemory, kOnly, 0, nullptr, "NULL, ENOMEM"},
    {"msvcrt.dll!realloc", 0, 0, ERROR_NOT_ENOUGH_MEMORY, kNoMemory, kOnly, 0, nullptr, "NULL, ENOMEM; the block kept"},
    {"msvcrt.dll!fclose", 0, kEndOfFile, kKept, kIoError, Effect::kStreamClosedAnyway, 0, nullptr,
     "EOF, EIO; the stream closed all the same"},
    {"msvcrt.dll!fflush", 0, kEndOfFile, kKept, kNoSpace, Effect::kStreamError, 0, nullptr, "EOF, ENOSPC"},
    {"msvcrt.dll!fopen", 0, 0, ERROR_ACCESS_DENIED, kNoAccess, kOnly, 0, nullptr, "NULL, EACCES"},
    {"msvcrt.dll!fprintf", 0, -1, kKept, kNoSpace, Effect::kStreamError, 0, nullptr, "-1, ENOSPC"},
    {"msvcrt.dll!fputc", 0, kEndOfFile, kKept, kNoSpace, Effect::kStreamError, 1, nullptr, "EOF, ENOSPC"},
    {"msvcrt.dll!fputs", 0, kEndOfFile, kKept, kNoSpace, Effect::kStreamError, 1, nullptr, "EOF, ENOSPC"},
    {"msvcrt.dll!fread", 0, 0, kKept, kIoError, Effect::kStreamError, 3, nullptr, "0, EIO"},
    {"msvcrt.dll!fwrite", 0, 0, kKept, kNoSpace, Effect::kStreamError, 3, nullptr, "0, ENOSPC"},
    {"msvcrt.dll!signal", 0, kEndOfFile, kKept, kBadArgument, kOnly, 0, nullptr, "SIG_ERR, EINVAL"},
    {"msvcrt.dll!vfprintf", 0, -1, kKept, kNoSpace, Effect::kStreamError, 0, nullptr, "-1, ENOSPC"},

    // Windows and controls.
    {"USER32.dll!AdjustWindowRectEx", 16, 0, ERROR_INVALID_PARAMETER, 0, kOnly, 0, nullptr,
     "FALSE, ERROR_INVALID_PARAMETER"},
    {"USER32.dll!BeginPaint", 8, 0, kKept, 0, kOnly, 0, nullptr, "NULL: no display device"},
    {"USER32.dll!CreateWindowExA", 48, 0, ERROR_NOT_ENOUGH_MEMORY, 0, kOnly, 0, nullptr,
     "NULL, ERROR_NOT_ENOUGH_MEMORY"},
    {"USER32.dll!DestroyWindow", 4, 0, ERROR_ACCESS_DENIED, 0, kOnly, 0, nullptr, "FALSE, ERROR_ACCESS_DENIED"},
    {"USER32.dll!FillRect", 12, 0, kKept, 0, kOnly, 0, nullptr, "0"},
    {"USER32.dll!GetClientRect", 8, 0, ERROR_INVALID_WINDOW_HANDLE, 0, kOnly, 0, nullptr,
     "FALSE, ERROR_INVALID_WINDOW_HANDLE"},
    {"USER32.dll!GetDC", 4, 0, ERROR_NOT_ENOUGH_MEMORY, 0, kOnly, 0, nullptr, "NULL, ERROR_NOT_ENOUGH_MEMORY"},
    {"USER32.dll!GetDlgCtrlID", 4, 0, ERROR_INVALID_WINDOW_HANDLE, 0, kOnly, 0, nullptr,
     "0, ERROR_INVALID_WINDOW_HANDLE"},
    {"USER32.dll!GetDlgItem", 8, 0, ERROR_CONTROL_ID_NOT_FOUND, 0, kOnly, 0, nullptr,
     "NULL, ERROR_CONTROL_ID_NOT_FOUND"},
    {"USER32.dll!GetMessageA", 16, -1, ERROR_INVALID_WINDOW_HANDLE, 0, kOnly, 0, nullptr,
     "-1, ERROR_INVALID_WINDOW_HANDLE"},
    {"USER32.dll!GetParent", 4, 0, ERROR_INVALID_WINDOW_HANDLE, 0, kOnly, 0, nullptr,
     "NULL, ERROR_INVALID_WINDOW_HANDLE"},
    {"USER32.dll!GetSystemMetrics", 4, 0, kKept, 0, kOnly, 0, nullptr, "0"},
    {"USER32.dll!GetWindowRect", 8, 0, ERROR_INVALID_WINDOW_HANDLE, 0, kOnly, 0, nullptr,
     "FALSE, ERROR_INVALID_WINDOW_HANDLE"},
    {"USER32.dll!GetWindowTextLengthA", 4, 0, ERROR_INVALID_WINDOW_HANDLE, 0, kOnly, 0, nullptr,
     "0, ERROR_INVALID_WINDOW_HANDLE"},
    {"USER32.dll!LoadCursorA", 8, 0, ERROR_RESOURCE_NAME_NOT_FOUND, 0, kOnly, 0, nullptr,
     "NULL, ERROR_RESOURCE_NAME_NOT_FOUND"},
    {"USER32.dll!LoadIconA", 8, 0, ERROR_RESOURCE_NAME_NOT_FOUND, 0, kOnly, 0, nullptr,
     "NULL, ERROR_RESOURCE_NAME_NOT_FOUND"},
    {"USER32.dll!LoadImageA", 24, 0, ERROR_NOT_ENOUGH_MEMORY, 0, kOnly, 0, nullptr, "NULL, ERROR_NOT_ENOUGH_MEMORY"},
    {"USER32.dll!MessageBoxA", 16, 0, ERROR_NOT_ENOUGH_MEMORY, 0, kOnly, 0, nullptr, "0, ERROR_NOT_ENOUGH_MEMORY"},
    {"USER32.dll!RegisterClassExA", 4, 0, ERROR_NOT_ENOUGH_MEMORY, 0, kOnly, 0, nullptr,
     "0, ERROR_NOT_ENOUGH_MEMORY"},
    {"USER32.dll!ReleaseDC", 8, 0, kKept, 0, kOnly, 0, nullptr, "0: not released"},
    {"USER32.dll!SendMessageA", 16, kListOutOfSpace, kKept, 0, kOnly, 0, Sends<CB_ADDSTRING>,
     "CB_ERRSPACE: no room for the entry"},
    {"USER32.dll!SendMessageA", 16, kListError, kKept, 0, kOnly, 0, Sends<CB_SETITEMHEIGHT>,
     "CB_ERR: the height refused"},
    {"USER32.dll!SetFocus", 4, 0, ERROR_INVALID_WINDOW_HANDLE, 0, kOnly, 0, nullptr,
     "NULL, ERROR_INVALID_WINDOW_HANDLE"},
    {"USER32.dll!SetWindowLongA", 12, 0, ERROR_INVALID_WINDOW_HANDLE, 0, kOnly, 0, nullptr,
     "0, ERROR_INVALID_WINDOW_HANDLE"},
    {"USER32.dll!SetWindowLongPtrA", 12, 0, ERROR_INVALID_WINDOW_HANDLE, 0, kOnly, 0, nullptr,
     "0, ERROR_INVALID_WINDOW_HANDLE"},
    {"USER32.dll!SetWindowPos", 28, 0, ERROR_INVALID_WINDOW_HANDLE, 0, kOnly, 0, nullptr,
     "FALSE, ERROR_INVALID_WINDOW_HANDLE"},
    // An edit control answers so when it cannot take the text.
    {"USER32.dll!SetWindowTextA", 8, 0, ERROR_NOT_ENOUGH_MEMORY, 0, kOnly, 0, nullptr,
     "FALSE, ERROR_NOT_ENOUGH_MEMORY"},

    {"winmm.dll!sndPlaySoundA", 8, 0, kKept, 0, kOnly, 0, nullptr, "FALSE"},

    // The storefront: its accessors answer null while its client does not run, its calls false or
    // handle 0. Its texts are answered null too, which its documentation does not promise but a
    // plug-in must survive.
    {"steam_api.dll!SteamAPI_Init", 0, 0, kKept, 0, kOnly, 0, nullptr, "false: no client"},
    {"steam_api.dll!SteamAPI_GetSteamInstallPath", 0, 0, kKept, 0, kOnly, 0, nullptr, "null text"},
    {"steam_api.dll!SteamFriends", 0, 0, kKept, 0, kOnly, 0, nullptr, "null interface"},
    {"steam_api.dll!SteamUser", 0, 0, kKept, 0, kOnly, 0, nullptr, "null interface"},
    {"steam_api.dll!SteamUserStats", 0, 0, kKept, 0, kOnly, 0, nullptr, "null interface"},
    {"steam_api.dll!SteamUtils", 0, 0, kKept, 0, kOnly, 0, nullptr, "null interface"},
    {"ISteamFriends::GetPersonaName", 0, 0, kKept, 0, kOnly, 0, nullptr, "null text"},
    {"ISteamUserStats::ClearAchievement", 4, 0, kKept, 0, kOnly, 0, nullptr, "false"},
    {"ISteamUserStats::FindLeaderboard", 4, 0, kKept, 0, kOnly, 0, nullptr, "handle 0"},
    {"ISteamUserStats::GetAchievement", 8, 0, kKept, 0, kOnly, 0, nullptr, "false, flag unwritten"},
    {"ISteamUserStats::GetStat(float)", 8, 0, kKept, 0, kOnly, 0, nullptr, "false, value unwritten"},
    {"ISteamUserStats::GetStat(int32)", 8, 0, kKept, 0, kOnly, 0, nullptr, "false, value unwritten"},
    {"ISteamUserStats::RequestCurrentStats", 0, 0, kKept, 0, kOnly, 0, nullptr, "false"},
    {"ISteamUserStats::SetAchievement", 4, 0, kKept, 0, kOnly, 0, nullptr, "false"},
    {"ISteamUserStats::SetStat(float)", 8, 0, kKept, 0, kOnly, 0, nullptr, "false"},
    {"ISteamUserStats::SetStat(int32)", 8, 0, kKept, 0, kOnly, 0, nullptr, "false"},
    {"ISteamUserStats::StoreStats", 0, 0, kKept, 0, kOnly, 0, nullptr, "false"},
    // leaderboard handle (8), method, score, details, detail count
    {"ISteamUserStats::UploadLeaderboardScore", 24, 0, kKept, 0, kOnly, 0, nullptr, "handle 0"},
    {"ISteamUtils::GetIPCountry", 0, 0, kKept, 0, kOnly, 0, nullptr, "null text"},
};

constexpr NeedsObject kNeedsObject[] = {
    {"GDI32.dll!BitBlt", 0, "a null device context"},
    {"GDI32.dll!BitBlt", 5, "a null source device context"},
    {"GDI32.dll!GetDeviceCaps", 0, "a null device context"},
    {"GDI32.dll!GetObjectA", 0, "a null object"},
    {"GDI32.dll!Rectangle", 0, "a null device context"},
    {"GDI32.dll!SelectObject", 0, "a null device context"},
    {"GDI32.dll!SelectObject", 1, "a null object"},
    {"GDI32.dll!SetBkColor", 0, "a null device context"},
    {"GDI32.dll!SetTextColor", 0, "a null device context"},
    {"USER32.dll!DestroyWindow", 0, "a null window"},
    {"USER32.dll!FillRect", 0, "a null device context"},
    {"USER32.dll!FillRect", 2, "a null brush"},
    {"USER32.dll!GetClientRect", 0, "a null window"},
    {"USER32.dll!GetWindowRect", 0, "a null window"},
    {"USER32.dll!GetWindowTextLengthA", 0, "a null window"},
    {"USER32.dll!SendMessageA", 0, "a null window"},
    {"USER32.dll!SetWindowLongA", 0, "a null window"},
    {"USER32.dll!SetWindowLongPtrA", 0, "a null window"},
    {"USER32.dll!SetWindowPos", 0, "a null window"},
    {"USER32.dll!SetWindowTextA", 0, "a null window"},
    {"USER32.dll!ShowWindow", 0, "a null window"},
    {"msvcrt.dll!fclose", 0, "a null stream"},
    {"msvcrt.dll!fputc", 1, "a null stream"},
    {"msvcrt.dll!fputs", 0, "a null text"},
    {"msvcrt.dll!fputs", 1, "a null stream"},
    {"msvcrt.dll!fread", 3, "a null stream"},
    {"msvcrt.dll!fwrite", 3, "a null stream"},
    {"msvcrt.dll!vfprintf", 0, "a null stream"},
};

// Module names compare without regard to case, as the system loads them.
bool SameImport(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace

const DocumentedFailure* FindFailure(std::string_view import, const std::uintptr_t* arguments) {
  for (const DocumentedFailure& failure : kFailures)
    if (SameImport(failure.import, import) && (!failure.covers || failure.covers(arguments))) return &failure;
  return nullptr;
}

const NeedsObject* FindMisuse(std::string_view import, const std::uintptr_t* arguments) {
  for (const NeedsObject& needs : kNeedsObject)
    if (SameImport(needs.import, import) && arguments[needs.argument] == 0) return &needs;
  return nullptr;
}

FailureTable AllFailures() { return {kFailures, std::size(kFailures)}; }

}  // namespace fault_injection
