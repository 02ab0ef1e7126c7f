#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "cmd_set_model.h"
#include "converter/form1.h"
#include "converter/script.h"
#include "fixture.h"
#include "runtime/program.h"

namespace {

using conv::convertSeparators;
using conv::scriptAssignment;

TEST(ConvertSeparators, SwapsEverySeparatorAndKeepsEverythingElseInPlace) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"00:11:22:33:44:55", u"00-11-22-33-44-55"},
      {u"00-11-22-33-44-55", u"00:11:22:33:44:55"},
      {u"00:11-22", u"00-11-22"},  // the colon wins, the dash stays
      {u" 00-11-22-33-44-55   ", u" 00:11:22:33:44:55   "},
      {u"00::11", u"00--11"},
      {u":00", u"-00"},
      {u"00:", u"00-"},
      {u":", u"-"},
      {u"-", u":"},
      {u"a:b", u"a-b"},
      {u"001122334455", u""},
      {u"", u""},
  };
  for (const auto& [input, expected] : cases) EXPECT_EQ(convertSeparators(input), expected) << rt::toUtf8(input);
}

TEST(ScriptAssignment, PlainResultsStandAsTheyAreAndSpecialsAreEscaped) {
  EXPECT_EQ(scriptAssignment(u"00-11 ?x\t~"), u"set mac=00-11 ?x\t~");
  EXPECT_EQ(scriptAssignment(u"a&b|c<d>e(f)g^h\"i%j%"), u"set mac=a^&b^|c^<d^>e^(f^)g^^h^\"i%%j%%");
}

TEST(ScriptAssignment, NoLineForWhatCmdWouldReadOtherwise) {
  // Line ends, other control characters, DEL, and anything beyond ASCII,
  // which cmd reads in the console's code page.
  for (const std::u16string& result : std::vector<std::u16string>{u"a\r\nb", std::u16string(u"a\0b", 3), u"a\x1a", u"a\x1b", u"a\x7f",
                                      u"a\u0085", u"caf\u00e9", u"\u20ac", u"\U0001F600"})
    EXPECT_FALSE(scriptAssignment(result).has_value()) << rt::toUtf8(result);
  // "!", which a caller's delayed expansion reads as a variable's start, and
  // which no escape keeps the same with delayed expansion on and off.
  for (const std::u16string result : {u"00-11!x!", u"a-!", u"!", u"a-^!"})
    EXPECT_FALSE(scriptAssignment(result).has_value()) << rt::toUtf8(result);
  // cmd's 8,191 characters, escapes counted.
  EXPECT_EQ(scriptAssignment(std::u16string(8183, u'a'))->size(), 8191u);
  EXPECT_FALSE(scriptAssignment(std::u16string(8184, u'a')).has_value());
  EXPECT_EQ(scriptAssignment(std::u16string(4091, u'&') + u"a")->size(), 8191u);
  EXPECT_FALSE(scriptAssignment(std::u16string(4092, u'&')).has_value());
}

TEST(ScriptAssignment, CmdReadsBackExactlyTheResult) {
  for (const std::u16string result : {u"00-11-22", u"a&b", u"\"x\"&\"", u"%path%", u"^", u"(a)|b>c<d", u" x ", u"a=b"})
    EXPECT_EQ(cmd_model::valueSetBy(*scriptAssignment(result), u"mac"), result) << rt::toUtf8(result);
  // The model itself refuses what would run something.
  EXPECT_FALSE(cmd_model::valueSetBy(u"set mac=a&calc", u"mac").has_value());
  EXPECT_FALSE(cmd_model::valueSetBy(u"set mac=%path%", u"mac").has_value());
}

class Converter : public testing_support::World {
 protected:
  int run(std::u16string commandLine) {
    services_.invocation.commandLine_ = std::move(commandLine);
    return rt::runProgram(services_, [&] { form.Form_Load(); });
  }
  rt::MemoryTextField& field(std::u16string_view name) { return services_.windows.window().memoryField(name); }
  void paste(std::u16string text) {
    services_.windows.userActions_.push_back([this, text] { field(u"Text1").userReplaceSelection(text); });
  }

