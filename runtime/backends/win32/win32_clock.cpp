#include "win32_clock.h"

#include <windows.h>

#include <string>

#include "win32_error.h"
#include "win32_text.h"

namespace rt::win32 {
namespace {

using DateOrTimeFormat = int(WINAPI*)(LCID, DWORD, const SYSTEMTIME*, LPCWSTR, LPWSTR, int);

std::u16string formatted(const char16_t* call, DateOrTimeFormat format, DWORD flags, const DateTime& when) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(when.year);
  st.wMonth = static_cast<WORD>(when.month);
  st.wDay = static_cast<WORD>(when.day);
  st.wHour = static_cast<WORD>(when.hour);
  st.wMinute = static_cast<WORD>(when.minute);
  st.wSecond = static_cast<WORD>(when.second);
  const int size = format(LOCALE_USER_DEFAULT, flags, &st, nullptr, nullptr, 0);
  if (size <= 0) throw lastError(call, err::InvalidProcedureCall);
  std::wstring text(static_cast<std::size_t>(size), L'\0');
  const int got = format(LOCALE_USER_DEFAULT, flags, &st, nullptr, text.data(), size);
  if (got <= 0) throw lastError(call, err::InvalidProcedureCall);
  return fromWide(text.data(), static_cast<std::size_t>(got - 1));
}

}  // namespace

DateTime Win32Clock::now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

std::u16string Win32Clock::formatDate(const DateTime& when) { return formatted(u"GetDateFormatW", GetDateFormatW, DATE_SHORTDATE, when); }

std::u16string Win32Clock::formatTime(const DateTime& when) { return formatted(u"GetTimeFormatW", GetTimeFormatW, 0, when); }

}  // namespace rt::win32
