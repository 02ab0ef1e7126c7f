#include <gtest/gtest.h>

#include "converter/form1.h"
#include "fixture.h"
#include "leases/lease_line.h"
#include "leases/lease_record.h"
#include "leases/lookup_progress.h"
#include "leases/readdhcp.h"
#include "runtime/program.h"
#include "waiting_reads.h"

namespace {

using testing_support::World;

const std::string kLease =
    "192.168.0.10    - 255.255.255.0   - 00-1a-2b-3c-4d-5e    - 18.11.2011 09:00:00    -D-  pc01.example.org";

std::string lease(const std::string& ip, const std::string& mac, const std::string& name) {
  return ip + "   - 255.255.0.0  - " + mac + "   - 01.01.2027 10:00:00   -D-  " + name;
}

// The record the log holds for these values, at the memory clock's time.
std::string record(const std::string& host, const std::string& mac, const std::string& ip, const std::string& mask,
                   const std::string& lease) {
  const auto w = [](const std::string& text) { return rt::widen(text); };
  std::string bytes;
  for (const std::u16string& line :
       leases::recordLines({u"07.12.2026", u"09:30:05", w(host), w(mac), w(ip), w(mask), w(lease)}))
    bytes += rt::toUtf8(line) + "\r\n";
  return bytes;
}

// The one statement of the record's layout, against the columns it must
// have: date and host at column 15, the tab at 15, label at 29, value at 43.
TEST(Record, TheLayoutPutsEachItemInItsColumnAndReadsBackWhatItWrote) {
  const leases::Lease lease{u"192.168.0.10 ", u" 255.255.255.0 ", u" 00:1a:2b:3c:4d:5e   ", u" 18.11.2011 09:00:00 ",
                            u" pc01"};
  const leases::LoggedRecord logged = leases::recordOf(lease, u"07.12.2026", u"9:30:05 AM");
  const std::string pad(14, ' ');
  const auto field = [&](const std::string& label, const std::string& value) {
    return pad + "\t" + std::string(13, ' ') + label + std::string(14 - label.size(), ' ') + value;
  };
  const std::string expected[] = {"Searchdate:   07.12.2026 9:30:05 AM",    pad + " pc01",
                                  field("Macaddress:", "00:1a:2b:3c:4d:5e"), field("IPaddress:", "192.168.0.10"),
                                  field("Mask:", "255.255.255.0"),          field("Lease:", "18.11.2011 09:00:00")};
  const leases::RecordLines lines = leases::recordLines(logged);
  for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(rt::toUtf8(lines[i]), expected[i]) << "line " << i;
  EXPECT_EQ(leases::readRecord(lines), logged);
  // A value out of its column is no record.
  leases::RecordLines shifted = lines;
  shifted[3].erase(0, 1);
  EXPECT_FALSE(leases::readRecord(shifted).has_value());
}

class Lookup : public testing_support::World {
 protected:
  int run(std::u16string commandLine) {
    services_.invocation.commandLine_ = std::move(commandLine);
    return rt::runProgram(services_, [&] { form.Form_Load(); });
  }
  std::string log() { return read(u"c:\\temp\\findout.txt"); }

