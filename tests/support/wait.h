#pragma once
#include <chrono>
#include <functional>

namespace test_support {

// How long a wait for something another program or the system does may take before it counts as
// never happening. Generous, since an emulated machine is many times slower than a real one; a
// wait ends as soon as its condition holds.
constexpr std::chrono::milliseconds kDeadline{60000};

// Checks `condition` until it holds or `deadline` has passed; answers whether it held.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline = kDeadline);

}  // namespace test_support
