#pragma once
// Runtime text (char16_t) and Windows' wide text (wchar_t): the same UTF-16
// units on Windows, so the conversions only reinterpret.
#include <cwchar>
#include <string>
#include <string_view>

namespace rt::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline const wchar_t* wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
inline std::wstring_view wide(std::u16string_view text) {
  return {reinterpret_cast<const wchar_t*>(text.data()), text.size()};
}
inline std::u16string fromWide(const wchar_t* text, std::size_t size) {
  return {reinterpret_cast<const char16_t*>(text), size};
}
inline std::u16string fromWide(const wchar_t* text) { return fromWide(text, std::wcslen(text)); }

}  // namespace rt::win32