  conv::Form1 form{services_, leases::leaseBranch};
};

TEST_F(Lookup, TheWorkedExampleReportsToClipboardAndLog) {
  write(u"c:\\l.txt", "c:\\temp\\leases1.txt\r\n");
  write(u"c:\\temp\\leases1.txt", "Header line 00-1a\r\n" + kLease + "\r\n192.168.0.11 - x - 00-99 - y -D-  other\r\n");
  EXPECT_EQ(run(u"/dhcp<c:\\l.txt 00-1a"), 0);
  EXPECT_EQ(services_.clipboard.text_,
            u"Hostname pc01\r\nMacaddress:00:1a:2b:3c:4d:5e\r\nIPaddress:192.168.0.10\r\nMask:255.255.255.0\r\n"
            u"Lease:18.11.2011 09:00:00");
  EXPECT_EQ(log(), record(" pc01", "00:1a:2b:3c:4d:5e", "192.168.0.10", "255.255.255.0", "18.11.2011 09:00:00"));
  EXPECT_TRUE(exists(u"c:\\temp\\datas.txt"));
  EXPECT_EQ(read(u"c:\\temp\\datas.txt"), "");
  EXPECT_EQ(services_.windows.window().memoryField(u"Text1").text(), u"");  // no conversion of the command line
  EXPECT_TRUE(services_.windows.progress_.empty());  // a short lookup shows no progress
  EXPECT_TRUE(services_.windows.window().visible());
}

TEST_F(Lookup, EveryMatchOfEveryListingIsLoggedInOrderAndTheClipboardKeepsTheLast) {
  write(u"c:\\temp\\list.txt", "c:\\temp\\a.txt\r\n\r\nc:\\temp\\b.txt");
  write(u"c:\\temp\\a.txt", lease("10.0.0.1", "00-1a-00-00-00-01", "alpha.x") + "\n" +
                                lease("10.0.0.2", "00-1A-00-00-00-02", "upper.x") + "\n" +
                                lease("10.0.0.3", "00-1a-00-00-00-03", "gamma") + "\n");
  write(u"c:\\temp\\b.txt", lease("10.0.1a.4", "00-2b-00-00-00-04", "delta.x") + "\r\n");
  write(u"c:\\temp\\findout.txt", "earlier\r\n");
  EXPECT_EQ(run(u"/dhcp<c:\\temp\\list.txt 1a"), 0);
  const auto rec = [](const std::string& host, const std::string& mac, const std::string& ip) {
    return record(host, mac, ip, "255.255.0.0", "01.01.2027 10:00:00");
  };
  // 00-1A is not 1a; 10.0.1a.4 matches through its address.
  EXPECT_EQ(log(), "earlier\r\n" + rec(" alpha", "00:1a:00:00:00:01", "10.0.0.1") +
                       rec(" gamma", "00:1a:00:00:00:03", "10.0.0.3") + rec(" delta", "00:2b:00:00:00:04", "10.0.1a.4"));
  EXPECT_EQ(services_.clipboard.text_, u"Hostname delta\r\nMacaddress:00:2b:00:00:00:04\r\nIPaddress:10.0.1a.4\r\n"
                                  u"Mask:255.255.0.0\r\nLease:01.01.2027 10:00:00");
}

TEST_F(Lookup, AnEmptySearchTextReportsEveryLeaseLineAndSkipsTheRest) {
  write(u"c:\\temp\\list.txt", "c:\\temp\\a.txt\r\n");
  write(u"c:\\temp\\a.txt", "Client leases - scope 10.0.0.0\r\n---- ---- ----\r\n" +
                                lease("10.0.0.1", "00-1a-00-00-00-01", "one") + "\r\n" +
                                lease("10.0.0.2", "00-1a-00-00-00-02", "two") + "\r\n" +
                                "10.0.0.3 - m - 00-1a - l -D- \r\nDone - 2 leases\r\n");
  // More records than there are file numbers: each opening of the log is
  // closed again.
  std::string many;
  for (int i = 0; i < 600; ++i) many += lease("10.0.1.1", "00-2b", "many") + "\r\n";
  write(u"c:\\temp\\b.txt", many);
  write(u"c:\\temp\\list.txt", "c:\\temp\\a.txt\r\nc:\\temp\\b.txt\r\n");
  EXPECT_EQ(run(u"/dhcp<c:\\temp\\list.txt "), 0);
  const std::string text = log();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 6 * 602);
  EXPECT_NE(text.find("one\r\n"), std::string::npos);
  EXPECT_NE(text.find("two\r\n"), std::string::npos);
}

TEST_F(Lookup, TwoRunsAppendTwoRecordsAndLeaveTheScriptAlone) {
  write(u"c:\\temp\\list.txt", "c:\\temp\\a.txt\r\n");
  write(u"c:\\temp\\a.txt", kLease + "\r\n");
  write(u"c:\\temp\\wmac.cmd", "set mac=\r\nset mac=kept\r\n");
  run(u"/dhcp<c:\\temp\\list.txt 5e");
  run(u"/dhcp<c:\\temp\\list.txt 5e");
  const std::string one = record(" pc01", "00:1a:2b:3c:4d:5e", "192.168.0.10", "255.255.255.0", "18.11.2011 09:00:00");
  EXPECT_EQ(log(), one + one);
  EXPECT_EQ(read(u"c:\\temp\\wmac.cmd"), "set mac=\r\nset mac=kept\r\n");
  EXPECT_TRUE(services_.processes.started_.empty());
  // Each run sets its report once to pass by clipboard history and once,
  // at its end, as what it leaves; the address never stands there alone.
  using Entry = rt::Clipboard::Entry;
  const std::u16string report =
      u"Hostname pc01\r\nMacaddress:00:1a:2b:3c:4d:5e\r\nIPaddress:192.168.0.10\r\nMask:255.255.255.0\r\n"
      u"Lease:18.11.2011 09:00:00";
  ASSERT_EQ(services_.clipboard.history_.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(services_.clipboard.history_[i].text, report);
    EXPECT_EQ(services_.clipboard.history_[i].entry, i % 2 == 0 ? Entry::Passing : Entry::Final);
  }
}

TEST_F(Lookup, ARecordThatFailsHalfWayLeavesNoneOfItsLinesInTheLog) {
  write(u"c:\\temp\\list.txt", "c:\\temp\\a.txt\r\n");
  write(u"c:\\temp\\a.txt", kLease + "\r\n" + lease("10.0.0.1", "00-1a-FAIL", "pc02.example.org") + "\r\n");
  write(u"c:\\temp\\findout.txt", "an earlier record\r\n");
  testing_support::FailingEncode failing(fs_);
  rt::MemoryServices services(failing);
  services.invocation.commandLine_ = u"/dhcp<c:\\temp\\list.txt 00-1a";
  conv::Form1 lookup(services, leases::leaseBranch);
  // The second record's third line (its address) cannot be encoded.
  EXPECT_EQ(rt::runProgram(services, [&] { lookup.Form_Load(); }), rt::err::InvalidProcedureCall);
  EXPECT_EQ(log(), "an earlier record\r\n" +
                       record(" pc01", "00:1a:2b:3c:4d:5e", "192.168.0.10", "255.255.255.0", "18.11.2011 09:00:00"));
}

