#include "leases/readdhcp.h"

#include <optional>

#include "leases/lease_line.h"
#include "runtime/text.h"

namespace leases {
namespace {

constexpr int kListFile = 1;
constexpr int kListingFile = 2;
constexpr char16_t kDataFile[] = u"c:\\temp\\datas.txt";
constexpr char16_t kLogFile[] = u"c:\\temp\\findout.txt";

void emptyDataFile(rt::FileTable& files) {
  const int number = files.freeFile();
  files.open(number, kDataFile, rt::OpenMode::Output);
  files.close(number);
}

void appendRecord(rt::Services& services, const Lease& lease) {
  using rt::zone;
  const rt::DateTime when = services.now();
  const std::u16string date = services.formatDate(when), time = services.formatTime(when);
  const std::u16string mac = rt::trim(lease.mac), ip = rt::trim(lease.ip), mask = rt::trim(lease.mask),
                       expiry = rt::trim(lease.expiry);
  rt::FileTable& files = services.files();
  const int number = files.freeFile();
  files.open(number, kLogFile, rt::OpenMode::Append);
  try {
    files.printLine(number, {u"Searchdate:", zone, date, u" ", time});
    files.printLine(number, {zone, lease.host});
    files.printLine(number, {zone, u"\t", zone, u"Macaddress:", zone, mac});
    files.printLine(number, {zone, u"\t", zone, u"IPaddress:", zone, ip});
    files.printLine(number, {zone, u"\t", zone, u"Mask:", zone, mask});
    files.printLine(number, {zone, u"\t", zone, u"Lease:", zone, expiry});
  } catch (...) {
    // A record reaches the log whole or not at all: the error report's
    // closing of open files must not write the lines made so far.
    files.abandon(number);
    throw;
  }
  files.close(number);  // the whole record goes out in this one write
}

// Reports every lease line of one listing; lastReport keeps the latest.
void searchListing(rt::Services& services, const std::u16string& path, const std::u16string& searchText,
                   std::optional<std::u16string>& lastReport) {
  rt::FileTable& files = services.files();
  files.open(kListingFile, path, rt::OpenMode::Input);
  std::u16string line;
  while (files.lineInputContaining(kListingFile, searchText, line)) {
    auto lease = parseLeaseLine(line);
    if (!lease) continue;
    // Converted without exports: the report holds the address at once, and
    // a lookup leaves the exported script alone.
    lease->mac = conv::convertSeparators(lease->mac);
    lastReport = leaseReport(*lease);
    // Each report passes by clipboard history; the last is set again at
    // the end as the one the lookup leaves.
    services.clipboardSetText(*lastReport, rt::Services::ClipboardEntry::Passing);
    appendRecord(services, *lease);
  }
  files.close(kListingFile);
}

}  // namespace

void readdhcp(conv::Form1& form, const std::u16string& wert) {
  rt::Services& services = form.services();
  rt::FileTable& files = services.files();
  emptyDataFile(files);
  const LookupCommand command = parseLookupCommand(wert);
  files.open(kListFile, command.listPath, rt::OpenMode::Input);
  std::optional<std::u16string> lastReport;
  while (!files.eof(kListFile)) {
    const std::u16string listing = files.lineInput(kListFile);
    if (rt::trim(listing).empty()) continue;
    searchListing(services, listing, command.searchText, lastReport);
  }
  files.close(kListFile);
  if (lastReport) services.clipboardSetText(*lastReport, rt::Services::ClipboardEntry::Final);
}

bool leaseBranch(conv::Form1& form, const std::u16string& commandLine) {
  if (!rt::contains(commandLine, u"/dhcp<")) return false;
  readdhcp(form, commandLine);
  return true;
}

}  // namespace leases
