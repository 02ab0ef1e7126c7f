#pragma once
// What a lookup shows while it runs, and how it keeps its window alive and
// stoppable. Between records and between the pieces a search reads, at
// least every few tens of milliseconds, it runs the window's pending events; a
// Close among them stops the lookup. Once the lookup has run half a second
// (a common one-match lookup never gets there), it shows a few times a
// second the listing being read and the leases found in the output field,
// and the bytes read of all listings on the taskbar button.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "converter/form1.h"

namespace leases {

class LookupProgress {
 public:
  // sizes: the listings' sizes in bytes, in list order (0 where unknown).
  LookupProgress(conv::Form1& form, std::vector<std::uint64_t> sizes);
  // Gives the input back and takes the progress away.
  ~LookupProgress();
  LookupProgress(const LookupProgress&) = delete;
  LookupProgress& operator=(const LookupProgress&) = delete;

  void startListing(std::size_t index);
  void found() { ++found_; }
  // bytes read of the listing so far: bytes read again count again, and
  // the listing's size caps them.
  void read(std::uint64_t bytes);
  // Between records and between the pieces a search reads: runs the
  // window's events when they are due, shows the progress when it is due.
  // rt::Stopped once an event ended the program.
  void step();

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
  bool shown_ = false;
};

}  // namespace leases