TEST_F(Lookup, ACommandLineWithoutItsPartsNamesTheExpectedForm) {
  for (const std::u16string bad : {u"/dhcp<c:\\temp\\list.txt", u"x /dhcp<c:\\temp\\list.txt 1a"}) {
    services_.errors.reported_.clear();
    EXPECT_EQ(run(bad), rt::err::SubscriptOutOfRange);
    ASSERT_EQ(services_.errors.reported_.size(), 1u);
    EXPECT_NE(services_.errors.reported_[0].description().find(u"/dhcp<listfile searchtext"), std::u16string::npos);
  }
}

TEST_F(Lookup, AMissingListingEndsWithAReportNamingItAndKeepsWhatWasLogged) {
  write(u"c:\\temp\\list.txt", "c:\\temp\\a.txt\r\nc:\\temp\\gone.txt\r\nc:\\temp\\a.txt\r\n");
  write(u"c:\\temp\\a.txt", kLease + "\r\n");
  EXPECT_EQ(run(u"/dhcp<c:\\temp\\list.txt pc01"), rt::err::FileNotFound);
  EXPECT_EQ(services_.errors.reported_.at(0).description(), u"File not found: c:\\temp\\gone.txt");
  EXPECT_EQ(log(), record(" pc01", "00:1a:2b:3c:4d:5e", "192.168.0.10", "255.255.255.0", "18.11.2011 09:00:00"));
  EXPECT_FALSE(services_.files.isOpen(1));
}

TEST_F(Lookup, QuotesAroundTheCommandLineOrTheSearchTextAreTakenOff) {
  write(u"c:\\temp\\list.txt", "c:\\temp\\a.txt\r\n");
  write(u"c:\\temp\\a.txt", kLease + "\r\n");
  // The search text "" is the empty text, which every lease line holds.
  for (const std::u16string command : {u"\"/dhcp<c:\\temp\\list.txt 00-1a\"", u"/dhcp<c:\\temp\\list.txt \"00-1a\"",
                                       u"/dhcp<c:\\temp\\list.txt \"\""}) {
    services_.clipboard.text_.reset();
    EXPECT_EQ(run(command), 0);
    EXPECT_EQ(services_.clipboard.text_.value_or(u"").substr(0, 13), u"Hostname pc01") << rt::toUtf8(command);
  }
  // A quote at one end only is part of the text, which no lease holds.
  services_.clipboard.text_.reset();
  EXPECT_EQ(run(u"/dhcp<c:\\temp\\list.txt 00-1a\""), 0);
  EXPECT_FALSE(services_.clipboard.text_.has_value());
}

TEST_F(Lookup, ACommandLineWithoutTheLookupIsConvertedAsAnAddress) {
  EXPECT_EQ(run(u"00:1a:2b"), 0);
  EXPECT_EQ(services_.windows.window().memoryField(u"Text2").text(), u"00-1a-2b");
  EXPECT_EQ(services_.clipboard.text_, u"00-1a-2b");
  EXPECT_EQ(read(u"c:\\temp\\wmac.cmd"), "set mac=\r\nset mac=00-1a-2b\r\n");
  EXPECT_FALSE(exists(u"c:\\temp\\datas.txt"));
}

TEST_F(Lookup, AListedPathThatNamesNoFileEndsWithAReportNamingTheLine) {
  write(u"c:\\temp\\a.txt", kLease + "\r\n");
  // A NUL would cut the path short, at a file that does exist.
  write(u"c:\\temp\\list.txt", std::string("c:\\temp\\a.txt\0junk\r\n", 20));
  EXPECT_EQ(run(u"/dhcp<c:\\temp\\list.txt 00-1a"), rt::err::BadFileNameOrNumber);
  EXPECT_EQ(services_.errors.reported_.at(0).description(), u"Bad file name or number: c:\\temp\\a.txt<NUL>junk");
  EXPECT_FALSE(exists(u"c:\\temp\\findout.txt"));
  // A lone surrogate in a UTF-16 list names no file either.
  write(u"c:\\temp\\list.txt", std::string("\xFF\xFE" "a\0\x00\xD8.\0\r\0\n\0", 12));
  services_.errors.reported_.clear();
  EXPECT_EQ(run(u"/dhcp<c:\\temp\\list.txt 00-1a"), rt::err::BadFileNameOrNumber);
  EXPECT_EQ(services_.errors.reported_.at(0).number(), rt::err::BadFileNameOrNumber);
}

TEST_F(Lookup, AMatchingLineLongerThanSixteenMebibytesIsOutOfMemory) {
  write(u"c:\\temp\\list.txt", "c:\\temp\\a.txt\r\n");
  write(u"c:\\temp\\a.txt", kLease + "\r\n" + std::string(17'000'000, 'x') + " 00-1a\r\n");
  EXPECT_EQ(run(u"/dhcp<c:\\temp\\list.txt 00-1a"), rt::err::OutOfMemory);
  EXPECT_EQ(services_.errors.reported_.at(0).description(), u"Out of memory");
  // The lease before it was reported and logged.
  EXPECT_EQ(log(), record(" pc01", "00:1a:2b:3c:4d:5e", "192.168.0.10", "255.255.255.0", "18.11.2011 09:00:00"));
}

