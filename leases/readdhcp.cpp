#include "leases/readdhcp.h"

#include <optional>
#include <vector>

#include "leases/lease_line.h"
#include "leases/lookup_progress.h"
#include "leases/lookup_run.h"
#include "runtime/program.h"
#include "runtime/text.h"

namespace leases {
namespace {

using Search = rt::FileTable::Search;

// The listings the list file names, blank lines passed over. Its reads may
// wait as a listing's do.
std::vector<std::u16string> listingsNamed(rt::FileTable& files, const std::u16string& listPath,
                                          LookupProgress& progress) {
  std::vector<std::u16string> listings;
  std::u16string listing;
  for (;;) {
    const Search step = files.nextLine(kListFile, listing);
    if (step == Search::End) return listings;
    if (step == Search::Waiting) progress.waitFor(kListFile, listPath);
    if (step == Search::Found && !rt::trim(listing).empty()) listings.push_back(listing);
    progress.step();
  }
}

// Reports and logs every lease line of one listing. Between records and
// between the pieces its search reads, the window's events run.
void searchListing(const rt::Services& services, LookupRun& run, const std::u16string& path,
                   const std::u16string& searchText, LookupProgress& progress) {
  rt::FileTable& files = services.files;
  rt::OpenFile listing(files, kListingFile, path, rt::OpenMode::Input);
  std::u16string line;
  for (;;) {
    const Search step = files.lineInputContaining(kListingFile, searchText, line);
    progress.read(files.bytesRead(kListingFile));
    if (step == Search::End) break;
    if (step == Search::Waiting) {
      progress.waitFor(kListingFile, path);
      continue;
    }
    if (step == Search::Found) {
      if (auto lease = parseLeaseLine(line)) {
        // Converted without exports: the report holds the address at once,
        // and a lookup leaves the exported script alone.
        lease->mac = conv::convertSeparators(lease->mac);
        run.report(leaseReport(*lease));
        run.log(*lease);
        progress.found();
      }
    }
    progress.step();  // a stop comes here: after a whole record
  }
  listing.close();
}

void lookUp(conv::Form1& form, LookupRun& run, const std::u16string& wert) {
  const rt::Services& services = form.services();
  rt::FileTable& files = services.files;
  run.emptyDataFile();
  const LookupCommand command = parseLookupCommand(wert);
  rt::OpenFile list(files, kListFile, command.listPath, rt::OpenMode::Input);
  LookupProgress progress(form);
  // Named first, so that the progress can count the listings and their bytes.
  const std::vector<std::u16string> listings = listingsNamed(files, command.listPath, progress);
  std::vector<std::uint64_t> sizes;
  for (const std::u16string& listing : listings) sizes.push_back(files.sizeOf(listing));
  progress.listings(std::move(sizes));
  for (std::size_t i = 0; i < listings.size(); ++i) {
    progress.startListing(i);
    searchListing(services, run, listings[i], command.searchText, progress);
  }
  list.close();
}

}  // namespace

void readdhcp(conv::Form1& form, const std::u16string& wert) {
  LookupRun run(form);
  try {
    lookUp(form, run, wert);
  } catch (const rt::Stopped&) {
    // Close or the close box: the run leaves what a finished one would.
    run.end(LookupRun::End::Stopped);
    throw;
  } catch (const rt::ProcessEnded&) {
    throw;  // the session's end has left all as it stays
  } catch (...) {
    // Left whole before the report is shown.
    run.end(LookupRun::End::Failed);
    throw;
  }
  run.end(LookupRun::End::Finished);
}

bool leaseBranch(conv::Form1& form, const std::u16string& commandLine) {
  if (!rt::contains(commandLine, u"/dhcp<")) return false;
  readdhcp(form, commandLine);
  return true;
}

}  // namespace leases
