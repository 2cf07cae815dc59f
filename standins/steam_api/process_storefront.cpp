#include "process_storefront.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace offline {
namespace {

std::string StatePath() {
  if (const char* path = std::getenv(kStatePathVariable); path != nullptr && *path != '\0') return path;
#ifdef _WIN32
  HMODULE self = nullptr;
  char module[MAX_PATH];
  if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(&StatePath), &self)) {
    const DWORD length = GetModuleFileNameA(self, module, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
      std::string folder(module, length);
      return folder.substr(0, folder.find_last_of("\\/") + 1) + kStateFileName;
    }
  }
#endif
  return kStateFileName;
}

}  // namespace

OfflineStorefront& Storefront() {
  static OfflineStorefront storefront(StatePath(), std::cerr);  // global: the one client of the process
  return storefront;
}

void Unsupported(const char* table, int position) {
  std::fprintf(stderr, "offline storefront: operation %d of the %s interface is not offered; stopping.\n", position,
               table);
  std::abort();
}

}  // namespace offline