TEST_F(Lookup, ASearchTextTheListingCannotHoldEndsWithoutHoldingAnyLine) {
  // U+0151 has no form in Windows-1252, nor a lone surrogate in UTF-8: no
  // line of such a listing can hold them, however long its lines.
  write(u"c:\\temp\\list.txt", "c:\\temp\\a.txt\r\nc:\\temp\\u.txt\r\n");
  write(u"c:\\temp\\a.txt", std::string(17'000'000, '\xE9') + "\r\n" + kLease + "\r\n");
  write(u"c:\\temp\\u.txt", "\xEF\xBB\xBF" + std::string(17'000'000, '\xFF') + "\r\n" + kLease + "\r\n");
  EXPECT_EQ(run(u"/dhcp<c:\\temp\\list.txt \u0151"), 0);
  EXPECT_EQ(run(u"/dhcp<c:\\temp\\list.txt a" + std::u16string(1, char16_t{0xD800})), 0);
  EXPECT_TRUE(services_.errors.reported_.empty());
  EXPECT_EQ(log(), "");
}

// A clipboard on which the user clicks the close box while the k-th
// report is being set: the click waits among the window's pending events.
class ClosingClipboard : public rt::MemoryClipboard {
 public:
  ClosingClipboard(rt::MemoryWindowSystem& windows, std::size_t k) : windows_(windows), k_(k) {}
  void setText(std::u16string_view text, Entry entry) override {
    MemoryClipboard::setText(text, entry);
    if (entry == Entry::Passing && ++sets_ == k_)
      windows_.userActions_.push_back([this] { windows_.window().userCloseBox(); });
  }

 private:
  rt::MemoryWindowSystem& windows_;
  std::size_t k_, sets_ = 0;
};

TEST_F(World, ACloseDuringTheKthReportStopsAfterKWholeRecordsAndLeavesTheKthReport) {
  std::string listing, records;
  for (int i = 1; i <= 5; ++i) {
    const std::string n = std::to_string(i);
    listing += lease("10.0.0." + n, "00-1a-00-00-00-0" + n, "host" + n + ".x") + "\r\n";
    if (i <= 3) records += record(" host" + n, "00:1a:00:00:00:0" + n, "10.0.0." + n, "255.255.0.0", "01.01.2027 10:00:00");
  }
  write(u"c:\\temp\\list.txt", "c:\\temp\\a.txt\r\n");
  write(u"c:\\temp\\a.txt", listing);
  write(u"c:\\temp\\datas.txt", "stale");
  ClosingClipboard clipboard(services_.windows, 3);
  services_.clock.step_ = 250;  // every check finds the events and the progress due
  services_.invocation.commandLine_ = u"/dhcp<c:\\temp\\list.txt 00-1a";
  const rt::Services services{services_.windows, clipboard,       services_.processes, services_.invocation,
                              services_.clock,   services_.errors, services_.files};
  conv::Form1 form(services, leases::leaseBranch);

  EXPECT_EQ(rt::runProgram(services, [&] { form.Form_Load(); }), rt::kStoppedExitCode);
  EXPECT_TRUE(services_.errors.reported_.empty());
  EXPECT_EQ(read(u"c:\\temp\\findout.txt"), records);
  ASSERT_FALSE(clipboard.history_.empty());
  EXPECT_EQ(clipboard.history_.back().entry, rt::Clipboard::Entry::Final);
  EXPECT_EQ(clipboard.history_.back().text, u"Hostname host3\r\nMacaddress:00:1a:00:00:00:03\r\nIPaddress:10.0.0.3\r\n"
                                            u"Mask:255.255.0.0\r\nLease:01.01.2027 10:00:00");
  EXPECT_EQ(read(u"c:\\temp\\datas.txt"), "");
  EXPECT_FALSE(services_.files.isOpen(1));
  EXPECT_FALSE(services_.files.isOpen(2));
  // It showed how far it was, and gave the input back at its end.
  const auto& progress = services_.windows.progress_;
  ASSERT_GE(progress.size(), 2u);
  EXPECT_EQ(progress.front().total, listing.size());
  EXPECT_LE(progress.end()[-2].done, listing.size());
  EXPECT_EQ(progress.back().total, 0u);  // taken away
  EXPECT_EQ(services_.windows.window().memoryField(u"Text2").text(), u"Listing 1 of 1: 3 found");
  EXPECT_FALSE(services_.windows.window().memoryField(u"Text1").readOnly());
}

