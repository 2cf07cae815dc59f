// The plug-in's export table: what game script (and, for A6_DLLAPI, the host engine) calls.
// Arguments and results are 32-bit values on the stack with the C calling convention; the
// exports themselves are listed in export_list.h.
#pragma once

#include <cstddef>
#include <cstdint>

#include "c_calling_convention.h"
#include "export_list.h"
#include "value_conventions.h"

namespace kelvo::engine {
struct EngineInterface;
}

extern "C" {

#define KELVO_DECLARE_EXPORT(name, result, parameters, unnamed) result KELVO_CDECL name parameters noexcept;
KELVO_EXPORT_LIST(KELVO_DECLARE_EXPORT)
#undef KELVO_DECLARE_EXPORT

}  // extern "C"

namespace kelvo {

#define KELVO_COUNT_EXPORT(...) +1
inline constexpr std::size_t kExportCount = 0 KELVO_EXPORT_LIST(KELVO_COUNT_EXPORT);
#undef KELVO_COUNT_EXPORT

}  // namespace kelvo
