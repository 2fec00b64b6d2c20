// A text of 8-bit characters with a fixed maximum length: a longer value is cut, never rejected.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zodizidu {

template <std::size_t MaxLength>
class BoundedText {
 public:
  static constexpr std::size_t kMaxLength = MaxLength;

  BoundedText() = default;
  BoundedText(std::string_view value) { assign(value); }  // NOLINT: implicit like a string
  BoundedText& operator=(std::string_view value) {
    assign(value);
    return *this;
  }

  const std::string& str() const { return text_; }
  operator const std::string&() const { return text_; }  // NOLINT: reads like a string
  std::size_t size() const { return text_.size(); }
  bool empty() const { return text_.empty(); }
  friend bool operator==(const BoundedText& a, std::string_view b) { return a.text_ == b; }

 private:
  void assign(std::string_view value) { text_.assign(value.substr(0, MaxLength)); }
  std::string text_;
};

}  // namespace zodizidu