// A long lookup as its user sees it, on a clock that goes forward only with
// the work (a fixed cost per piece read and per record): the window's
// events run at least every 100 ms of work; nothing changes on screen in
// the first 0.4 s; while leases are found the status changes at least once
// a second; the bytes shown never go back nor pass the total; a paste
// converts nothing meanwhile; at the end the progress goes and the input
// field is back.
TEST_F(World, ALongLookupKeepsItsWindowAnsweringShowsHowFarItIsAndConvertsNothingMeanwhile) {
  std::string quiet;  // 6 MB without a match, then one that begins 1 MB before it (read twice)
  while (quiet.size() < (std::size_t{6} << 20)) quiet += lease("10.9.9.9", "00-2b-00-00-00-00", "other.x") + "\r\n";
  quiet += lease(std::string(std::size_t{1} << 20, '9'), "00-1a-00-00-00-02", "long.x") + "\r\n";
  std::string found;
  for (int i = 0; i < 2000; ++i) found += lease("10.0.0.1", "00-1a-00-00-00-01", "found.x") + "\r\n";
  write(u"c:\\temp\\quiet.txt", quiet);
  write(u"c:\\temp\\found.txt", found);
  write(u"c:\\temp\\list.txt", "c:\\temp\\quiet.txt\r\nc:\\temp\\found.txt\r\n");
  testing_support::ClockedFiles clocked(fs_, 30, 2);
  rt::MemoryServices world(clocked);
  clocked.clock = &world.clock;
  world.invocation.environment_[u"TEMP"] = u"c:\\temp";
  world.invocation.commandLine_ = u"/dhcp<c:\\temp\\list.txt 00-1a";
  conv::Form1 form(world, leases::leaseBranch);
  auto& text1 = world.windows.window().memoryField(u"Text1");
  auto& text2 = world.windows.window().memoryField(u"Text2");
  struct Seen {
    std::uint64_t at;
    std::u16string status;
    bool readOnly;
    std::size_t progressShown;
  };
  std::vector<Seen> seen;
  world.windows.onEvents_ = [&] {
    seen.push_back({world.clock.milliseconds_, text2.text(), text1.readOnly(), world.windows.progress_.size()});
    // The user pastes an address into the input at every chance.
    world.windows.userActions_.push_back([&] { text1.userReplaceSelection(u"00:11:22"); });
  };

  const std::uint64_t start = world.clock.milliseconds_;
  EXPECT_EQ(rt::runProgram(world, [&] { form.Form_Load(); }), 0);
  const std::uint64_t end = world.clock.milliseconds_ - start;
  ASSERT_GT(end, 4000u);  // about 1 s of reading, 4 s of records
  ASSERT_FALSE(seen.empty());
  std::uint64_t last = 0, changed = 0;
  std::u16string status;
  for (Seen s : seen) {
    s.at -= start;
    EXPECT_LE(s.at - last, 100u) << "no events from " << last << " to " << s.at << " ms";
    last = s.at;
    if (s.at < 400) {
      EXPECT_EQ(s.status, u"") << s.at;
      EXPECT_FALSE(s.readOnly) << s.at;
      EXPECT_EQ(s.progressShown, 0u) << s.at;
    } else if (!s.status.empty()) {
      EXPECT_TRUE(s.readOnly) << "the input took pastes while progress showed, at " << s.at;
    }
    if (s.status != status) {
      status = s.status;
      changed = s.at;
    } else if (status.rfind(u"Listing 2 of 2: ", 0) == 0) {
      EXPECT_LE(s.at - changed, 1000u) << "the status stood still while leases were found: " << rt::toUtf8(status);
    }
  }
  EXPECT_LE(end - last, 100u);
  EXPECT_EQ(status.rfind(u"Listing 2 of 2: ", 0), 0u) << rt::toUtf8(status);
  const auto& progress = world.windows.progress_;
  ASSERT_GE(progress.size(), 2u);
  std::uint64_t done = 0;
  for (std::size_t i = 0; i + 1 < progress.size(); ++i) {
    EXPECT_GE(progress[i].done, done);
    EXPECT_LE(progress[i].done, progress[i].total);
    EXPECT_EQ(progress[i].total, quiet.size() + found.size());
    done = progress[i].done;
  }
  EXPECT_EQ(progress.back().total, 0u);  // taken away
  for (const auto& change : world.clipboard.history_) EXPECT_NE(change.text, u"00-11-22");
  EXPECT_TRUE(world.processes.started_.empty());
  EXPECT_FALSE(text1.readOnly());
  text1.setSelStart(0);
  text1.setSelLength(text1.text().size());
  text1.userReplaceSelection(u"00:22");
  EXPECT_EQ(text2.text(), u"00-22");
}

