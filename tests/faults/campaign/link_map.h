// Names for addresses in a program, read from the map file its linker wrote: each function placed in
// a section of its own, and each symbol the map lists. A release binary carries no symbols, so the
// map is what turns a call site into "Form1Options::SetLoadTrace+0x2c".
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace fault_campaign {

class LinkMap {
 public:
  explicit LinkMap(std::istream& map);

  // The address the program is linked to load at.
  std::uint64_t ImageBase() const { return imageBase_; }
  // "function+0xOFFSET" for an address relative to the image base; "?" outside every function.
  std::string NameAt(std::uint32_t relative) const;
  // The function an address relative to the image base lies in, without offset; empty outside.
  std::string FunctionAt(std::uint32_t relative) const;

 private:
  struct Piece {
    std::uint64_t start;
    std::uint64_t end;
    std::string name;
  };
  const Piece* PieceAt(std::uint32_t relative) const;

  std::uint64_t imageBase_ = 0;
  std::vector<Piece> pieces_;  // sorted by start
};

// A demangled C++ name made short: no parameter list, no "(anonymous namespace)::".
std::string ShortFunctionName(const std::string& name);

}  // namespace fault_campaign
