#pragma once
#include <string>

namespace test_support {

// The argument as a Windows command line writes it, so that the started program reads it back
// unchanged, blanks, quotes and backslashes included.
std::string QuotedArgument(const std::string& argument);

}  // namespace test_support
