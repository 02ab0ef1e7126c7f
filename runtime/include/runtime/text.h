#pragma once
// Text helpers on 16-bit strings. Searches are exact; positions handed to
// callers are 0-based offsets unless a function says otherwise.
#include <string>
#include <string_view>
#include <vector>

namespace rt {

// Splits at every occurrence of delim. n delimiters give n + 1 pieces; the
// empty text gives no pieces at all. An empty delimiter does not split.
std::vector<std::u16string> split(std::u16string_view text, std::u16string_view delim);


// 1-based position of needle in text, searching from position 1; 0 when
// absent. An empty needle is found at position 1 of any non-empty text.
std::size_t inStr(std::u16string_view text, std::u16string_view needle);

bool contains(std::u16string_view text, std::u16string_view needle);

// Removes blanks (U+0020 only) at both ends.
std::u16string trim(std::u16string_view text);

// Whether name begins with prefix and ends with suffix, apart, with ASCII
// letters compared regardless of case, as file names are compared.
bool hasEndsIgnoringCase(std::u16string_view name, std::u16string_view prefix, std::u16string_view suffix);

// ASCII text as 16-bit text, for numbers and literals.
std::u16string widen(std::string_view ascii);

std::string toUtf8(std::u16string_view text);
std::u16string fromUtf8(std::string_view bytes);  // invalid sequences: U+FFFD

}  // namespace rt