// Every read of a lookup waits, as a pipe's or a stalled share's may: the
// list file's first read (its encoding), its lines, and the listings'. Each
// read is let through after 3 s of waiting, in slices of at most 250 ms
// with the window's events after each; the status names the file waited
// for after 2 s. Close, or the certain end of the session, while a read of
// the second listing waits cancels that read: the first listing's records
// whole, its last report on the clipboard, exit 1223. The clipboard held a
// password manager's secret, marked with the first pass-over format: the
// first report replaced all of it all the same, marks included.
TEST_F(World, AReadThatWaitsKeepsTheWindowAliveAndCloseOrTheSessionsEndCancelsIt) {
  write(u"c:\\temp\\list.txt", "c:\\temp\\a.txt\r\nc:\\temp\\b.txt\r\n");
  write(u"c:\\temp\\a.txt", lease("10.0.0.1", "00-1a-00-00-00-01", "one.x") + "\r\n" +
                                lease("10.0.0.2", "00-1a-00-00-00-02", "two.x") + "\r\n");
  write(u"c:\\temp\\b.txt", lease("10.0.0.3", "00-1a-00-00-00-03", "three.x") + "\r\n");
  std::string records, firstTwo;
  for (int i = 1; i <= 3; ++i) {
    const std::string n = std::to_string(i), host = i == 1 ? "one" : i == 2 ? "two" : "three";
    if (i == 3) firstTwo = records;
    records += record(" " + host, "00:1a:00:00:00:0" + n, "10.0.0." + n, "255.255.0.0", "01.01.2027 10:00:00");
  }
  const std::u16string second = u"Hostname two\r\nMacaddress:00:1a:00:00:00:02\r\nIPaddress:10.0.0.2\r\n"
                                u"Mask:255.255.0.0\r\nLease:01.01.2027 10:00:00";
  enum class Then { LetThrough, Close, EndSession };
  for (const Then then : {Then::LetThrough, Then::Close, Then::EndSession}) {
    SCOPED_TRACE(static_cast<int>(then));
    write(u"c:\\temp\\findout.txt", "");
    testing_support::WaitingReads waiting(fs_, false);
    // Close meets a cancel that never completes: the read lands after the
    // lookup has ended, into a buffer that must still be there.
    waiting.cancelsNever = then == Then::Close;
    rt::MemoryServices world(waiting);
    world.invocation.commandLine_ = u"/dhcp<c:\\temp\\list.txt 00-1a";
    world.clipboard.otherProgramCopies(u"secret", {u"ExcludeClipboardContentFromMonitorProcessing"});
    conv::Form1 form(world, leases::leaseBranch);
    auto& text2 = world.windows.window().memoryField(u"Text2");
    std::vector<std::u16string> told;  // what the status said of each wait, in order
    std::size_t slices = 0, waited = 0;
    world.windows.onWait_ = [&](rt::Signal& signal, unsigned ms) {
      EXPECT_LE(ms, 250u);
      EXPECT_EQ(world.windows.eventsDone_, slices) << "a slice without the window's events after it";
      ++slices;
      world.clock.milliseconds_ += ms;
      waited += ms;
      const std::u16string status = text2.text();
      if (status.rfind(u"Waiting for ", 0) == 0 && (told.empty() || told.back() != status)) {
        told.push_back(status);
        if (told.size() == 3) {  // the first wait for b.txt: two reports set
          EXPECT_EQ(world.clipboard.text_, second);
          EXPECT_EQ(world.clipboard.formats_,
                    (std::vector<std::u16string>{u"MacAddressTools.PassingText",
                                                 u"ExcludeClipboardContentFromMonitorProcessing",
                                                 u"CanIncludeInClipboardHistory", u"CanUploadToCloudClipboard"}));
        }
      }
      if (status == u"Waiting for c:\\temp\\b.txt" && then == Then::Close) {
        if (world.windows.userActions_.empty())
          world.windows.userActions_.push_back([&] { world.windows.window().userCloseBox(); });
      } else if (status == u"Waiting for c:\\temp\\b.txt" && then == Then::EndSession) {
        world.windows.window().systemEndsSession();
      } else if (waited >= 3000) {
        waited = 0;
        testing_support::WaitingReads::letThrough(&signal);
      }
    };
    const int code = rt::runProgram(world, [&] { form.Form_Load(); });
    world.windows.eventsDone_ = slices;  // the last slice ran its events too
    EXPECT_TRUE(world.errors.reported_.empty());
    const std::vector<std::u16string> expected = {u"Waiting for c:\\temp\\list.txt", u"Waiting for c:\\temp\\a.txt",
                                                  u"Waiting for c:\\temp\\b.txt"};
    EXPECT_EQ(told, expected);
    if (then == Then::LetThrough) {
      EXPECT_EQ(code, 0);
      EXPECT_EQ(read(u"c:\\temp\\findout.txt"), records);
      EXPECT_EQ(waiting.cancelled, 0u);
      EXPECT_EQ(text2.text(), u"Listing 2 of 2: 3 found");
      continue;
    }
    EXPECT_EQ(code, rt::kStoppedExitCode);
    if (then == Then::EndSession) EXPECT_EQ(world.windows.endedWith_, rt::kStoppedExitCode);
    EXPECT_EQ(read(u"c:\\temp\\findout.txt"), firstTwo);
    EXPECT_EQ(waiting.cancelled, 1u);
    waiting.landLate();
    EXPECT_EQ(world.clipboard.text_, second);
    EXPECT_EQ(world.clipboard.history_.back().entry, rt::Clipboard::Entry::Final);
    EXPECT_FALSE(world.files.isOpen(2));
  }
}

// A clipboard whose every set counts as one of the faults' operations.
class CountedClipboard : public rt::MemoryClipboard {
 public:
  explicit CountedClipboard(testing_support::Faults& faults) : faults_(faults) {}
  void setText(std::u16string_view text, Entry entry) override {
    if (faults_.due()) throw rt::Error(rt::err::CantOpenClipboard);
    MemoryClipboard::setText(text, entry);
  }

 private:
  testing_support::Faults& faults_;
};

