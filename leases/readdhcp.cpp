#include "leases/readdhcp.h"

#include <optional>
#include <vector>

#include "leases/lease_line.h"
#include "leases/lease_record.h"
#include "leases/lookup_progress.h"
#include "runtime/program.h"
#include "runtime/text.h"

namespace leases {
namespace {

constexpr int kListFile = 1;
constexpr int kListingFile = 2;
constexpr char16_t kDataFile[] = u"c:\\temp\\datas.txt";
constexpr char16_t kLogFile[] = u"c:\\temp\\findout.txt";

void emptyDataFile(rt::FileTable& files) { rt::OpenFile(files, files.freeFile(), kDataFile, rt::OpenMode::Output).close(); }

void appendRecord(const rt::Services& services, const Lease& lease) {
  const rt::DateTime when = services.clock.now();
  const RecordLines lines =
      recordLines(recordOf(lease, services.clock.formatDate(when), services.clock.formatTime(when)));
  rt::FileTable& files = services.files;
  // A record reaches the log whole or not at all: a line that fails on the
  // way leaves the guard to abandon what was printed before it.
  rt::OpenFile log(files, files.freeFile(), kLogFile, rt::OpenMode::Append);
  for (const std::u16string& line : lines) files.printLine(log.number(), {line});
  log.close();  // the whole record goes out in this one write
}

// The listings the list file names, blank lines passed over.
std::vector<std::u16string> listingsNamed(rt::FileTable& files) {
  std::vector<std::u16string> listings;
  while (!files.eof(kListFile)) {
    std::u16string listing = files.lineInput(kListFile);
    if (!rt::trim(listing).empty()) listings.push_back(std::move(listing));
  }
  return listings;
}

// Reports every lease line of one listing; lastReport keeps the latest.
void searchListing(const rt::Services& services, const std::u16string& path, const std::u16string& searchText,
                   std::optional<std::u16string>& lastReport, LookupProgress& progress) {
  rt::FileTable& files = services.files;
  rt::OpenFile listing(files, kListingFile, path, rt::OpenMode::Input);
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
    services.clipboard.setText(*lastReport, rt::Clipboard::Entry::Passing);
    appendRecord(services, *lease);
    progress.found();
    progress.step();  // a stop comes here or between reads: after a whole record
  }
  listing.close();
}

}  // namespace

void readdhcp(conv::Form1& form, const std::u16string& wert) {
  const rt::Services& services = form.services();
  rt::FileTable& files = services.files;
  emptyDataFile(files);
  const LookupCommand command = parseLookupCommand(wert);
  rt::OpenFile list(files, kListFile, command.listPath, rt::OpenMode::Input);
  // Named first, so that the progress can count the listings and their bytes.
  const std::vector<std::u16string> listings = listingsNamed(files);
  std::vector<std::uint64_t> sizes;
  for (const std::u16string& listing : listings) sizes.push_back(files.sizeOf(listing));
  std::optional<std::u16string> lastReport;
  bool stopped = false;
  {
    LookupProgress progress(form, std::move(sizes));
    try {
      for (std::size_t i = 0; i < listings.size(); ++i) {
        progress.startListing(i);
        searchListing(services, listings[i], command.searchText, lastReport, progress);
      }
    } catch (const rt::Stopped&) {
      // Close, the close box or the end of the session: what was logged is
      // whole, and the run leaves the last report as a finished one would.
      stopped = true;
    }
  }
  list.close();
  if (lastReport) services.clipboard.setText(*lastReport, rt::Clipboard::Entry::Final);
  if (stopped) throw rt::Stopped();
}

bool leaseBranch(conv::Form1& form, const std::u16string& commandLine) {
  if (!rt::contains(commandLine, u"/dhcp<")) return false;
  readdhcp(form, commandLine);
  return true;
}

}  // namespace leases
