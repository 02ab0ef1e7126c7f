// Conversion and its script line: only separators change, the length
// stays, converting back restores a one-separator input, and the script
// line sets exactly the result.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cmd_set_model.h"
#include "converter/form1.h"

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

  const auto line = conv::scriptAssignment(result);
  const bool breaks = result.find_first_of(std::u16string(u"\r\n\0", 3)) != std::u16string::npos;
  if (line.has_value() == breaks) std::abort();
  if (line && cmd_model::valueSetBy(*line, u"mac") != result) std::abort();
  return 0;
}
