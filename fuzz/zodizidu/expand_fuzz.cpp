// Fuzz target: any template, with or without a file and a list, expands without a crash, in
// bounded time, to a text whose size is bounded by the template's size and the width cap.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/text.h"
#include "zodizidu/analysis/mpeg_audio.h"
#include "zodizidu/macros/expand.h"
#include "zodizidu/macros/macro_table.h"

namespace {

using namespace zodizidu;

// The global table plus composites that name themselves and each other, and a list supplier.
const TMacroDefinitions& TableWithCycles() {
  static const TMacroDefinitions table = [] {
    TMacroDefinitions t = MacroDefinitions();
    t.Add("R", "Recursive", 5, 'L', 'N', "", "", mkComposite, {}, "%R%%R,R,70000,*%x");
    t.Add("P", "Ping", 3, 'R', 'N', "", "", mkComposite, {}, "<%Q,T%%FN%>");
    t.Add("Q", "Pong", 3, 'C', 'N', "", "", mkComposite, {}, "(%P,T%%GAT%)");
    t.SetCallback(t.IndexOfName("No"), TListSupplier([](std::int32_t n) { return std::to_string(n); }));
    return t;
  }();
  return table;
}

// The same table giving UTF-8 text, widths counted in characters.
const TMacroDefinitions& Utf8(const TMacroDefinitions& bytes) {
  static const TMacroDefinitions global = [] {
    TMacroDefinitions t = MacroDefinitions();
    t.SetText(TextModel::kUtf8);
    return t;
  }();
  static const TMacroDefinitions cycles = [] {
    TMacroDefinitions t = TableWithCycles();
    t.SetText(TextModel::kUtf8);
    return t;
  }();
  return &bytes == &MacroDefinitions() ? global : cycles;
}

// Longest value a macro yields before fitting (file names, tag texts, dates, error texts).
constexpr std::size_t kLongestValue = 1024;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte chooses the setting: a (never analysed) file or none, a list or none, the
  // global table or one with cycles, bytes or UTF-8 text.
  const std::uint8_t mode = data[0];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  static const TMPEGAudio file;
  const TMPEGAudio* f = (mode & 1) ? &file : nullptr;
  const std::int32_t context = (mode & 2) ? 1 + (mode >> 4) : 0;
  const TMacroDefinitions& bytes = (mode & 4) ? TableWithCycles() : MacroDefinitions();
  const bool utf8 = (mode & 8) != 0;
  const TMacroDefinitions& table = utf8 ? Utf8(bytes) : bytes;

  const std::string out = table.Expand(text, f, context);
  if (utf8 && !platform::IsValidUtf8(out)) std::abort();

  // Every item takes at least two bytes of the template and yields at most the width cap or
  // its unfitted value; text outside items is copied once.
  const std::size_t bound =
      (text.size() / 2 + 1) * (kMaxFittedWidth + kLongestValue) + 2 * text.size() + kNoEndOfItemText.size();
  // A UTF-8 character (a fill, a Windows-1252 byte read as its letter) takes up to 4 bytes.
  if (out.size() > bound * (utf8 ? 4 : 1)) std::abort();
  return 0;
}
