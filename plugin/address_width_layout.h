// The layout facts of the host's and the storefront's records that follow from the width of an
// address. The shipped plug-in is 32-bit; a 64-bit build lays the same records out with 8-byte
// addresses at their natural alignment. Every layout check of the plug-in reads its expectation
// here, and only here do the two widths differ.
#pragma once

#include <cstddef>

namespace kelvo::layout {

struct AddressWidthFacts {
  std::size_t stringChars;         // STRING: the character pointer
  std::size_t objectLookup;        // engine interface record: the three entries
  std::size_t functionLookup;
  std::size_t scriptCall;
  std::size_t callbackFlags;       // CCallbackBase: after the operation table pointer
  std::size_t callbackNoticeId;
  std::size_t callbackBaseSize;
};

constexpr AddressWidthFacts k32Bit{12, 2604, 2608, 2620, 4, 8, 12};
constexpr AddressWidthFacts k64Bit{16, 2608, 2616, 2632, 8, 12, 16};
constexpr AddressWidthFacts kThisBuild = sizeof(void*) == 4 ? k32Bit : k64Bit;

}  // namespace kelvo::layout
