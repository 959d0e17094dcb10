// SPDX-License-Identifier: MIT
// The plug-in in a host that exports the API it calls: lifecycle, version
// gate and the GUI script's file requests, checked through the host's
// transcript and script parameters.
#include "plugin_host.h"

#include "frame/texts.h"
#include "quoting.h"

#include <climits>
#include <csignal>
#include <cstdlib>
#include <memory>

#include <sys/wait.h>

namespace ts::testing {
namespace {

using namespace ts::frame;
using hvsim::Answer;

std::string logged(const char *text) { return "hvLogText " + hvsim::quoted(text); }

// Owns a plug-in object the way the host does; deleting it logs.
using PluginObject = std::unique_ptr<KOHVPluginInterface>;
PluginObject create() { return PluginObject(plugin().create()); }

std::string text_of(const char *name) {
  const std::optional<hvsim::Value> value = host().parameter(name);
  const std::string *text = value ? std::get_if<std::string>(&*value) : nullptr;
  return text != nullptr ? *text : "(not a text)";
}

int int_of(const char *name) {
  const std::optional<hvsim::Value> value = host().parameter(name);
  const int *number = value ? std::get_if<int>(&*value) : nullptr;
  return number != nullptr ? *number : INT_MIN;
}

TEST(EntryPoints, DescribeThePlugin) {
  EXPECT_STREQ(plugin().text("getPluginName"), kPluginName);
  EXPECT_STREQ(plugin().text("getPluginDescription"), kPluginDescription);
  EXPECT_STREQ(plugin().text("getAuthor"), kAuthor);
  EXPECT_STREQ(plugin().text("getHelpFile"), "");
  EXPECT_STREQ(plugin().text("getPluginVersion"), "0.1");
  EXPECT_STREQ(plugin().text("getGUIScript"), "tissuesteward_v01.js");
  // Static texts: the same storage every time.
  EXPECT_EQ(plugin().text("getAuthor"), plugin().text("getAuthor"));
}

// --- version gate -------------------------------------------------------------

struct HostCase {
  int major, minor, patch;
  bool accepted;
};

class VersionGate : public HostTest, public ::testing::WithParamInterface<HostCase> {};

TEST_P(VersionGate, AcceptsOrRefusesWithTheFixedMessage) {
  const HostCase c = GetParam();
  host().set_version(c.major, c.minor, c.patch);
  PluginObject object = create();
  const std::string version_line = "hvGetVersionOfKorvelHV -> " + std::to_string(c.major) + "." +
                                   std::to_string(c.minor) + "." + std::to_string(c.patch);
  if (c.accepted) {
    EXPECT_TRUE(object->initPlugin());
    EXPECT_EQ(host().transcript(), (Transcript{version_line, "hvShowLogTab", logged(kRunning)}));
  } else {
    EXPECT_FALSE(object->initPlugin());
    EXPECT_EQ(host().transcript(),
              (Transcript{version_line, "hvMessageBox " + hvsim::quoted(kHostTooOld)}));
  }
}

INSTANTIATE_TEST_SUITE_P(Hosts, VersionGate,
                         ::testing::Values(HostCase{2, 6, 0, true}, HostCase{2, 6, 7, true},
                                           HostCase{2, 10, 0, true}, HostCase{3, 0, 0, true},
                                           HostCase{10, 0, 0, true}, HostCase{2, 5, 12, false},
                                           HostCase{2, 5, 99, false}, HostCase{1, 9, 9, false},
                                           HostCase{0, 0, 0, false}));

TEST(VersionPredicate, ComparesIntegerTriplesMajorFirst) {
  struct Case {
    int have[3], need[3];
    bool result;
  } cases[] = {
      {{2, 6, 0}, {2, 6, 0}, true},  {{2, 6, 5}, {2, 6, 0}, true},  {{2, 7, 0}, {2, 6, 0}, true},
      {{3, 0, 0}, {2, 6, 0}, true},  {{2, 5, 9}, {2, 6, 0}, false}, {{1, 9, 9}, {2, 6, 0}, false},
      {{10, 0, 0}, {9, 9, 9}, true}, {{2, 6, 0}, {2, 6, 1}, false}, {{3, 0, 0}, {2, 9, 9}, true},
      {{2, 9, 9}, {3, 0, 0}, false}, {{2, 7, 0}, {2, 6, 9}, true},  {{2, 6, 10}, {2, 6, 9}, true},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(
        plugin().version_at_least(c.have[0], c.have[1], c.have[2], c.need[0], c.need[1], c.need[2]),
        c.result)
        << c.have[0] << "." << c.have[1] << "." << c.have[2] << " against " << c.need[0] << "."
        << c.need[1] << "." << c.need[2];
  }
}

// --- lifecycle ------------------------------------------------------------------

class Lifecycle : public HostTest {};

TEST_F(Lifecycle, DestroyingLogsOnceWhetherOrNotInitialised) {
  ASSERT_TRUE(plugin().bind());
  delete plugin().create();
  EXPECT_EQ(host().transcript(), Transcript{logged(kFinished)});

  host().reset();
  PluginObject object = create();
  ASSERT_TRUE(object->initPlugin());
  host().reset();
  object.reset();
  EXPECT_EQ(host().transcript(), Transcript{logged(kFinished)});
}

TEST_F(Lifecycle, EachCreateMakesAFreshObject) {
  PluginObject first = create();
  PluginObject second = create();
  EXPECT_NE(first.get(), second.get());
  EXPECT_TRUE(first->initPlugin());
  EXPECT_TRUE(second->initPlugin());
}

// The host calls through the virtual table by slot, not by name: slots 2 and
// 3 must stay execute and initPlugin whatever the header looks like.
TEST_F(Lifecycle, VirtualTableSlotsAreFixed) {
  PluginObject object = create();
  using Slot = bool (*)(KOHVPluginInterface *);
  Slot *slots = *reinterpret_cast<Slot **>(object.get());
  EXPECT_TRUE(slots[3](object.get()));  // initPlugin
  EXPECT_EQ(host().transcript().back(), logged(kRunning));
  host().reset();
  host().set_parameter(kCommandParameter, std::string(kGetTextFileName));
  host().queue_answer({hvsim::kDialogChosen, "/lists/a.txt"});
  EXPECT_TRUE(slots[2](object.get()));  // execute
  EXPECT_EQ(text_of(kFilenameParameter), "/lists/a.txt");
}

// --- file requests --------------------------------------------------------------

// An initialised plug-in object and a script that has set "Command".
class FileRequests : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    object_ = create();
    ASSERT_TRUE(object_->initPlugin());
    host().reset();
  }

