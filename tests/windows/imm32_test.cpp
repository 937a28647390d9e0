// The input-method modes through IMM32 on a plain Win32 window (no Qt): the
// calls the boxes make on Windows, checked through the same context.
#include "framework/form/internal/platform/imm32_modes.h"

#include <gtest/gtest.h>
#include <imm.h>

namespace {

class Imm32Window : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW type{};
    type.lpfnWndProc = DefWindowProcW;
    type.hInstance = GetModuleHandleW(nullptr);
    type.lpszClassName = L"TessivoImm32Test";
    RegisterClassW(&type);
    window_ = CreateWindowExW(0, type.lpszClassName, L"IMM32", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                              100, nullptr, nullptr, type.hInstance, nullptr);
    ASSERT_NE(window_, nullptr) << "no window: " << GetLastError();
  }
  void TearDown() override {
    if (window_) DestroyWindow(window_);
  }

  bool isOpen() {
    const HIMC context = ImmGetContext(window_);
    const bool open = context && ImmGetOpenStatus(context);
    ImmReleaseContext(window_, context);
    return open;
  }
  DWORD conversion() {
    const HIMC context = ImmGetContext(window_);
    DWORD mode = 0, sentence = 0;
    if (context) ImmGetConversionStatus(context, &mode, &sentence);
    ImmReleaseContext(window_, context);
    return mode;
  }

  HWND window_ = nullptr;
};

TEST_F(Imm32Window, OpensInFullWidthHiraganaAndCloses) {
  // From katakana (a mode the user may have left it in) to hiragana.
  const HIMC context = ImmGetContext(window_);
  ASSERT_NE(context, nullptr) << "the window has no input context";
  ImmSetConversionStatus(context, IME_CMODE_NATIVE | IME_CMODE_KATAKANA, IME_SMODE_NONE);
  ImmReleaseContext(window_, context);

  ASSERT_TRUE(fw::internal::imm32::setMode(window_, true));
  EXPECT_TRUE(isOpen());
  const DWORD mode = conversion();
  EXPECT_EQ(mode & (IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE | IME_CMODE_KATAKANA),
            static_cast<DWORD>(IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE));
  EXPECT_TRUE(fw::internal::imm32::setMode(window_, false));
  EXPECT_FALSE(isOpen());
  // Opened again after a close: the same mode, however often.
  EXPECT_TRUE(fw::internal::imm32::setMode(window_, true));
  EXPECT_TRUE(fw::internal::imm32::setMode(window_, true));
  EXPECT_TRUE(isOpen());
}

TEST_F(Imm32Window, AWindowWithoutInputContextIsLeftAlone) {
  const HIMC own = ImmAssociateContext(window_, nullptr);
  EXPECT_FALSE(fw::internal::imm32::setMode(window_, true));
  EXPECT_FALSE(isOpen());
  ImmAssociateContext(window_, own);
}

}  // namespace
