// The C++ runtime's default terminate handler names the uncaught exception's type, which links
// its whole demangler (about 46 KB) into the launcher. A window program has no console for that
// text, so this definition takes the handler's place and only ends the program, as it does after
// printing.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
