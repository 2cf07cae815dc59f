#include "link_map.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>

namespace fault_campaign {
namespace {

bool ReadAddressAndSize(std::istringstream& fields, std::uint64_t& address, std::uint64_t& size) {
  std::string a, s;
  if (!(fields >> a >> s) || a.rfind("0x", 0) != 0 || s.rfind("0x", 0) != 0) return false;
  address = std::strtoull(a.c_str(), nullptr, 16);
  size = std::strtoull(s.c_str(), nullptr, 16);
  return true;
}

std::string Demangled(const std::string& name) {
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> text(abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status),
                                                     &std::free);
  return status == 0 && text ? text.get() : name;
}

// The object a section came from: "crt2.o", "libmingw32.a(gccmain.o)" as "gccmain.o".
std::string ObjectName(const std::string& path) {
  std::string name = path;
  if (!name.empty() && name.back() == ')') {
    name = name.substr(name.rfind('(') + 1);
    name.pop_back();
  }
  name = name.substr(name.find_last_of("/\\") + 1);
  const std::size_t dash = name.rfind('-');  // "lib32_libmingw32_a-gccmain.o"
  return dash == std::string::npos ? name : name.substr(dash + 1);
}

}  // namespace

std::string ShortFunctionName(const std::string& name) {
  std::string text = name;
  const std::string anonymous = "(anonymous namespace)::";
  for (std::size_t at; (at = text.find(anonymous)) != std::string::npos;) text.erase(at, anonymous.size());
  int depth = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '<') ++depth;
    if (text[i] == '>') --depth;
    if (text[i] == '(' && depth == 0 && i > 0) return text.substr(0, i);
  }
  return text;
}

LinkMap::LinkMap(std::istream& map) {
  std::vector<Piece> sections, symbols;
  std::string line, pendingSection;
  while (std::getline(map, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream fields(line);
    if (line.find("__image_base__ = ") != std::string::npos) {
      imageBase_ = std::strtoull(line.substr(line.find("= ") + 2).c_str(), nullptr, 16);
      continue;
    }
    // An input section: " .text$name ADDRESS SIZE OBJECT", its name alone on the line when long.
    if (line.rfind(" .text", 0) == 0) {
      std::string section;
      fields >> section;
      std::uint64_t address, size;
      if (ReadAddressAndSize(fields, address, size)) {
        std::string object;
        std::getline(fields >> std::ws, object);
        if (size) sections.push_back({address, address + size, section + "\t" + object});
        pendingSection.clear();
      } else {
        pendingSection = section;
      }
      continue;
    }
    if (!pendingSection.empty()) {
      std::uint64_t address, size;
      if (ReadAddressAndSize(fields, address, size)) {
        std::string object;
        std::getline(fields >> std::ws, object);
        if (size) sections.push_back({address, address + size, pendingSection + "\t" + object});
      }
      pendingSection.clear();
      continue;
    }
    // A symbol inside the last section: "                0xADDRESS                name".
    std::string address, name, rest;
    if (line.rfind("                0x", 0) == 0 && (fields >> address >> name) &&
        line.find(" = ") == std::string::npos && !sections.empty()) {
      std::getline(fields, rest);
      name += rest;
      const std::uint64_t at = std::strtoull(address.c_str(), nullptr, 16);
      if (at >= sections.back().start && at < sections.back().end) symbols.push_back({at, 0, name});
    }
  }
  // A function's own section names it; other sections take their symbols' names, or the object's.
  for (const Piece& section : sections) {
    const std::size_t tab = section.name.find('\t');
    const std::string sectionName = section.name.substr(0, tab), object = section.name.substr(tab + 1);
    if (sectionName.size() > 6 && (sectionName[5] == '$' || sectionName[5] == '.')) {
      pieces_.push_back({section.start, section.end, ShortFunctionName(Demangled(sectionName.substr(6)))});
      continue;
    }
    std::uint64_t covered = section.start;
    std::string name = ObjectName(object);
    for (const Piece& symbol : symbols) {
      if (symbol.start < section.start || symbol.start >= section.end) continue;
      if (symbol.start > covered) pieces_.push_back({covered, symbol.start, name});
      name = ShortFunctionName(symbol.name);
      covered = symbol.start;
    }
    pieces_.push_back({covered, section.end, name});
  }
  std::sort(pieces_.begin(), pieces_.end(), [](const Piece& a, const Piece& b) { return a.start < b.start; });
}

const LinkMap::Piece* LinkMap::PieceAt(std::uint32_t relative) const {
  const std::uint64_t address = imageBase_ + relative;
  auto after = std::upper_bound(pieces_.begin(), pieces_.end(), address,
                                [](std::uint64_t value, const Piece& piece) { return value < piece.start; });
  if (after == pieces_.begin()) return nullptr;
  const Piece& piece = *(after - 1);
  return address < piece.end ? &piece : nullptr;
}

std::string LinkMap::NameAt(std::uint32_t relative) const {
  const Piece* piece = PieceAt(relative);
  if (!piece) return "?";
  char offset[24];
  std::snprintf(offset, sizeof offset, "+0x%llx",
                static_cast<unsigned long long>(imageBase_ + relative - piece->start));
  return piece->name + offset;
}

std::string LinkMap::FunctionAt(std::uint32_t relative) const {
  const Piece* piece = PieceAt(relative);
  return piece ? piece->name : std::string();
}

}  // namespace fault_campaign