// A small lookup (two listings, three leases) run over planted faults: its
// reports and records in order, a log that held a line cut short, and a
// clipboard that held another program's text and HTML.
class Endings : public World {
 protected:
  Endings() {
    write(u"c:\\temp\\list.txt", "c:\\temp\\a.txt\r\nc:\\temp\\b.txt\r\n");
    write(u"c:\\temp\\a.txt", lease("10.0.0.1", "00-1a-00-00-00-01", "one.x") + "\r\n" +
                                  lease("10.0.0.2", "00-1a-00-00-00-02", "two.x") + "\r\n");
    write(u"c:\\temp\\b.txt", lease("10.0.0.3", "00-1a-00-00-00-03", "three.x") + "\r\n");
    const std::string hosts[] = {"one", "two", "three"};
    for (int i = 0; i < 3; ++i) {
      const std::string n = std::to_string(i + 1), mac = "00:1a:00:00:00:0" + n, ip = "10.0.0." + n;
      reports.push_back(rt::widen("Hostname " + hosts[i] + "\r\nMacaddress:" + mac + "\r\nIPaddress:" + ip +
                                  "\r\nMask:255.255.0.0\r\nLease:01.01.2027 10:00:00"));
      records.push_back(record(" " + hosts[i], mac, ip, "255.255.0.0", "01.01.2027 10:00:00"));
    }
  }

  // Runs the lookup over faults; the log, datas.txt and the clipboard as
  // the fixture says first.
  int lookUp(testing_support::Faults& faults) {
    write(u"c:\\temp\\findout.txt", kEarlier);
    write(u"c:\\temp\\datas.txt", "stale");
    form.reset();
    services.emplace(faults);
    clipboard.emplace(faults);
    clipboard->otherProgramCopies(u"before", {u"HTML Format"});
    services->invocation.commandLine_ = u"/dhcp<c:\\temp\\list.txt 00-1a";
    const rt::Services parts{services->windows, *clipboard,       services->processes, services->invocation,
                             services->clock,   services->errors, services->files};
    form.emplace(parts, leases::leaseBranch);
    return rt::runProgram(parts, [&] { form->Form_Load(); });
  }

  // How many records the log holds after what it held, whole and in order;
  // none when it holds anything else.
  std::optional<std::size_t> wholeRecords() const { return wholeRecords(read(u"c:\\temp\\findout.txt")); }
  std::optional<std::size_t> wholeRecords(const std::string& log) const {
    if (log == kEarlier) return 0;
    std::string whole = std::string(kEarlier) + "\r\n";  // the line end it lacked, first
    for (std::size_t n = 0; n < records.size(); ++n)
      if (log == (whole += records[n])) return n + 1;
    return std::nullopt;
  }

  // How many reports were set as passing entries: the first ones, in order.
  std::size_t reportsSet() const { return reportsSet(*clipboard); }
  std::size_t reportsSet(const rt::MemoryClipboard& clipboard) const {
    std::size_t set = 0;
    for (const auto& change : clipboard.history_)
      if (change.entry == rt::Clipboard::Entry::Passing) EXPECT_EQ(change.text, reports.at(set++));
    return set;
  }

  // The clipboard's whole content: the report, the run's final entry, or
  // what the other program put there.
  void expectClipboardHolds(const std::u16string* report) const { expectClipboardHolds(*clipboard, report); }
  static void expectClipboardHolds(const rt::MemoryClipboard& clipboard, const std::u16string* report) {
    if (!report) {
      EXPECT_EQ(clipboard.text_, u"before");
      EXPECT_EQ(clipboard.formats_, std::vector<std::u16string>{u"HTML Format"});
      return;
    }
    EXPECT_EQ(clipboard.text_, *report);
    EXPECT_TRUE(clipboard.formats_.empty());
    EXPECT_EQ(clipboard.history_.back().entry, rt::Clipboard::Entry::Final);
  }

  static constexpr char kEarlier[] = "an earlier line cut short";
  std::vector<std::u16string> reports;
  std::vector<std::string> records;
  std::optional<rt::MemoryServices> services;
  std::optional<CountedClipboard> clipboard;
  std::optional<conv::Form1> form;
};

// Every open, write and clipboard set fails in turn, a write with half
// of it landed (a full disk): the run ends with that failure's report,
// the log holds what it held and whole records, datas.txt is empty, and
// the clipboard holds the last report set, alone, or what it held.
TEST_F(Endings, AFailureAnywhereLeavesWholeRecordsAndTheLastReportSetAlone) {
  bool met = true;
  for (std::size_t k = 1; met; ++k) {
    SCOPED_TRACE("operation " + std::to_string(k));
    testing_support::Faults faults(fs_, k);
    const int code = lookUp(faults);
    met = faults.met;
    const auto logged = wholeRecords();
    ASSERT_TRUE(logged.has_value()) << read(u"c:\\temp\\findout.txt");
    const std::size_t set = reportsSet();
    EXPECT_EQ(read(u"c:\\temp\\datas.txt"), "");
    const auto& reported = services->errors.reported_;
    if (reported.empty()) {
      // No fault, or the final set of a finished lookup: the last report
      // stays as it was set, alone.
      EXPECT_EQ(code, 0);
      EXPECT_EQ(*logged, 3u);
      EXPECT_EQ(clipboard->text_, reports[2]);
      EXPECT_TRUE(clipboard->onlyPassingFormats());
      continue;
    } else {
      ASSERT_EQ(reported.size(), 1u);
      EXPECT_EQ(code, reported[0].number());
      EXPECT_TRUE(code == rt::err::DiskFull || code == rt::err::CantOpenClipboard) << code;
      if (code == rt::err::DiskFull) EXPECT_EQ(reported[0].systemCode(), 112u);
    }
    // The last report set: one past the last logged when its record failed,
    // or when its own set failed (then it is tried once more, as the final).
    const std::size_t last = set + (code == rt::err::CantOpenClipboard ? 1 : 0);
    EXPECT_TRUE(last == *logged || last == *logged + 1) << last << " set, " << *logged << " logged";
    expectClipboardHolds(last ? &reports[last - 1] : nullptr);
  }
  // A one-shot conversion: field and clipboard as always, exit code 0, no
  // report, and the script exact or absent (and then not started).
  met = true;
  for (std::size_t k = 1; met; ++k) {
    SCOPED_TRACE("conversion, operation " + std::to_string(k));
    testing_support::Faults faults(fs_, k);
    rt::MemoryServices converter(faults);
    converter.invocation.environment_[u"TEMP"] = u"c:\\temp";
    converter.invocation.commandLine_ = u"00:11:22";
    conv::Form1 form1(converter);
    EXPECT_EQ(rt::runProgram(converter, [&] { form1.Form_Load(); }), 0);
    met = faults.met;
    EXPECT_TRUE(converter.errors.reported_.empty());
    EXPECT_EQ(converter.windows.window().memoryField(u"Text2").text(), u"00-11-22");
    EXPECT_EQ(converter.clipboard.text_, u"00-11-22");
    const bool script = exists(u"c:\\temp\\wmac.cmd");
    if (script) EXPECT_EQ(read(u"c:\\temp\\wmac.cmd"), "set mac=\r\nset mac=00-11-22\r\n");
    EXPECT_EQ(converter.processes.started_.size(), script ? 1u : 0u);
    EXPECT_EQ(script, !met);
  }
}

