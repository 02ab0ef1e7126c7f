#pragma once
// What a lookup shows while it runs, and how it keeps its window alive and
// stoppable. Between records and between the pieces a search reads, at
// least every few tens of milliseconds, it runs the window's pending events; a
// Close among them stops the lookup. Once the lookup has run half a second
// (a common one-match lookup never gets there), it shows a few times a
// second the listing being read and the leases found in the output field,
// and the bytes read of all listings on the taskbar button. A read that
// waits on the system (a pipe, a share that stalls) is waited for with the
// window's events running; after 2 s the output field names the file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "converter/form1.h"

namespace leases {

class LookupProgress {
 public:
  explicit LookupProgress(conv::Form1& form);
  // Gives the input back and takes the progress away.
  ~LookupProgress();
  LookupProgress(const LookupProgress&) = delete;
  LookupProgress& operator=(const LookupProgress&) = delete;

  // The listings' sizes in bytes, in list order (0 where unknown), once
  // the list file is read: from then on the progress shows.
  void listings(std::vector<std::uint64_t> sizes);
  void startListing(std::size_t index);
  void found() { ++found_; }
  // bytes read of the listing so far: bytes read again count again, and
  // the listing's size caps them.
  void read(std::uint64_t bytes);
  // Between records and between the pieces a search reads: runs the
  // window's events when they are due, shows the progress when it is due.
  // rt::Stopped once an event ended the program.
  void step();
  // A step of file number's search is Waiting: waits for the read with the
  // window's events running, telling after a while that it waits for path.
  // rt::Stopped once an event ended the program; the read is cancelled as
  // the lookup closes its files.
  void waitFor(int number, std::u16string_view path);

  // What the output field shows: "Listing 2 of 8: 1234 found".
  static std::u16string status(std::size_t listing, std::size_t listings, std::size_t found);

 private:
  void show();

  conv::Form1& form_;
  const rt::Services& rt_;
  std::vector<std::uint64_t> sizes_;
  std::uint64_t total_ = 0, done_ = 0, listingStart_ = 0;
  std::size_t listing_ = 0, found_ = 0;
  std::uint64_t start_, lastEvents_, lastShown_ = 0;
  bool listed_ = false, shown_ = false;
};

}  // namespace leases
