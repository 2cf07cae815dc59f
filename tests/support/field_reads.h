#pragma once
#include <cstddef>
#include <cstring>

namespace test_support {

// The field of type Field at `offset` bytes into `object`, read as a program that knows only the
// record's binary layout reads it.
template <class Field, class Object>
Field ReadAt(const Object& object, std::size_t offset) {
  Field field;
  std::memcpy(&field, reinterpret_cast<const unsigned char*>(&object) + offset, sizeof field);
  return field;
}

}  // namespace test_support
