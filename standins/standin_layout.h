// The stand-ins' own view of the layout facts that follow from the width of an address, for the
// records they share with the game and the plug-in: the 32-bit product's, and those of a 64-bit
// build (8-byte addresses at their natural alignment). The stand-ins' layout checks read them
// here, and only here do the two widths differ. No includes: the storefront's Microsoft-ABI face
// is built without a runtime library.
#pragma once

namespace standin::layout {

using Offset = decltype(sizeof 0);

struct AddressWidthFacts {
  Offset stringChars;         // the host's string record: the character pointer
  Offset objectLookup;        // the engine interface record: its three entries
  Offset functionLookup;
  Offset scriptCall;
  Offset callbackFlags;       // a storefront callback object: after the operation table pointer
  Offset callbackNoticeId;
  Offset callbackObjectSize;
};

inline constexpr AddressWidthFacts k32Bit{12, 2604, 2608, 2620, 4, 8, 12};
inline constexpr AddressWidthFacts k64Bit{16, 2608, 2616, 2632, 8, 12, 16};
inline constexpr AddressWidthFacts kThisBuild = sizeof(void*) == 4 ? k32Bit : k64Bit;

}  // namespace standin::layout
