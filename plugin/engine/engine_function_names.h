// The host functions the plug-in asks for when it binds, in the order it asks for them.
#pragma once

#include <array>
#include <cstddef>

namespace kelvo::engine {

constexpr std::size_t kEngineFunctionCount = 281;
extern const std::array<const char*, kEngineFunctionCount> kEngineFunctionNames;

}  // namespace kelvo::engine
