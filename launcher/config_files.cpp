#include "config_files.h"

#include <array>
#include <algorithm>
#include <charconv>
#include <cstring>
#include <cmath>
#include <cstdlib>
#include <memory>

#ifdef __linux__
#include <sys/mman.h>
#endif

#include "replace_file.h"

namespace launcher {
namespace {

constexpr char kBlank = ' ';

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t SkipDigits(std::string_view text, std::size_t at) {
  while (at < text.size() && IsDigit(text[at])) ++at;
  return at;
}

std::string InFolder(const std::string& folder, const char* name) {
  if (folder.empty()) return name;
  const char last = folder.back();
  return (last == '/' || last == '\\') ? folder + name : folder + "/" + name;
}

bool ApplyToggle(LaunchOptions& options, Toggle toggle, std::string_view text) {
  const std::optional<double> value = NumericValue(text);
  return value && options.SetToggleState(toggle, *value == 1.0 ? 1 : 0);
}

// Applies value `number` of the file; false when value 10 is not an index of the list, or the
// value cannot be read or applied.
bool ApplyValue(LaunchOptions& options, long long number, std::string_view text) {
  switch (number) {
    case 1: return ApplyToggle(options, Toggle::Check2, text);
    case 2: return ApplyToggle(options, Toggle::Check3, text);
    case 3: return ApplyToggle(options, Toggle::Check4, text);
    case 4: return ApplyToggle(options, Toggle::Check5, text);
    case 5: return ApplyToggle(options, Toggle::Check6, text);
    case 9: return ApplyToggle(options, Toggle::Check1, text);
    case 10: {
      const std::optional<double> value = NumericValue(text);
      const std::optional<int16_t> index = value ? RoundToInt16(*value) : std::nullopt;
      return index && *index >= kNoResolution && *index < kResolutionCount && options.SetResolutionIndex(*index);
    }
    default: return true;
  }
}

// Writes a number text into `out` (room for 22 bytes) and answers its end.
char* WriteNumberText(char* out, long long value) {
  if (value >= 0) *out++ = ' ';
  // 32-bit division is much cheaper than 64-bit on this target, and value numbers rarely need more.
  if (value >= 0 && value <= 0xFFFFFFFFLL) return std::to_chars(out, out + 21, static_cast<uint32_t>(value)).ptr;
  return std::to_chars(out, out + 21, value).ptr;
}

// The trace piece of each byte value, padded to eight bytes so one fixed copy writes it.
struct BytePiece {
  char bytes[8];
  std::size_t size;
};

std::array<BytePiece, 256> MakeBytePieces() {
  std::array<BytePiece, 256> table{};
  for (int code = 0; code < 256; ++code) {
    char* out = table[code].bytes;
    *out++ = static_cast<char>(code);
    *out++ = '(';
    out = WriteNumberText(out, code);
    *out++ = ')';
    table[code].size = static_cast<std::size_t>(out - table[code].bytes);
  }
  return table;
}

const std::array<BytePiece, 256> kBytePieces = MakeBytePieces();

#ifdef __linux__
// Each fresh 4 KiB page costs a fault, and on virtual machines a fault costs more than writing the
// page: a trace of hundreds of megabytes would spend most of its time there. So blocks from 2 MiB
// up are pages mapped on their own, advised to be backed by 2 MiB pages, and grown by remapping,
// which keeps the advice and moves the pages without copying them. (Windows grants large pages
// only to holders of a privilege that players lack.)
constexpr std::size_t kMappedBlockSize = std::size_t{2} << 20;

// The block of `size` bytes, `used` of them filled, resized to `newSize`; null when there is no
// memory, the block then unchanged.
char* ResizeBlock(char* block, std::size_t size, std::size_t used, std::size_t newSize) {
  if (newSize < kMappedBlockSize) return static_cast<char*>(std::realloc(block, newSize));
  if (size >= kMappedBlockSize) {
    void* moved = mremap(block, size, newSize, MREMAP_MAYMOVE);
    return moved == MAP_FAILED ? nullptr : static_cast<char*>(moved);
  }
  void* mapped = mmap(nullptr, newSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) return nullptr;
  madvise(mapped, newSize, MADV_HUGEPAGE);
  if (used != 0) std::memcpy(mapped, block, used);
  std::free(block);
  return static_cast<char*>(mapped);
}

void FreeBlock(char* block, std::size_t size) {
  if (size >= kMappedBlockSize) {
    munmap(block, size);
  } else {
    std::free(block);
  }
}
#else
// Plain realloc, which lets large blocks grow without clearing them first.
char* ResizeBlock(char* block, std::size_t, std::size_t, std::size_t newSize) {
  return static_cast<char*>(std::realloc(block, newSize));
}

void FreeBlock(char* block, std::size_t) { std::free(block); }
#endif

// Collects bytes with one copy per piece: the load trace, which runs to several times the file's
// size, and the value being read. Room is reserved first, which is where memory can run out.
class ByteCollector {
 public:
  ByteCollector() = default;
  ByteCollector(const ByteCollector&) = delete;
  ByteCollector& operator=(const ByteCollector&) = delete;
  ~ByteCollector() { FreeBlock(bytes_, capacity_); }