// The session ends for certain in turn at every open, write and clipboard
// set, where Windows' message lands in their waits: the process ends at
// once with 1223 (0 once the lookup had finished), with whole records,
// datas.txt empty and the last logged report alone on the clipboard.
TEST_F(Endings, TheEndOfTheSessionAnywhereEndsTheRunWhole) {
  testing_support::Faults counting(fs_);
  ASSERT_EQ(lookUp(counting), 0);
  const std::size_t operations = counting.calls;  // the last: the final clipboard set
  // What the process leaves where it ends, before the way out unwinds.
  struct Left {
    std::string log, datas;
    bool script = false;
    rt::MemoryClipboard clipboard;
  };
  std::optional<Left> left;
  const auto atEnd = [&] {
    left = Left{read(u"c:\\temp\\findout.txt"), read(u"c:\\temp\\datas.txt"), exists(u"c:\\temp\\wmac.cmd"), *clipboard};
  };
  for (std::size_t k = 1; k <= operations; ++k) {
    SCOPED_TRACE("operation " + std::to_string(k));
    left.reset();
    testing_support::Faults faults(fs_, k, [&] {
      services->windows.atProcessEnd_ = atEnd;
      services->windows.window().systemEndsSession();
    });
    const int code = lookUp(faults);
    ASSERT_TRUE(left.has_value());
    EXPECT_EQ(services->windows.endedWith_, code);
    EXPECT_EQ(code, k == operations ? 0 : rt::kStoppedExitCode);
    EXPECT_TRUE(services->errors.reported_.empty());
    const auto logged = wholeRecords(left->log);
    ASSERT_TRUE(logged.has_value()) << left->log;
    EXPECT_EQ(left->datas, "");
    const std::size_t set = reportsSet(left->clipboard);
    if (*logged > 0) {
      expectClipboardHolds(left->clipboard, &reports[*logged - 1]);
    } else if (set == 0) {
      expectClipboardHolds(left->clipboard, nullptr);
    } else {  // the first report, set but never logged, stays as it was set
      EXPECT_EQ(left->clipboard.text_, reports[0]);
      EXPECT_TRUE(left->clipboard.onlyPassingFormats());
    }
  }
  // A conversion ends as by its close box, its script exact or absent.
  for (std::size_t k = 1; k <= 2; ++k) {
    SCOPED_TRACE("conversion, operation " + std::to_string(k));
    left.reset();
    std::optional<conv::Form1> form1;
    testing_support::Faults faults(fs_, k, [&] {
      services->windows.atProcessEnd_ = atEnd;
      services->windows.window().systemEndsSession();
    });
    services.emplace(faults);
    services->invocation.environment_[u"TEMP"] = u"c:\\temp";
    services->invocation.commandLine_ = u"00:11:22";
    form1.emplace(*services);
    EXPECT_EQ(rt::runProgram(*services, [&] { form1->Form_Load(); }), 0);
    EXPECT_EQ(services->windows.endedWith_, 0);
    ASSERT_TRUE(left.has_value());
    EXPECT_FALSE(left->script);
  }
}

TEST(LeaseLine, LinesWithoutTheLeaseShapeGiveNoLease) {
  EXPECT_FALSE(leases::parseLeaseLine(u"a - b - c - d").has_value());
  EXPECT_FALSE(leases::parseLeaseLine(u"a - b - c - d - no name mark").has_value());
  EXPECT_FALSE(leases::parseLeaseLine(u"a - b - c - d -D- ").has_value());
  const auto lease = leases::parseLeaseLine(u"a - b - c - d -D- host - e");
  ASSERT_TRUE(lease.has_value());
  EXPECT_EQ(lease->host, u"host");
  EXPECT_EQ(lease->expiry, u" d");
}

}  // namespace