  // One request as the script makes it; returns the host calls it caused.
  Transcript request(const std::string &command, const std::optional<Answer> &answer) {
    host().set_parameter(kCommandParameter, command);
    if (answer) host().queue_answer(*answer);
    const std::size_t before = host().transcript().size();
    EXPECT_TRUE(object_->execute());
    const Transcript &all = host().transcript();
    return Transcript(all.begin() + static_cast<long>(before), all.end());
  }

  PluginObject object_;
};

std::string dialog(const char *prompt, const char *filter, const std::string &answer) {
  return "hvGetOpenFileName " + hvsim::quoted(prompt) + " \"\" " + hvsim::quoted(filter) + " -> " +
         answer;
}

TEST_F(FileRequests, EachCommandShowsItsDialogAndAnswersInItsParameter) {
  for (const FileRequest &r : kFileRequests) {
    host().reset();
    host().set_parameter(kFileTypeParameter, std::string("Script filter (*.xyz)"));
    const std::string chosen = std::string("/data/") + r.command + ".file";
    const char *filter = r.filter != nullptr ? r.filter : "Script filter (*.xyz)";
    EXPECT_EQ(request(r.command, Answer{hvsim::kDialogChosen, chosen}),
              (Transcript{"hvGetStringParameter \"Command\" -> " + hvsim::quoted(r.command),
                          "hvGetStringParameter \"FileType\" -> \"Script filter (*.xyz)\"",
                          dialog(r.prompt, filter, "1 " + hvsim::quoted(chosen.c_str())),
                          "hvSetStringParameter " + hvsim::quoted(r.answer_parameter) + " " +
                              hvsim::quoted(chosen.c_str()),
                          "hvSetIntParameter \"ErrorNr\" 0"}))
        << r.command;
  }
}

TEST_F(FileRequests, SourceDialogUsesFileTypeUnchanged) {
  host().set_parameter(kFileTypeParameter, std::string(kListFilter));
  const Transcript calls =
      request(kGetFileName, Answer{hvsim::kDialogChosen, "/study/sub-01/list of runs.txt"});
  EXPECT_EQ(calls.at(2),
            dialog(kSourcePrompt, kListFilter, "1 \"/study/sub-01/list of runs.txt\""));
  EXPECT_EQ(text_of(kFilenameParameter), "/study/sub-01/list of runs.txt");
  EXPECT_EQ(int_of(kErrorNrParameter), 0);
}

