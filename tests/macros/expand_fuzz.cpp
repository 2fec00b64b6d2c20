// Fuzz target: any template, with or without a file and a list, expands without a crash, in
// bounded time, to a text whose size is bounded by the template's size and the width cap.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "zodizidu/expand.h"
#include "zodizidu/macro_table.h"
#include "zodizidu/mpeg_audio.h"

namespace {

using namespace zodizidu;

// The global table plus composites that name themselves and each other, and a list supplier.
const TMacroDefinitions& TableWithCycles() {
  static const TMacroDefinitions table = [] {
    TMacroDefinitions t = MacroDefinitions();
    t.Add("R", "Recursive", 5, 'L', 'N', "", "", mkComposite, {}, "%R%%R,R,70000,*%x");
    t.Add("P", "Ping", 3, 'R', 'N', "", "", mkComposite, {}, "<%Q,T%%FN%>");
    t.Add("Q", "Pong", 3, 'C', 'N', "", "", mkComposite, {}, "(%P,T%%GAT%)");
    t.SetCallback(t.IndexOfName("No"),
                  TListSupplier([](std::int32_t n) { return std::to_string(n); }));
    return t;
  }();
  return table;
}

// Longest value a macro yields before fitting (file names, tag texts, dates, error texts).
constexpr std::size_t kLongestValue = 1024;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte chooses the setting: a (never analysed) file or none, a list or none, the
  // global table or one with cycles.
  const std::uint8_t mode = data[0];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  static const TMPEGAudio file;
  const TMPEGAudio* f = (mode & 1) ? &file : nullptr;
  const std::int32_t context = (mode & 2) ? 1 + (mode >> 4) : 0;
  const TMacroDefinitions& table = (mode & 4) ? TableWithCycles() : MacroDefinitions();

  const std::string out = table.Expand(text, f, context);

  // Every item takes at least two bytes of the template and yields at most the width cap or
  // its unfitted value; text outside items is copied once.
  const std::size_t bound = (text.size() / 2 + 1) * (kMaxFittedWidth + kLongestValue) +
                            2 * text.size() + kNoEndOfItemText.size();
  if (out.size() > bound) std::abort();
  return 0;
}