  conv::Form1 form{services_};
  const std::u16string script = u"c:\\temp\\wmac.cmd";
};

TEST_F(Converter, OneShotConvertsShowsExportsStartsTheScriptAndEnds) {
  EXPECT_EQ(run(u"00:11:22:33:44:55"), 0);
  EXPECT_TRUE(services_.windows.window().visible());
  EXPECT_FALSE(services_.windows.loopRan_);
  EXPECT_EQ(field(u"Text1").text(), u"00:11:22:33:44:55");
  EXPECT_EQ(field(u"Text2").text(), u"00-11-22-33-44-55");
  EXPECT_EQ(services_.clipboard.text_, u"00-11-22-33-44-55");
  EXPECT_EQ(read(script), "set mac=\r\nset mac=00-11-22-33-44-55\r\n");
  ASSERT_EQ(services_.processes.started_.size(), 1u);
  EXPECT_EQ(services_.processes.started_[0].file, u".\\wmac.cmd");
  EXPECT_EQ(services_.processes.started_[0].folder, u"c:\\temp");
  EXPECT_EQ(services_.processes.started_[0].style, rt::WindowStyle::Minimized);
  // The input keeps the focus with all of it selected, ready for the next paste.
  EXPECT_EQ(services_.windows.window().focus(), u"Text1");
  EXPECT_EQ(field(u"Text1").selLength(), 17u);
  EXPECT_TRUE(services_.errors.reported_.empty());
  // Only the change reaction's text is left for clipboard history.
  ASSERT_EQ(services_.clipboard.history_.size(), 2u);
  EXPECT_EQ(services_.clipboard.history_[0].entry, rt::Clipboard::Entry::Passing);
  EXPECT_EQ(services_.clipboard.history_[1].entry, rt::Clipboard::Entry::Final);
  EXPECT_EQ(services_.clipboard.history_[1].text, u"00-11-22-33-44-55");
}

TEST_F(Converter, TextWithoutSeparatorsLeavesAnEmptyClipboardTextAndNoScript) {
  write(script, "set mac=\r\nset mac=old\r\n");
  EXPECT_EQ(run(u"001122334455"), 0);
  EXPECT_EQ(field(u"Text2").text(), u"");
  EXPECT_EQ(services_.clipboard.text_, u"");
  EXPECT_EQ(read(script), "set mac=\r\nset mac=old\r\n");
  EXPECT_TRUE(services_.processes.started_.empty());
}

TEST_F(Converter, AnOldScriptIsReplacedAndTwoWordsConvertAsOneText) {
  write(script, "echo something else entirely\r\n");
  run(u"00-11 22-33");
  EXPECT_EQ(read(script), "set mac=\r\nset mac=00:11 22:33\r\n");
}