  // False when there is no memory for `count` more bytes.
  bool Reserve(std::size_t count) { return capacity_ - used_ >= count || Grow(used_ + count); }
  char* End() { return bytes_ + used_; }
  void Advance(std::size_t count) { used_ += count; }
  void Append(const char* bytes, std::size_t count) {
    if (count == 0) return;  // nothing may be copied while no memory is held yet
    std::memcpy(End(), bytes, count);
    used_ += count;
  }
  void Append(std::string_view text) { Append(text.data(), text.size()); }
  void Clear() { used_ = 0; }
  std::string_view Text() const { return {bytes_, used_}; }

 private:
  bool Grow(std::size_t needed) {
    const std::size_t capacity = std::max({needed, 2 * capacity_, std::size_t{4096}});
    char* bytes = ResizeBlock(bytes_, capacity_, used_, capacity);
    if (!bytes) return false;
    bytes_ = bytes;
    capacity_ = capacity;
    return true;
  }

  char* bytes_ = nullptr;
  std::size_t capacity_ = 0;
  std::size_t used_ = 0;
};

// The number text of the value number, counted up in place: the value numbers run through every
// integer from 1, and a carry costs less than writing the digits afresh for each value.
class ValueNumberText {
 public:
  ValueNumberText() {
    text_[kSize - 2] = ' ';
    text_[kSize - 1] = '1';
  }
  std::string_view Text() const { return {text_ + first_ - 1, kSize - first_ + 1}; }
  void CountUp() {
    std::size_t at = kSize;
    while (at > first_ && text_[at - 1] == '9') text_[--at] = '0';
    if (at > first_) {
      ++text_[at - 1];
    } else {
      text_[--first_] = '1';
      text_[first_ - 1] = ' ';
    }
  }

