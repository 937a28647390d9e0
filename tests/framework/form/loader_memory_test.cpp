// What a window leaves behind once it is closed: nothing that grows with the
// number of windows opened, whatever their definitions name (found by
// fuzzing the loader, whose memory climbed with every window).
#include <gtest/gtest.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <QCoreApplication>

#include "framework/form/internal/definition_loader.h"
#include "framework/form/internal/form_objects.h"
#include "framework/form/program.h"
#include "framework/form/responder.h"
#include "tests/framework/form/definition_bytes.h"

namespace fw {
namespace {

using testdata::DefinitionBytes;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kPlainAllocator = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kPlainAllocator = false;
#else
constexpr bool kPlainAllocator = true;
#endif
#else
constexpr bool kPlainAllocator = true;
#endif

// Opens, shows and closes one window whose window and edit box use `face`,
// then lets the pending window messages in, as the program's loop does.
void openAndClose(const Str& face) {
  DefinitionBytes d;
  d.window().font(face, 12, false).beginControls();
  d.create(7, wd::style::Child | wd::style::Visible).name("EDIT1").place(0, 5, 5, 100, 30);
  d.font(face, 12, false).endList().endList();
  auto window = internal::openWindowFromBytes(d.bytes, 0);
  window->showInitialState();
  window.reset();
  resetForTests();
  QCoreApplication::processEvents();
}

// glibc's count of the bytes in use; elsewhere the test skips.
#ifdef __GLIBC__
constexpr bool kHeapCounted = true;
std::size_t heapInUse() { return mallinfo2().uordblks; }
#else
constexpr bool kHeapCounted = false;
std::size_t heapInUse() { return 0; }
#endif

// Faces that are not installed, a new one in every window: Qt remembered
// each family name it was asked for.
TEST(LoaderMemory, FacesThatAreNotInstalledLeaveNothingBehind) {
  if (!kPlainAllocator) GTEST_SKIP() << "the sanitizer's allocator keeps freed memory";
  if (!kHeapCounted) GTEST_SKIP() << "no count of the heap in use here";
  resetForTests();
  ScriptedResponder answers;
  for (int i = 0; i < 50; ++i) openAndClose("Warm-up face " + std::to_string(i));
  const std::size_t before = heapInUse();
  for (int i = 0; i < 400; ++i) openAndClose("No such face " + std::to_string(i));
  const std::size_t after = heapInUse();
  EXPECT_LT(after, before + 100 * 1024) << "grew by " << (after - before) / 400 << " bytes a window";
}

}  // namespace
}  // namespace fw
