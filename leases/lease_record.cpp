#include "leases/lease_record.h"

#include "runtime/print_line.h"
#include "runtime/text.h"

namespace leases {
namespace {

using rt::zone;

constexpr char16_t kDateLabel[] = u"Searchdate:";
constexpr const char16_t* kValueLabels[] = {u"Macaddress:", u"IPaddress:", u"Mask:", u"Lease:"};

// What stands before the value on each line: the value is the line's last
// item, so a line is its prefix followed by its value.
std::u16string prefixOf(std::size_t line) {
  if (line == 0) return rt::layoutPrintLine({kDateLabel, zone});
  if (line == 1) return rt::layoutPrintLine({zone});
  return rt::layoutPrintLine({zone, u"\t", zone, kValueLabels[line - 2], zone});
}

}  // namespace

LoggedRecord recordOf(const Lease& lease, std::u16string_view date, std::u16string_view time) {
  return {std::u16string(date), std::u16string(time), lease.host,           rt::trim(lease.mac),
          rt::trim(lease.ip),   rt::trim(lease.mask), rt::trim(lease.expiry)};
}

RecordLines recordLines(const LoggedRecord& r) {
  const std::u16string* values[] = {&r.host, &r.mac, &r.ip, &r.mask, &r.expiry};
  RecordLines lines;
  lines[0] = prefixOf(0) + r.date + u" " + r.time;
  for (std::size_t i = 1; i < kRecordLines; ++i) lines[i] = prefixOf(i) + *values[i - 1];
  return lines;
}

std::optional<LoggedRecord> readRecord(const RecordLines& lines) {
  std::u16string values[kRecordLines];
  for (std::size_t i = 0; i < kRecordLines; ++i) {
    const std::u16string prefix = prefixOf(i);
    if (lines[i].compare(0, prefix.size(), prefix) != 0) return std::nullopt;
    values[i] = lines[i].substr(prefix.size());
  }
  const std::size_t blank = values[0].find(u' ');
  if (blank == std::u16string::npos) return std::nullopt;
  return LoggedRecord{values[0].substr(0, blank), values[0].substr(blank + 1), values[1], values[2], values[3],
                      values[4], values[5]};
}

}  // namespace leases
