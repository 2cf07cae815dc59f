// The two base fields of a callback object where the storefront library reads and writes them:
// the flags byte after the operation table pointer, the notice id at the next 4-byte boundary.
#pragma once

#include <cstdint>

#include "address_width_layout.h"
#include "storefront_callbacks.h"
#include "support/field_reads.h"

namespace kelvo::testing {

constexpr std::uint8_t kRegisteredFlag = 0x01;

inline std::uint8_t CallbackFlags(const CCallbackBase& object) {
  return test_support::ReadAt<std::uint8_t>(object, kelvo::layout::kThisBuild.callbackFlags);
}

inline std::int32_t CallbackNoticeId(const CCallbackBase& object) {
  return test_support::ReadAt<std::int32_t>(object, kelvo::layout::kThisBuild.callbackNoticeId);
}

}  // namespace kelvo::testing
