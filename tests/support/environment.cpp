#include "environment.h"

#include <cstdlib>
#include <stdexcept>

namespace test_support {

void SetVariable(const char* name, const std::string& value) {
#ifdef _WIN32
  const bool set = _putenv_s(name, value.c_str()) == 0;
#else
  const bool set = setenv(name, value.c_str(), 1) == 0;
#endif
  if (!set) throw std::runtime_error(std::string("cannot set ") + name);
}

}  // namespace test_support
