// The program trap, the fatal report and resumeNext.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QException>
#include <functional>
#include <new>
#include <stdexcept>
#include <vector>

#include "framework/core/cp932.h"
#include "framework/core/error.h"
#include "framework/form/dialogs.h"
#include "framework/form/responder.h"
#include "framework/form/trap.h"

namespace fw {
namespace {

// The program file's name, as the fatal report's title.
Str fromUtf8Name() { return fromUtf8(QCoreApplication::applicationName().toStdString()); }

class Trap : public ::testing::Test {
 protected:
  void TearDown() override { resetTrapState(); }

  // The program's own trap: errors 27 and 63 are passed over, any other
  // error is announced and ends the program.
  void installProgramsTrap() {
    installProgramTrap([this](const RuntimeError& e) {
      handled.push_back(e.number());
      if (e.number() == err::Subscript || e.number() == err::DeviceUnavailable) return;
      messageBox(nullptr, "ERROR", "エラ－が発生しました！実行プログラムを閉じます！"_sj, mb::OK,
                 mb::Exclamation);
      endProgram();
    });
  }

  ScriptedResponder answers;
  std::vector<int> handled;
};

TEST_F(Trap, Errors27And63AbandonOnlyTheProcedure) {
  installProgramsTrap();
  for (int number : {err::Subscript, err::DeviceUnavailable}) {
    bool after = false;
    EXPECT_FALSE(runTrapped([&] {
      raise(number);
      after = true;
    }));
    EXPECT_FALSE(after);
  }
  EXPECT_EQ(handled, (std::vector<int>{27, 63}));
  EXPECT_TRUE(answers.messages.empty());
  EXPECT_FALSE(programEnding());
  EXPECT_TRUE(runTrapped([] {}));  // the program goes on
}

TEST_F(Trap, OtherErrorsAnnounceAndEndTheProgram) {
  installProgramsTrap();
  EXPECT_THROW(runTrapped([] { raise(err::FileNotFound); }), ProgramEnd);
  EXPECT_TRUE(programEnding());
  ASSERT_EQ(answers.messages.size(), 1u);
  EXPECT_EQ(answers.messages[0].title, "ERROR");
  EXPECT_EQ(answers.messages[0].text, "エラ－が発生しました！実行プログラムを閉じます！"_sj);
  EXPECT_EQ(answers.messages[0].buttons, mb::OK);
  EXPECT_EQ(answers.messages[0].icon, mb::Exclamation);
}

TEST_F(Trap, WithoutATrapTheErrorIsReportedWithItsPlace) {
  unsigned line = 0;
  auto procedure = [&line] {
    line = __LINE__ + 1;
    raise(err::NoObject);
  };
  EXPECT_THROW(runTrapped(procedure), ProgramEnd);
  EXPECT_TRUE(programEnding());
  ASSERT_EQ(answers.messages.size(), 1u);
  const MessageBoxRequest& report = answers.messages[0];
  EXPECT_EQ(report.title, fromUtf8Name());
  const Str head = "\r\ntrap_test.cpp [" + std::to_string(line) + "行]:エラー[1000]"_sj;
  EXPECT_EQ(report.text.substr(0, head.size()), head);
  EXPECT_GT(report.text.size(), head.size());  // followed by a description
  EXPECT_EQ(report.icon, mb::Exclamation);
  EXPECT_EQ(report.buttons, mb::OK);
}

// Exceptions that are not runtime errors of the services: out of memory, a
// failure inside Qt or the standard library. They meet the same trap; none
// may end the program without the operator being told.
TEST_F(Trap, OtherExceptionsMeetTheTrapAsRuntimeErrors) {
  const std::vector<std::function<void()>> throwers = {
      [] { throw std::bad_alloc(); },
      [] { throw QException(); },
      [] { (void)std::vector<int>().at(1); },
      [] { throw 42; },
  };
  for (const auto& thrower : throwers) {
    resetTrapState();
    installProgramsTrap();
    answers.messages.clear();
    EXPECT_THROW(runTrapped(thrower), ProgramEnd);
    EXPECT_TRUE(programEnding());
    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_EQ(answers.messages[0].text, "エラ－が発生しました！実行プログラムを閉じます！"_sj);
  }
  EXPECT_EQ(handled, (std::vector<int>{err::OutOfMemory, err::Unexpected, err::Unexpected,
                                       err::Unexpected}));
}

TEST_F(Trap, OtherExceptionsWithoutATrapGetTheFatalReport) {
  EXPECT_THROW(runTrapped([] { throw std::bad_alloc(); }), ProgramEnd);
  ASSERT_EQ(answers.messages.size(), 1u);
  EXPECT_EQ(answers.messages[0].title, fromUtf8Name());
  EXPECT_NE(answers.messages[0].text.find("エラー[7]\r\nメモリが不足しています"_sj), Str::npos);

  // Thrown by the handler itself: fatal as well.
  resetTrapState();
  answers.messages.clear();
  installProgramTrap([](const RuntimeError&) { throw std::runtime_error("handler"); });
  EXPECT_THROW(runTrapped([] { raise(err::FileNotFound); }), ProgramEnd);
  ASSERT_EQ(answers.messages.size(), 1u);
  EXPECT_NE(answers.messages[0].text.find("[" + std::to_string(err::Unexpected) + "]"),
            Str::npos);
}

TEST_F(Trap, ErrorInsideTheHandlerIsFatal) {
  installProgramTrap([](const RuntimeError&) { raise(err::IoError); });
  EXPECT_THROW(runTrapped([] { raise(err::FileNotFound); }), ProgramEnd);
  ASSERT_EQ(answers.messages.size(), 1u);
  EXPECT_NE(answers.messages[0].text.find("[72]"), Str::npos);
}

TEST_F(Trap, EndProgramPassesThroughWithoutTheHandler) {
  installProgramsTrap();
  EXPECT_THROW(runTrapped([] { endProgram(); }), ProgramEnd);
  EXPECT_TRUE(handled.empty());
  EXPECT_TRUE(answers.messages.empty());
}

// Printing style: a failing statement is skipped, the next one runs, and the
// program trap never hears of it.
TEST_F(Trap, ResumeNextSkipsOnlyTheFailingStatement) {
  installProgramsTrap();
  std::vector<int> ran;
  EXPECT_TRUE(runTrapped([&] {
    EXPECT_TRUE(resumeNext([&] { ran.push_back(1); }));
    EXPECT_FALSE(resumeNext([&] {
      raise(err::InvalidArgument);
      ran.push_back(2);
    }));
    EXPECT_TRUE(resumeNext([&] { ran.push_back(3); }));
  }));
  EXPECT_EQ(ran, (std::vector<int>{1, 3}));
  EXPECT_TRUE(handled.empty());
}

}  // namespace
}  // namespace fw
