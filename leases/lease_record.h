#pragma once
// The log record of one lease, as c:\temp\findout.txt holds it: six lines
// whose items stand in print zones (runtime/print_line.h). This is the one
// statement of its layout: the lookup writes records with it, and whatever
// checks a log reads them back with it.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "leases/lease_line.h"

namespace leases {

inline constexpr std::size_t kRecordLines = 6;
using RecordLines = std::array<std::u16string, kRecordLines>;

// What one record says, its values as logged: the host as it stands in the
// listing, the MAC converted, every other value trimmed.
struct LoggedRecord {
  std::u16string date, time, host, mac, ip, mask, expiry;
  bool operator==(const LoggedRecord&) const = default;
};

// The record of a lease found at date and time (as the clock formats them),
// its MAC already converted; lines without their line ends.
LoggedRecord recordOf(const Lease& lease, std::u16string_view date, std::u16string_view time);
// The record's six lines:
//   "Searchdate:", zone, date, " ", time
//   zone, host
//   zone, tab, zone, "Macaddress:", zone, mac      (and so on for
//   "IPaddress:" ip, "Mask:" mask and "Lease:" expiry)
RecordLines recordLines(const LoggedRecord& record);
// The record that six logged lines hold, or none when they are not laid out
// as a record. The date is the text up to the first blank after the zone.
std::optional<LoggedRecord> readRecord(const RecordLines& lines);

}  // namespace leases