// The files in c:\temp, by name.
std::vector<std::string> namesIn(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A virus scanner, or cmd running the old script, holds it and lets others
// delete it: the name is freed at once, the new script is exact while the
// old one is held and after, and nothing else is left once it lets go. A
// set-aside file of an earlier run goes too; a user's file like one stays.
TEST_F(Converter, AnOldScriptHeldByAReaderThatLetsOthersDeleteIsReplacedExactly) {
  write(script, "set mac=\r\nset mac=an older address\r\n");
  write(u"c:\\temp\\wm9c-3.old", "left by a crash");
  write(u"c:\\temp\\WM9C-4.OLD", "left by a crash, shown in capitals");
  for (const char16_t* users : {u"c:\\temp\\wm9c-3.old.txt", u"c:\\temp\\wmzz-3.old", u"c:\\temp\\wm9c-.old"})
    write(users, "the user's");
  auto scanner = fs_.hold(script, true);
  EXPECT_EQ(form.hexconvert(u"00:11"), u"00-11");
  EXPECT_EQ(read(script), "set mac=\r\nset mac=00-11\r\n");
  EXPECT_EQ(services_.processes.started_.size(), 1u);
  scanner.reset();
  EXPECT_EQ(read(script), "set mac=\r\nset mac=00-11\r\n");
  EXPECT_EQ(namesIn(root_ / "c" / "temp"),
            (std::vector<std::string>{"wm9c-.old", "wm9c-3.old.txt", "wmac.cmd", "wmzz-3.old"}));
}

// One that lets no one delete (an editor) is waited for: a holder that lets
// go within the wait gets the new script as always; one that holds on keeps
// the old script, and nothing is started, while the clipboard is as always.
TEST_F(Converter, AnOldScriptHeldAloneIsWaitedForAndOtherwiseLeftWithoutAStart) {
  write(script, "set mac=\r\nset mac=old\r\n");
  auto editor = fs_.hold(script, false);
  fs_.whileWaiting = [&] { editor.reset(); };
  form.hexconvert(u"00:11");
  EXPECT_EQ(read(script), "set mac=\r\nset mac=00-11\r\n");
  EXPECT_EQ(services_.processes.started_.size(), 1u);
  editor = fs_.hold(script, false);
  fs_.whileWaiting = nullptr;
  form.hexconvert(u"22-33");
  EXPECT_EQ(services_.clipboard.text_, u"22:33");
  EXPECT_EQ(read(script), "set mac=\r\nset mac=00-11\r\n");
  EXPECT_EQ(services_.processes.started_.size(), 1u);
  editor.reset();
  EXPECT_EQ(namesIn(root_ / "c" / "temp"), (std::vector<std::string>{"wmac.cmd"}));
}

// The script goes to TEMP, or else TMP, only when it names a folder of its
// own, fully qualified: never to the current folder or drive, nor to a
// root or the profile. Its folder's name reaches cmd as the current
// folder, never on the command line; where Windows takes it as no current
// folder (a network path), the full path is started if cmd reads no
// character of it, and otherwise nothing is.
TEST_F(Converter, TheScriptGoesToAFullyQualifiedTempOrTmpAndItsFolderNeverPassesThroughCmd) {
  auto& environment = services_.invocation.environment_;
  environment[u"USERPROFILE"] = u"c:\\users\\pct";
  std::filesystem::create_directories(root_ / "c" / "tmp");
  for (const std::u16string temp : {u"", u"temp", u"\\temp", u"c:temp", u"t\\srv\\share\\x", u"c:\\", u"\\\\srv\\share\\",
                                    u"C:\\Users\\PCT\\"}) {
    SCOPED_TRACE(rt::toUtf8(temp));
    environment[u"TEMP"] = temp;
    environment[u"TMP"] = u"c:\\tmp";
    services_.processes.started_.clear();
    EXPECT_EQ(form.hexconvert(u"a:b"), u"a-b");
    EXPECT_EQ(read(u"c:\\tmp\\wmac.cmd"), "set mac=\r\nset mac=a-b\r\n");
    ASSERT_EQ(services_.processes.started_.size(), 1u);
    EXPECT_EQ(services_.processes.started_[0].folder, u"c:\\tmp");
    std::filesystem::remove(fs_.hostPath(u"c:\\tmp\\wmac.cmd"));
    // Neither usable: no script anywhere, and the conversion as always.
    environment[u"TMP"] = temp;
    EXPECT_EQ(form.hexconvert(u"a:b"), u"a-b");
    EXPECT_EQ(services_.clipboard.text_, u"a-b");
    EXPECT_EQ(services_.processes.started_.size(), 1u);
  }
  EXPECT_FALSE(exists(u"c:\\wmac.cmd"));
  EXPECT_FALSE(exists(u"c:\\temp\\wmac.cmd"));
  EXPECT_FALSE(exists(u"c:\\users\\pct\\wmac.cmd"));

  const auto startedFor = [&](const std::u16string& folder) {
    std::filesystem::create_directories(fs_.hostPath(folder));
    environment[u"TEMP"] = folder;
    services_.processes.started_.clear();
    form.hexconvert(u"a:b");
    EXPECT_EQ(read(folder + u"\\wmac.cmd"), "set mac=\r\nset mac=a-b\r\n") << rt::toUtf8(folder);
    return services_.processes.started_;
  };
  for (const std::u16string& folder : std::vector<std::u16string>{u"c:\\a%OS%b", u"c:\\x^&(y)!z", u"c:\\" + std::u16string(247, u'f')}) {
    const auto started = startedFor(folder);
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].file, u".\\wmac.cmd");
    EXPECT_EQ(started[0].folder, folder);
  }
  // A network folder, or a script path of MAX_PATH: by its full path.
  for (const std::u16string& folder : std::vector<std::u16string>{u"\\\\srv\\share\\t", u"c:\\" + std::u16string(248, u'f')}) {
    const auto started = startedFor(folder);
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].file, folder + u"\\wmac.cmd");
    EXPECT_EQ(started[0].folder, u"");
  }
  EXPECT_TRUE(startedFor(u"\\\\srv\\share\\a%OS%b").empty());
}

