#include "leases/lease_line.h"

#include "runtime/error.h"
#include "runtime/text.h"

namespace leases {

std::optional<Lease> parseLeaseLine(std::u16string_view line) {
  const auto fields = rt::split(line, u" -");
  if (fields.size() < 5) return std::nullopt;
  const auto typeAndName = rt::split(fields[4], u"- ");
  if (typeAndName.size() < 2 || typeAndName[1].empty()) return std::nullopt;
  const auto nameParts = rt::split(typeAndName[1], u".");
  return Lease{fields[0], fields[1], fields[2], fields[3], nameParts[0]};
}

namespace {

// Shells and shortcut editors put double quotes around an argument that
// holds a blank; one such pair around the text is not part of it.
std::u16string_view unquoted(std::u16string_view text) {
  if (text.size() >= 2 && text.front() == u'"' && text.back() == u'"') return text.substr(1, text.size() - 2);
  return text;
}

}  // namespace

LookupCommand parseLookupCommand(std::u16string_view commandLine) {
  const auto words = rt::split(unquoted(commandLine), u" ");
  const auto modeAndPath = words.empty() ? words : rt::split(words[0], u"<");
  if (words.size() < 2 || modeAndPath.size() < 2)
    throw rt::errorWithDetail(rt::err::SubscriptOutOfRange, u"expected /dhcp<listfile searchtext");
  return {modeAndPath[1], std::u16string(unquoted(words[1]))};
}

std::u16string leaseReport(const Lease& lease) {
  return u"Hostname" + lease.host + u"\r\nMacaddress:" + rt::trim(lease.mac) + u"\r\nIPaddress:" +
         rt::trim(lease.ip) + u"\r\nMask:" + rt::trim(lease.mask) + u"\r\nLease:" + rt::trim(lease.expiry);
}

}  // namespace leases
