// Windows opened from definitions of any bytes, through the loader the
// program uses: either a window whose geometry stays within what Win32 can
// hold, or error 1014 after exactly one "DazuVudive" box and no window left
// open; every window is then closed the way the program closes it, leaving
// nothing. Building real windows makes this the slow target; the parser
// alone is fuzzed much faster by window_definition_fuzz.cpp.
#include <QApplication>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "framework/core/error.h"
#include "framework/form/internal/definition_loader.h"
#include "framework/form/internal/form_objects.h"
#include "framework/form/program.h"
#include "framework/form/responder.h"
#include "framework/form/window.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

void checkBounded(const fw::internal::ObjectDef& o) {
  FUZZ_CHECK(o.x >= -32768 && o.x <= 32767 && o.y >= -32768 && o.y <= 32767);
  FUZZ_CHECK(o.width >= 0 && o.width <= 32767 && o.height >= 0 && o.height <= 32767);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static QApplication app(*argc, *argv);
  QApplication::setQuitOnLastWindowClosed(false);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  bool parsed = false;
  std::size_t controls = 0;
  try {
    const fw::internal::WindowDefinition def = fw::internal::parseDefinition(bytes);
    parsed = true;
    checkBounded(def.window);
    for (const auto& c : def.controls) checkBounded(c);
    controls = def.controls.size();
  } catch (const fw::internal::DefinitionFault& fault) {
    FUZZ_CHECK(!fault.message.empty());
  }

  fw::ScriptedResponder answers;
  try {
    auto window = fw::internal::openWindowFromBytes(bytes, 0);
    FUZZ_CHECK(parsed);
    FUZZ_CHECK(answers.messages.empty());
    FUZZ_CHECK(window->controlCount() == static_cast<int>(controls));
    for (int item = 0; item < 4; ++item) {
      FUZZ_CHECK(window->geometry(item) >= -65536 && window->geometry(item) <= 65536);
    }
    window->showInitialState();
  } catch (const fw::RuntimeError& e) {
    FUZZ_CHECK(!parsed);
    FUZZ_CHECK(e.number() == fw::err::DefinitionFaulty);
    FUZZ_CHECK(answers.messages.size() == 1);
    FUZZ_CHECK(answers.messages[0].title == "DazuVudive");
    FUZZ_CHECK(fw::internal::openWindows().empty());
  }
  // What the program does when its windows close: destroyed, queue cleared,
  // deferred deletions run; then its loop lets the pending window messages in
  // (without that, the messages of every window shown pile up).
  fw::resetForTests();
  QCoreApplication::processEvents();
  FUZZ_CHECK(fw::internal::openWindows().empty());
  return 0;
}