TEST_F(Converter, ASecondPasteReplacesTheFirstAndCloseEndsTheLoop) {
  paste(u"00:11:22:33:44:55");
  paste(u"aa-bb-cc-dd-ee-ff");
  services_.windows.userActions_.push_back([this] { services_.windows.window().userClick(u"Command1"); });
  services_.windows.userActions_.push_back([] { FAIL() << "the loop went on after Close"; });
  EXPECT_EQ(run(u""), 0);
  EXPECT_TRUE(services_.windows.ended_);
  EXPECT_EQ(field(u"Text1").text(), u"aa-bb-cc-dd-ee-ff");
  EXPECT_EQ(field(u"Text2").text(), u"aa:bb:cc:dd:ee:ff");
  EXPECT_EQ(services_.clipboard.text_, u"aa:bb:cc:dd:ee:ff");
  EXPECT_EQ(read(script), "set mac=\r\nset mac=aa:bb:cc:dd:ee:ff\r\n");
  EXPECT_EQ(services_.processes.started_.size(), 2u);
}

TEST_F(Converter, TheCloseBoxEndsTheProgramLikeClose) {
  services_.windows.userActions_.push_back([this] { services_.windows.window().userCloseBox(); });
  services_.windows.userActions_.push_back([] { FAIL() << "the loop went on after the close box"; });
  EXPECT_EQ(run(u""), 0);
  EXPECT_TRUE(services_.windows.ended_);
}

TEST_F(Converter, ResultsThatNoScriptLineCanCarryGetNoScriptButTheClipboard) {
  write(script, "set mac=\r\nset mac=old\r\n");
  for (const std::u16string& input :
       std::vector<std::u16string>{u"a:b\r\nc", u"a:\u4e00", u"a:\x1a", u"a:\u00e9", std::u16string(8184, u':')}) {
    EXPECT_EQ(form.hexconvert(input), convertSeparators(input));
    EXPECT_EQ(services_.clipboard.text_, convertSeparators(input));
    EXPECT_FALSE(exists(script));  // the old address is gone, as with any new conversion
    EXPECT_TRUE(services_.processes.started_.empty());
  }
  form.hexconvert(u"x:&y");
  EXPECT_EQ(read(script), "set mac=\r\nset mac=x-^&y\r\n");
}

