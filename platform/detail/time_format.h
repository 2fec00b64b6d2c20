// Reading the locale's long time pattern: expanding its shorthand and finding its separator.
#pragma once

#include <string>
#include <string_view>

namespace platform::detail {

// `format` with "%T" written out as "%H:%M:%S", "%R" as "%H:%M" and "%r" as `ampmFormat`
// (itself without "%r"; "%I:%M:%S %p" when empty). Other conversions and "%%" stay.
std::string ExpandTimeFormat(std::string_view format, std::string_view ampmFormat);

// The literal text between the first hour conversion of an expanded pattern and the minute
// conversion right after it; ":" when there is no such text.
std::string TimeSeparatorOf(std::string_view format);

}  // namespace platform::detail
