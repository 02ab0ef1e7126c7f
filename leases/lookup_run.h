#pragma once
// One lookup's reports and records, and the one place where it ends,
// however it ends: finished, stopped by Close, ended with the session, or
// failed. What a lookup leaves is decided here alone:
//   - the log holds whole records only; the record being written when the
//     session ends is absent;
//   - c:\temp\datas.txt is empty (emptied now if the run had not got there);
//   - the lookup's files are closed;
//   - the clipboard's whole content is the last logged report, set as the
//     run's final entry (after a failure the last report set, which may be
//     the one whose record failed); it is left as it was when nothing was
//     found.
#include <optional>
#include <string>

#include "converter/form1.h"
#include "leases/lease_line.h"

namespace leases {

inline constexpr int kListFile = 1;
inline constexpr int kListingFile = 2;

class LookupRun {
 public:
  enum class End { Finished, Stopped, SessionEnded, Failed };

  // From here until it is destroyed, the end of the session ends the run
  // (End::SessionEnded) wherever it lands, and then the process, with
  // exit code rt::kStoppedExitCode (0 once the run has finished).
  explicit LookupRun(conv::Form1& form);
  ~LookupRun();
  LookupRun(const LookupRun&) = delete;
  LookupRun& operator=(const LookupRun&) = delete;

  // Empties c:\temp\datas.txt (opened for output and closed at once).
  void emptyDataFile();
  // The report of a match, on the clipboard as a passing entry.
  void report(const std::u16string& text);
  // Appends the lease's record to c:\temp\findout.txt, whole or not at all;
  // the last report set is then the last logged.
  void log(const Lease& lease);

  // Leaves what the run leaves (above); the first call says how the run
  // ended, a later one finishes what is still undone. What cannot be done
  // is left as it is: no error comes out, only the in-memory backend's
  // rt::ProcessEnded when the session ends inside.
  void end(End how);

 private:
  conv::Form1& form_;
  const rt::Services& rt_;
  std::optional<std::u16string> lastSet_, lastLogged_;
  bool dataFileEmptied_ = false, clipboardLeft_ = false;
  int logNumber_ = 0;  // while the log is open
  std::optional<End> ended_;
};

}  // namespace leases
