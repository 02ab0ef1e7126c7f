// Conversion and its script line: only separators change, the length
// stays, converting back restores a one-separator input, and the script
// line sets exactly the result or is absent for a reason.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cmd_set_model.h"
#include "converter/form1.h"
#include "converter/script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string input;
  for (std::size_t i = 0; i + 1 < size; i += 2) input += static_cast<char16_t>(data[i] | data[i + 1] << 8);
  const std::u16string result = conv::convertSeparators(input);
  const bool colon = input.find(u':') != std::u16string::npos, dash = input.find(u'-') != std::u16string::npos;
  if (!colon && !dash) {
    if (!result.empty()) std::abort();
    return 0;
  }
  if (result.size() != input.size()) std::abort();
  for (std::size_t i = 0; i < input.size(); ++i) {
    const bool changed = input[i] != result[i];
    const bool separators = (input[i] == u':' && result[i] == u'-') || (input[i] == u'-' && result[i] == u':');
    if (changed != separators) std::abort();
  }
  if (colon != dash && conv::convertSeparators(result) != input) std::abort();

  // The script line sets exactly the result, or there is none, and then
  // for a reason: a character cmd could read otherwise, or a line that
  // escaping could have made longer than cmd reads.
  const auto line = conv::scriptAssignment(result);
  if (line && cmd_model::valueSetBy(*line, u"mac") != result) std::abort();
  const bool oddCharacter = std::any_of(result.begin(), result.end(), [](char16_t c) {
    return (c < u' ' && c != u'\t') || c > u'~' || c == u'!';
  });
  if (!line && !oddCharacter && 8 + 2 * result.size() <= 8191) std::abort();
  return 0;
}
