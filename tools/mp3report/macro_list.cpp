// Writing the macro table as a plain list and as a manual page section.
#include "tools/mp3report/macro_list.h"

#include <algorithm>
#include <array>

namespace mp3report {

namespace {

constexpr std::string_view kGroupData = "Group Data";
constexpr std::string_view kNoName = "-";

std::string_view Shown(std::string_view name) { return name.empty() ? kNoName : name; }

std::string WidthText(const zodizidu::TMacro& macro) {
  return std::to_string(macro.Width) + " " + std::string(1, macro.Align);
}

void AppendPadded(std::string& out, std::string_view text, std::size_t width) {
  out.append(text);
  out.append(width - std::min(width, text.size()), ' ');
}

// Text as roff shows it: backslashes escaped, hyphens as minus signs, a leading dot or quote
// kept from being read as a request.
std::string Roff(std::string_view text) {
  std::string out = text.starts_with('.') || text.starts_with('\'') ? "\\&" : "";
  for (char c : text) {
    if (c == '\\')
      out += "\\e";
    else if (c == '-')
      out += "\\-";
    else
      out += c;
  }
  return out;
}

}  // namespace

std::string_view MacroKind(const zodizidu::TMacro& macro) {
  switch (macro.Kind) {
    case zodizidu::mkFile:
    case zodizidu::mkComposite: return "file";
    case zodizidu::mkSystem: return "system";
    case zodizidu::mkList: return macro.Group == kGroupData ? "group" : "list";
    default: return "special";
  }
}

std::string MacroListText(const zodizidu::TMacroDefinitions& table) {
  const std::array<std::string_view, 5> heading = {"SHORT", "NAME", "KIND", "WIDTH", "DESCRIPTION"};
  std::array<std::size_t, 4> widths{};
  for (std::size_t c = 0; c < widths.size(); ++c) widths[c] = heading[c].size();
  for (int i = 0; i < table.Count(); ++i) {
    const zodizidu::TMacro& m = table.Items(i);
    widths[0] = std::max(widths[0], Shown(m.ShortName).size());
    widths[1] = std::max(widths[1], Shown(m.Name).size());
    widths[2] = std::max(widths[2], MacroKind(m).size());
    widths[3] = std::max(widths[3], WidthText(m).size());
  }
  std::string out;
  const auto line = [&](const std::array<std::string_view, 5>& cells) {
    for (std::size_t c = 0; c < widths.size(); ++c) AppendPadded(out, cells[c], widths[c] + 2);
    out.append(cells[4]);
    out += '\n';
  };
  line(heading);
  for (int i = 0; i < table.Count(); ++i) {
    const zodizidu::TMacro& m = table.Items(i);
    line({Shown(m.ShortName), Shown(m.Name), MacroKind(m), WidthText(m), m.Description});
  }
  return out;
}

std::string MacroListRoff(const zodizidu::TMacroDefinitions& table) {
  std::string out =
      ".SH MACROS\n"
      "Every macro a template may name, by its short or its long name (a dash marks an empty one),\n"
      "with its kind, its default width and alignment (left or right), and its description. The kinds:\n"
      ".B file\n"
      "values of the song,\n"
      ".B group\n"
      "values of its folder,\n"
      ".B list\n"
      "values of the whole report and its output,\n"
      ".B system\n"
      "values of the running system, and\n"
      ".B special\n"
      "items (new line, tab, a character by its decimal code, the percent sign).\n";
  for (int i = 0; i < table.Count(); ++i) {
    const zodizidu::TMacro& m = table.Items(i);
    out += ".TP\n.BR " + Roff(Shown(m.ShortName)) + " \", \" " + Roff(Shown(m.Name)) + "\n";
    out += Roff(std::string(MacroKind(m)) + ", " + std::to_string(m.Width) + (m.Align == 'R' ? " right" : " left") +
                ": " + m.Description) +
           "\n";
  }
  return out;
}

}  // namespace mp3report
