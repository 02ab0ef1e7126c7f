#include "leases/lookup_progress.h"

#include <algorithm>
#include <numeric>

#include "runtime/program.h"
#include "runtime/text.h"

namespace leases {
namespace {

// Events run at least this often while the lookup works: the window then
// answers the system well within 100 ms. Checking the time costs nothing
// beside reading 256 KiB or reporting a match.
constexpr std::uint64_t kEventsEveryMs = 20;
// A lookup over sooner shows nothing new: no flicker for a short one.
constexpr std::uint64_t kQuietMs = 500;
// A few times a second: more often than a person reads, less often than
// the screen shows.
constexpr std::uint64_t kShowEveryMs = 250;
// A read that waits is waited for in slices no longer than this, and the
// window's events run after each; past kTellWaitMs the wait is named.
constexpr unsigned kWaitSliceMs = 250;
constexpr std::uint64_t kTellWaitMs = 2000;

}  // namespace

LookupProgress::LookupProgress(conv::Form1& form)
    : form_(form),
      rt_(form.services()),
      start_(rt_.clock.milliseconds()),
      lastEvents_(start_ - kEventsEveryMs) {  // the first step runs them: the lookup has read its list
  form_.setBusy(true);
}

LookupProgress::~LookupProgress() {
  if (shown_) rt_.windows.showProgress(0, 0);
  form_.setBusy(false);
}

std::u16string LookupProgress::status(std::size_t listing, std::size_t listings, std::size_t found) {
  const auto number = [](std::size_t n) { return rt::widen(std::to_string(n)); };
  return u"Listing " + number(listing) + u" of " + number(listings) + u": " + number(found) + u" found";
}

void LookupProgress::listings(std::vector<std::uint64_t> sizes) {
  sizes_ = std::move(sizes);
  total_ = std::accumulate(sizes_.begin(), sizes_.end(), std::uint64_t{0});
  listed_ = true;
}

void LookupProgress::startListing(std::size_t index) {
  listing_ = index;
  listingStart_ = std::accumulate(sizes_.begin(), sizes_.begin() + static_cast<std::ptrdiff_t>(index), std::uint64_t{0});
  done_ = listingStart_;
  step();
}

void LookupProgress::read(std::uint64_t bytes) {
  done_ = listingStart_ + std::min(bytes, listing_ < sizes_.size() ? sizes_[listing_] : 0);
}

void LookupProgress::step() {
  const std::uint64_t now = rt_.clock.milliseconds();
  if (now - lastEvents_ >= kEventsEveryMs) {
    lastEvents_ = now;
    rt_.windows.doEvents();
    if (listed_ && now - start_ >= kQuietMs && (!shown_ || now - lastShown_ >= kShowEveryMs)) {
      lastShown_ = now;
      show();
    }
  }
  if (rt_.windows.endAsked()) throw rt::Stopped();
}

void LookupProgress::waitFor(int number, std::u16string_view path) {
  const std::uint64_t start = rt_.clock.milliseconds();
  bool told = false;
  while (rt::Signal* signal = rt_.files.readSignal(number)) {
    rt_.windows.waitFor(*signal, kWaitSliceMs);
    const std::uint64_t now = rt_.clock.milliseconds();
    lastEvents_ = now;
    rt_.windows.doEvents();
    if (rt_.windows.endAsked()) throw rt::Stopped();
    if (!told && now - start >= kTellWaitMs) {
      told = shown_ = true;
      lastShown_ = now;
      form_.showStatus(u"Waiting for " + std::u16string(path));
    }
  }
  // The wait named outlives it no moment: how far the lookup is, at once.
  if (told && listed_) show();
  else if (told) form_.showStatus(u"");
}

void LookupProgress::show() {
  shown_ = true;
  form_.showStatus(status(listing_ + 1, sizes_.size(), found_));
  rt_.windows.showProgress(done_, total_);
}

}  // namespace leases