TEST_F(Converter, AFailedScriptWriteLeavesTheFileNumberFreeForTheNextConversion) {
  testing_support::Faults failing(fs_, 0, true);
  rt::MemoryServices services(failing);
  services.invocation.environment_[u"temp"] = u"c:\\temp";
  conv::Form1 broken(services);
  EXPECT_EQ(broken.hexconvert(u"00:11"), u"00-11");
  EXPECT_FALSE(services.files.isOpen(1));
  EXPECT_TRUE(services.processes.started_.empty());
  EXPECT_EQ(broken.hexconvert(u"00-11"), u"00:11");
  EXPECT_FALSE(services.files.isOpen(1));
  EXPECT_TRUE(namesIn(root_ / "c" / "temp").empty());  // no half script under any name
}

TEST_F(Converter, AClipboardHeldElsewhereEndsAOneShotWithTheErrorReport) {
  services_.clipboard.heldByOther_ = true;
  EXPECT_EQ(run(u"00:11"), rt::err::CantOpenClipboard);
  EXPECT_EQ(field(u"Text2").text(), u"00-11");  // hexconvert itself never fails
  EXPECT_FALSE(exists(script));
  ASSERT_EQ(services_.errors.reported_.size(), 1u);
  EXPECT_EQ(services_.errors.reported_[0].description(), u"Can't open clipboard");
}

TEST_F(Converter, EveryFailureEndsWithTheReportAndANonZeroExitCode) {
  const auto outcome = [&](const std::function<void()>& fails) {
    services_.errors.reported_.clear();
    const int code = rt::runProgram(services_, fails);
    EXPECT_EQ(services_.errors.reported_.size(), 1u);
    return std::pair(code, services_.errors.reported_.empty() ? u"" : services_.errors.reported_[0].description());
  };
  EXPECT_EQ(outcome([] { throw std::bad_alloc(); }), std::pair(7, std::u16string(u"Out of memory")));
  EXPECT_EQ(outcome([] { throw std::length_error("basic_string::_M_create"); }),
            std::pair(51, std::u16string(u"Internal error: basic_string::_M_create")));
  EXPECT_EQ(outcome([] { throw 42; }), std::pair(51, std::u16string(u"Internal error")));
  // However it ends, a file left open is written and closed before the
  // report: the Windows program ends its process right after.
  for (int ending = 0; ending < 3; ++ending) {
    rt::runProgram(services_, [&] {
      services_.files.open(9, u"c:\\temp\\left.txt", rt::OpenMode::Output);
      services_.files.printLine(9, {u"kept"});
      if (ending == 1) throw rt::Error(rt::err::DeviceIoError);
      if (ending == 2) throw rt::Stopped();
    });
    EXPECT_FALSE(services_.files.isOpen(9)) << "ending " << ending;
    EXPECT_EQ(read(u"c:\\temp\\left.txt"), "kept\r\n") << "ending " << ending;
  }
}

TEST_F(Converter, LongInputConvertsWhole) {
  std::u16string input(100'000, u'a');
  for (std::size_t i = 2; i < input.size(); i += 3) input[i] = u':';
  const std::u16string result = form.hexconvert(input);
  EXPECT_EQ(result, convertSeparators(input));
  EXPECT_EQ(services_.clipboard.text_, result);
  EXPECT_FALSE(exists(script));  // longer than cmd reads
  // The longest result cmd reads whole still gets its script.
  input.resize(8183);
  form.hexconvert(input);
  EXPECT_EQ(read(script).size(), 10 + 8191 + 2);
}

TEST_F(Converter, TheScriptLeavesAFileNumberThatSomeoneElseHoldsOpen) {
  write(u"c:\\temp\\list.txt", "one\r\ntwo\r\n");
  rt::FileTable& files = services_.files;
  files.open(1, u"c:\\temp\\list.txt", rt::OpenMode::Input);
  EXPECT_EQ(form.hexconvert(u"00:11"), u"00-11");
  ASSERT_TRUE(files.isOpen(1));
  EXPECT_EQ(files.lineInput(1), u"one");
  EXPECT_TRUE(services_.processes.started_.empty());
}

}  // namespace