 private:
  static constexpr std::size_t kSize = 21;  // a blank and the digits of any value number
  char text_[kSize];
  std::size_t first_ = kSize - 1;  // where the digits begin; the blank stands before them
};

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

std::optional<double> NumericValue(std::string_view text) {
  std::size_t end = 0;
  if (end < text.size() && (text[end] == '+' || text[end] == '-')) ++end;
  const std::size_t integerStart = end;
  end = SkipDigits(text, end);
  bool hasDigits = end > integerStart;
  if (end < text.size() && text[end] == '.') {
    const std::size_t fractionEnd = SkipDigits(text, end + 1);
    if (hasDigits || fractionEnd > end + 1) {
      hasDigits = true;
      end = fractionEnd;
    }
  }
  if (!hasDigits) return 0.0;
  if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
    std::size_t exponent = end + 1;
    if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
    const std::size_t exponentEnd = SkipDigits(text, exponent);
    if (exponentEnd > exponent) end = exponentEnd;
  }
  // Only the validated prefix reaches strtod, so none of its own extensions (hexadecimal,
  // "inf", leading white space) can apply. It needs its own copy to end there: in place when
  // short, as every number in a real file is.
  char shortCopy[64];
  char* const copy = end < sizeof shortCopy ? shortCopy : static_cast<char*>(std::malloc(end + 1));
  if (!copy) return std::nullopt;
  std::memcpy(copy, text.data(), end);
  copy[end] = '\0';
  const double value = std::strtod(copy, nullptr);
  if (copy != shortCopy) std::free(copy);
  return value;
}

std::string NumberText(long long value) {
  char digits[24];
  return std::string(digits, WriteNumberText(digits, value));
}

std::optional<int16_t> RoundToInt16(double value) {
  const double rounded = std::nearbyint(value);  // the default rounding mode sends halves to even
  if (!(rounded >= -32768.0 && rounded <= 32767.0)) return std::nullopt;
  return static_cast<int16_t>(rounded);
}

bool LoadConfigFrom(std::FILE* file, LaunchOptions& options) {
  constexpr std::string_view kValueLabel = "Opcao = ";
  ByteCollector trace;
  ValueNumberText numberText;
  long long number = 1;
  // The value being collected: the bytes of each piece of the file join it at once at its blank,
  // or at the piece's end, rather than one by one.
  ByteCollector value;
  char buffer[64 * 1024];
  std::size_t count;
  while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    std::size_t valueStart = 0;
    for (std::size_t i = 0; i < count; ++i) {
      const char c = buffer[i];
      const BytePiece& piece = kBytePieces[static_cast<unsigned char>(c)];
      if (!trace.Reserve(sizeof piece.bytes)) return false;
      std::memcpy(trace.End(), piece.bytes, sizeof piece.bytes);
      trace.Advance(piece.size);
      if (c != kBlank) continue;
      if (!value.Reserve(i - valueStart)) return false;
      value.Append(buffer + valueStart, i - valueStart);
      if (!trace.Reserve(kValueLabel.size() + numberText.Text().size() + 1 + value.Text().size() + 2)) return false;
      trace.Append(kValueLabel);
      trace.Append(numberText.Text());
      trace.Append(":", 1);
      trace.Append(value.Text());
      if (!ApplyValue(options, number, value.Text())) return false;
      value.Clear();
      ++number;
      numberText.CountUp();
      trace.Append("\r\n", 2);
      valueStart = i + 1;
    }
    if (!value.Reserve(count - valueStart)) return false;
    value.Append(buffer + valueStart, count - valueStart);
  }
  if (std::ferror(file) || !trace.Reserve(1)) return false;
  *trace.End() = '\0';  // after the trace, not in it
  return options.SetLoadTrace(trace.Text());
}

void LoadConfig(LaunchOptions& options, const std::string& folder) {
  bool loaded;
  {
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(InFolder(folder, kLoadFileName).c_str(), "rb"));
    loaded = file && LoadConfigFrom(file.get(), options);
  }
  if (!loaded) options.SetLoadTrace(kFailureTrace);
}

std::optional<SavedItems> SaveConfigText(const LaunchOptions& options) {
  // Each item is one delimited write statement, so each ends with CR LF.
  constexpr std::string_view kQuotedBlank = "\" \"\r\n";
  SavedItems items;
  char* out = items.data();
  for (Toggle toggle : {Toggle::Check2, Toggle::Check3, Toggle::Check4, Toggle::Check5, Toggle::Check6}) {
    const std::optional<int> state = options.ToggleState(toggle);
    if (!state) return std::nullopt;
    *out++ = *state == 0 ? '0' : '1';
    *out++ = '\r';
    *out++ = '\n';
    out = std::copy(kQuotedBlank.begin(), kQuotedBlank.end(), out);
  }
  return items;
}

void SaveConfig(const LaunchOptions& options, const std::string& folder) {
  if (const std::optional<SavedItems> items = SaveConfigText(options))
    utils::ReplaceFileContents(InFolder(folder, kSaveFileName), std::string_view(items->data(), items->size()));
}

}  // namespace launcher
