#pragma once
// One client line of a lease listing and the command line of a lookup.
#include <optional>
#include <string>
#include <string_view>

namespace leases {

// Fields keep the blanks around them as they stand in the listing.
struct Lease {
  std::u16string ip, mask, mac, expiry, host;
};

// A line of at least five fields separated by " -", whose fifth field holds
// "- " followed by a non-empty name; the host is the name up to its first
// ".". Header, footer and other lines give none.
std::optional<Lease> parseLeaseLine(std::u16string_view line);

struct LookupCommand {
  std::u16string listPath;
  std::u16string searchText;
};

// "/dhcp<listfile searchtext"; error 9 naming that form when a part is
// missing. A pair of double quotes around the whole command line, and one
// around the search text, are taken off.
LookupCommand parseLookupCommand(std::u16string_view commandLine);

// The clipboard report of one lease, with the MAC already converted.
std::u16string leaseReport(const Lease& lease);

}  // namespace leases
