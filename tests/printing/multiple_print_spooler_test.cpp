// The multiple print through the real spooler: the private CUPS server of
// tools/cups_test_server.sh receives the job (skipped when it is not running).
// Linux only: CUPS is the spooler under test.
#ifndef _WIN32
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "common/history_format.h"
#include "common/print_options.h"
#include "common/print_texts.h"
#include "entry/state.h"
#include "framework/core/strings.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/printer.h"
#include "framework/form/program.h"
#include "framework/form/responder.h"
#include "framework/form/testing.h"
#include "framework/form/window.h"
#include "history/store/store.h"
#include "printing/multiple_print.h"
#include "printing/procedures.h"
#include "tests/framework/print/pdf_probe.h"
#include "tests/support/temp_dir.h"

namespace printing {
namespace {

using namespace fw::literals;
using tessivo::test::runCommand;
using tessivo::test::TempCwd;

std::string env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

// Completed jobs of a queue named "PRINTER" in the server's page log: the
// pages each one reported and its paper.
struct LoggedJob {
  int pages = -1;
  std::string media;
};
std::vector<LoggedJob> printerJobs(const std::string& queue) {
  std::ifstream log(env("TESSIVO_CUPS_DIR") + "/log/page_log");
  std::vector<LoggedJob> jobs;
  for (std::string line; std::getline(log, line);) {
    // queue user job-id [date] total pages billing host job-name media sides
    if (line.rfind(queue + " ", 0) != 0 || line.find(" PRINTER ") == std::string::npos) continue;
    LoggedJob job;
    const std::size_t total = line.find("] total ");
    if (total != std::string::npos) job.pages = std::atoi(line.c_str() + total + 8);
    const std::size_t name = line.find(" PRINTER ");
    job.media = line.substr(name + 9, line.find(' ', name + 9) - (name + 9));
    jobs.push_back(job);
  }
  return jobs;
}

// The queues' settings as other programs get them: the defaults of their
// PPDs, their options (without the ones that change with every job) and the
// user's option file.
std::string queueSettings() {
  std::string settings;
  for (const char* queue : {"TessivoLetter", "TessivoPDF"}) {
    settings += runCommand("grep '^\\*Default' '" + env("TESSIVO_CUPS_DIR") + "/ppd/" + queue +
                           ".ppd' 2>&1");
    settings += runCommand(std::string("lpoptions -p ") + queue +
                           " 2>&1 | tr ' ' '\\n' | grep -v -e state -e time");
  }
  return settings + runCommand("cat \"$HOME/.cups/lpoptions\" 2>/dev/null");
}

bool waitUntilIdle() {
  for (int i = 0; i < 600; ++i) {
    if (runCommand("lpstat -W not-completed -o 2>/dev/null").empty()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

class MultiplePrintSpooler : public ::testing::Test {
 protected:
  void SetUp() override {
    if (env("CUPS_SERVER").empty() || env("TESSIVO_CUPS_OUTPUT_DIR").empty())
      GTEST_SKIP() << "the private CUPS server is not running: start it with "
                      "tools/cups_test_server.sh (bash tools/dev.sh test does)";
    if (runCommand("lpstat -r 2>/dev/null").find("is running") == std::string::npos)
      GTEST_SKIP() << "the private CUPS server does not answer";
    // The spooler tests of every program take turns at the queues.
    lockFd = ::open((env("TESSIVO_CUPS_DIR") + "/spooler-tests.lock").c_str(), O_CREAT | O_RDWR,
                    0666);
    ASSERT_GE(lockFd, 0);
    ASSERT_EQ(::flock(lockFd, LOCK_EX), 0);
    ASSERT_TRUE(waitUntilIdle());

    std::filesystem::create_directory("EKG_DATA");
    std::filesystem::create_directory("EKG_SYS");
    ASSERT_TRUE(fw::initForTests());
    fw::unregisterAllProcedures();
    registerProcedures();
    fw::setPdfOutput("");
    common::PRINT_FONT = "1";
    common::PRINT_COLOUR = "1";
    entry::EDIT_COUNT = 0;
  }
  void TearDown() override {
    if (lockFd < 0) return;
    fw::resetForTests();
    ::close(lockFd);
  }

  // Stores `count` entries, opens FORM8 and selects every line.
  void listAndSelect(int count) {
    for (int i = 1; i <= count; ++i) {
      common::ExamineeRecord r;
      r.EXAM_NO = "E" + std::to_string(i);
      r.NAME = "受診者"_sj;
      history::appendEntry(common::attributesOf(r, "2024/05/07"),
                           common::clinicalOf(r, "2024/05/07"));
    }
    fw::testing::click(fw::ctl("BUTTON38"));
    fw::waitForEvents();
    ASSERT_TRUE(fw::isOpen(FORM8));
    fw::Control& list = FORM8->control("LIST3");
    ASSERT_EQ(list.itemCount(), count);
    list.setItemSelected(-1, true);
  }

  // Prints with the dialog choosing `queue`.
  void printOn(const std::string& queue) {
    Responder pickQueue = *fw::responder();
    pickQueue.printDialog = [&](fw::PrintDialogRequest& request) {
      request.printerName = queue;
      return true;
    };
    fw::setResponder(&pickQueue);
    fw::testing::click(FORM8->control("BUTTON40"));
    fw::waitForEvents();
    fw::setResponder(scripted);
  }

  using Responder = fw::Responder;
  TempCwd dir;
  fw::ScriptedResponder answers;
  Responder* scripted = fw::responder();
  int lockFd = -1;
};

TEST_F(MultiplePrintSpooler, FiftyChartsAreOneJobOfA4LandscapeSheets) {
  const std::string queue = "TessivoLetter";  // its own paper is Letter
  const std::string output = env("TESSIVO_CUPS_OUTPUT_DIR") + "/" + queue + ".pdf";
  std::filesystem::remove(output);
  const std::string settingsBefore = queueSettings();
  ASSERT_NE(settingsBefore.find("*DefaultPageSize: Letter"), std::string::npos) << settingsBefore;
  const std::size_t jobsBefore = printerJobs(queue).size();

  listAndSelect(50);
  answers.messageAnswers = {fw::mb::ResYes};
  printOn(queue);
  ASSERT_TRUE(waitUntilIdle());

  const std::vector<LoggedJob> jobs = printerJobs(queue);
  ASSERT_EQ(jobs.size(), jobsBefore + 1);  // one job, named "PRINTER"
  EXPECT_EQ(jobs.back().pages, 50);
  EXPECT_EQ(jobs.back().media, "A4");
  const auto pages = tessivo::test::readPdfWords(output);
  ASSERT_EQ(pages.size(), 50u);
  for (const auto& page : pages) {
    // A4, never Letter (612 x 792); a portrait sheet carries the landscape
    // page turned by a quarter.
    EXPECT_NEAR(std::max(page.width, page.height), 841.89, 1.0);
    EXPECT_NEAR(std::min(page.width, page.height), 595.28, 1.0);
  }
  // Newest first: entry 50 on the first sheet, entry 1 on the last.
  EXPECT_TRUE(pages.front().find("E50"));
  EXPECT_TRUE(pages.back().find("E1"));
  EXPECT_EQ(answers.messages.size(), 1u);  // only the question: nothing reported lost
  // The program's portrait preset afterwards is its own: no queue's
  // settings for other programs changed.
  EXPECT_EQ(queueSettings(), settingsBefore);
}

TEST_F(MultiplePrintSpooler, AQueueRemovedDuringTheJobIsReportedLost) {
  const std::string ppd = env("TESSIVO_CUPS_DIR") + "/ppd/TessivoPDF.ppd";
  ASSERT_EQ(std::system(("lpadmin -p TessivoGone -E -v file:///dev/null -P '" + ppd +
                         "' 2>/dev/null")
                            .c_str()),
            0);
  listAndSelect(2);
  // The queue goes away once the sheets are being drawn.
  bool removed = false;
  answers.keys = [&](int) {
    if (!removed) removed = std::system("lpadmin -x TessivoGone 2>/dev/null") == 0;
    return false;
  };
  answers.messageAnswers = {fw::mb::ResYes, fw::mb::ResOK};
  printOn("TessivoGone");
  ASSERT_TRUE(removed);
  ASSERT_EQ(answers.messages.size(), 2u);
  EXPECT_EQ(answers.messages[1].title, "複数印刷"_sj);
  EXPECT_EQ(answers.messages[1].text, common::text::kJobNotDelivered);
  EXPECT_EQ(answers.messages[1].icon, fw::mb::Information);
  EXPECT_TRUE(FORM8->enabled());
}

}  // namespace
}  // namespace printing
#endif  // _WIN32
