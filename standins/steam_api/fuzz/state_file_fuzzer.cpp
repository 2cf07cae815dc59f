// Bytes in, state out: the offline storefront's state-file reader over arbitrary file contents,
// and its knobs reader over the same text. A text is either refused with a message or read into
// a state that survives saving and reading back unchanged.
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "offline_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  offline::Knobs knobs;
  try {
    offline::ApplyKnobs(text, knobs);
  } catch (const std::runtime_error&) {
  }
  std::string saved;
  try {
    saved = offline::ToJson(offline::FromJson(text));
  } catch (const std::runtime_error& refused) {
    if (std::string(refused.what()).empty()) std::abort();  // a refusal always says why
    return 0;
  }
  // What was saved reads back; saving that again gives the same file.
  if (offline::ToJson(offline::FromJson(saved)) != saved) std::abort();
  return 0;
}