TEST_F(FileRequests, OnlyExactCommandsAreServed) {
  host().set_parameter(kFilenameParameter, std::string("kept"));
  host().set_parameter(kErrorNrParameter, 7);
  for (const char *command : {"getfilename", "GETFILENAME", "GetFileName ", " GetFileName",
                              "GetFile", "GetFileNames", ""}) {
    EXPECT_EQ(request(command, std::nullopt).size(), 2u) << '"' << command << '"';
  }
  EXPECT_EQ(text_of(kFilenameParameter), "kept");
  EXPECT_EQ(int_of(kErrorNrParameter), 7);
  EXPECT_FALSE(host().parameter(kErrorMsgParameter).has_value());
}

TEST_F(FileRequests, AnythingButOneMeansNoFile) {
  host().set_parameter(kTargetFilenameParameter, std::string("/old/target.fmr"));
  for (int status : {0, -1, 2, 100}) {
    const Transcript calls = request(kGetTargetFileName, Answer{status, ""});
    ASSERT_EQ(calls.size(), 5u) << status;
    EXPECT_EQ(calls[3], "hvSetIntParameter \"ErrorNr\" -1");
    EXPECT_EQ(calls[4], "hvSetStringParameter \"ErrorMsg\" \"No file selected\"");
    EXPECT_EQ(text_of(kTargetFilenameParameter), "/old/target.fmr") << status;
  }
}

TEST_F(FileRequests, SuccessAfterCancelKeepsTheOldErrorMessage) {
  request(kGetTextFileName, Answer{hvsim::kDialogCancelled, ""});
  EXPECT_EQ(int_of(kErrorNrParameter), -1);
  EXPECT_EQ(text_of(kErrorMsgParameter), kNoFileSelected);
  request(kGetTextFileName, Answer{hvsim::kDialogChosen, "/lists/b.txt"});
  EXPECT_EQ(int_of(kErrorNrParameter), 0);
  EXPECT_EQ(text_of(kFilenameParameter), "/lists/b.txt");
  EXPECT_EQ(text_of(kErrorMsgParameter), kNoFileSelected);
}

// The host may hand back any path it can name; none is cut short.
TEST_F(FileRequests, LongPathsArriveIntact) {
  // PATH_MAX and beyond break the host's rule, but still fit the buffer.
  for (std::size_t length :
       {std::size_t{255}, std::size_t{256}, std::size_t{1000}, std::size_t{PATH_MAX - 1},
        std::size_t{PATH_MAX}, std::size_t{PATH_MAX + 1000}}) {
    std::string path = "/";
    while (path.size() < length) path += "deep/"[path.size() % 5];
    path.resize(length);
    request(kGetFileName, Answer{hvsim::kDialogChosen, path});
    EXPECT_EQ(text_of(kFilenameParameter), path) << length;
  }
}

// A host that breaks the 100-character rule by a little (or by a lot, short
// of the buffers' room) writes inside the plug-in's buffers: a command of
// that length is ignored, a filter of that length reaches the dialog whole.
TEST_F(FileRequests, OverlongScriptTextsStayInTheirBuffers) {
  for (std::size_t length :
       {kScriptTextCapacity, kScriptTextCapacity + 50, std::size_t{1000}, kScriptTextRoom - 1}) {
    const std::string text(length, 'x');
    EXPECT_EQ(request(text, std::nullopt).size(), 2u) << length;
    host().set_parameter(kFileTypeParameter, text);
    const Transcript calls = request(kGetFileName, Answer{hvsim::kDialogChosen, "/a"});
    ASSERT_EQ(calls.size(), 5u) << length;
    EXPECT_EQ(calls[2], dialog(kSourcePrompt, text.c_str(), "1 \"/a\"")) << length;
  }
}

// Past the room, the stack protector (or the sanitizer) ends the process
// before execute returns into overwritten state. Where the stack's top lies
// within reach of the overlong copy (its start is randomised), the copy
// itself faults first: a signal either way, never a return.
TEST_F(FileRequests, FarOverlongTextEndsTheProcess) {
  setenv("LIBC_FATAL_STDERR_", "1", 1);  // glibc's report to stderr, not the terminal
  host().set_parameter(kFileTypeParameter, std::string(4 * kScriptTextRoom, 'x'));
  const auto stopped = [](int status) {
    return (WIFSIGNALED(status) && (WTERMSIG(status) == SIGABRT || WTERMSIG(status) == SIGSEGV)) ||
           (WIFEXITED(status) && WEXITSTATUS(status) == 1);  // the sanitizer's report
  };
  EXPECT_EXIT(request(kGetFileName, Answer{hvsim::kDialogCancelled, ""}), stopped, "");
}

}  // namespace
}  // namespace ts::testing
