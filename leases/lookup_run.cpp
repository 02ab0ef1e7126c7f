#include "leases/lookup_run.h"

#include "leases/lease_record.h"
#include "runtime/program.h"
#include "runtime/scope_exit.h"

namespace leases {
namespace {

constexpr char16_t kDataFile[] = u"c:\\temp\\datas.txt";
constexpr char16_t kLogFile[] = u"c:\\temp\\findout.txt";

}  // namespace

LookupRun::LookupRun(conv::Form1& form) : form_(form), rt_(form.services()) {
  form_.setSessionEnd([this] {
    end(End::SessionEnded);
    return ended_ == End::Finished ? 0 : rt::kStoppedExitCode;
  });
}

LookupRun::~LookupRun() { form_.setSessionEnd({}); }

void LookupRun::emptyDataFile() {
  rt::FileTable& files = rt_.files;
  rt::OpenFile(files, files.freeFile(), kDataFile, rt::OpenMode::Output).close();
  dataFileEmptied_ = true;
}

void LookupRun::report(const std::u16string& text) {
  // Kept before it is set: after a failed set, the failure's report holds it.
  lastSet_ = text;
  // Each report passes by clipboard history; the run's end sets the one
  // it leaves again as the final entry.
  rt_.clipboard.setText(text, rt::Clipboard::Entry::Passing);
}

void LookupRun::log(const Lease& lease) {
  const rt::DateTime when = rt_.clock.now();
  const RecordLines lines = recordLines(recordOf(lease, rt_.clock.formatDate(when), rt_.clock.formatTime(when)));
  rt::FileTable& files = rt_.files;
  // A line that fails on the way leaves the guard to abandon what was
  // printed before it; the close appends the six lines whole or not at all.
  rt::OpenFile log(files, files.freeFile(), kLogFile, rt::OpenMode::Append);
  logNumber_ = log.number();
  const auto closed = rt::scopeExit([this] { logNumber_ = 0; });
  for (const std::u16string& line : lines) files.printLine(log.number(), {line});
  log.close();
  lastLogged_ = lastSet_;
}

void LookupRun::end(End how) {
  // A later call finishes what an earlier one could not: the session may
  // end inside this very call, in the wait of its clipboard set.
  if (!ended_) ended_ = how;
  rt::FileTable& files = rt_.files;
  // Nothing more is written to them: a record not yet appended stays out.
  for (const int number : {kListFile, kListingFile, logNumber_})
    if (number != 0) files.abandon(number);
  try {
    if (!dataFileEmptied_) emptyDataFile();  // the run may not have got there
  } catch (const rt::ProcessEnded&) {
    throw;
  } catch (...) {
    // Held past the time left, or no c:\temp: left as it is.
  }
  const std::optional<std::u16string>& last = ended_ == End::Failed ? lastSet_ : lastLogged_;
  if (!last || clipboardLeft_) return;
  try {
    rt_.clipboard.setText(*last, rt::Clipboard::Entry::Final);
    clipboardLeft_ = true;
  } catch (const rt::ProcessEnded&) {
    throw;
  } catch (...) {
    // Tried once more with the clipboard's own wait; then left.
  }
}

}  // namespace leases
