#pragma once
#include <string>

namespace test_support {

// Sets an environment variable of this process; an empty value removes it on Windows.
void SetVariable(const char* name, const std::string& value);

}  // namespace test_support
