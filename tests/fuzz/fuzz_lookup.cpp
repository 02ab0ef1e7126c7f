// The lookup's command line and lease lines: parts found are pieces of
// what was given, and reported fields are substrings of the line.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "leases/lease_line.h"
#include "runtime/error.h"

namespace {

bool within(const std::u16string& part, const std::u16string& whole) { return whole.find(part) != std::u16string::npos; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Bytes as characters, so the fuzzer's ASCII guesses (" -", "- ") land.
  const std::u16string text(data, data + size);

  const auto parsed = [](const std::u16string& line) -> std::optional<leases::LookupCommand> {
    try {
      return leases::parseLookupCommand(line);
    } catch (const rt::Error& e) {
      if (e.number() != rt::err::SubscriptOutOfRange) std::abort();
      return std::nullopt;
    }
  };
  if (const auto command = parsed(text)) {
    if (!within(u"<" + command->listPath, text) || !within(command->searchText, text)) std::abort();
    if (command->listPath.find_first_of(u" <") != std::u16string::npos) std::abort();
    if (command->searchText.find(u' ') != std::u16string::npos) std::abort();
  }
  // Quotes around the whole command line, as a shell adds them, change nothing.
  if (text.empty() || (text.front() != u'"' && text.back() != u'"')) {
    const auto plain = parsed(text), quoted = parsed(u'"' + text + u'"');
    if (plain.has_value() != quoted.has_value()) std::abort();
    if (plain && (plain->listPath != quoted->listPath || plain->searchText != quoted->searchText)) std::abort();
  }

  if (const auto lease = leases::parseLeaseLine(text)) {
    for (const auto* field : {&lease->ip, &lease->mask, &lease->mac, &lease->expiry, &lease->host})
      if (!within(*field, text)) std::abort();
    if (lease->host.find(u'.') != std::u16string::npos) std::abort();
    const auto report = leases::leaseReport(*lease);
    if (report.rfind(u"Hostname" + lease->host + u"\r\nMacaddress:", 0) != 0) std::abort();
  }
  return 0;
}
