#include "framework/form/program.h"

#include <QApplication>
#include <QEventLoop>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdlib>
#include <memory>

#include "framework/core/error.h"
#include "framework/form/events.h"
#include "framework/form/internal/definition_loader.h"
#include "framework/form/internal/form_objects.h"
#include "framework/form/trap.h"

namespace fw {

namespace {

const Str kMainFormName = "MAINFORM";

// Builds MAINFORM hidden; its _START is queued for the first wait.
void buildMainWindow() {
  auto bytes = internal::definitionResource(kMainFormName);
  if (!bytes) raise(err::DefinitionMissing);
  internal::setMainWindow(internal::openWindowFromBytes(*bytes, 0));
}

// Qt's own texts (the print dialog, standard buttons, the edit boxes'
// context menu) in the program's language, whatever the system's locale.
// Without the translation files (Debian package qt6-translations-l10n) they
// stay English.
void useJapaneseQtTexts() {
  static QTranslator* translator = nullptr;
  if (translator) return;
  translator = new QTranslator(qApp);
  if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qt"),
                       QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(translator);
}

void shutDown() {
  internal::clearEventQueue();
  internal::destroyAllWindows();
  internal::releaseClosedWindows();
  while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

int runProgram(int argc, char** argv, const ProgramOptions& options) {
  std::unique_ptr<QApplication> app;
  if (!QCoreApplication::instance()) app = std::make_unique<QApplication>(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  useJapaneseQtTexts();
  internal::openPostBox();

  if (!internal::runAsProcedure(buildMainWindow) || !mainWindowExists()) {
    shutDown();
    return 1;
  }
  if (options.start && !internal::runAsProcedure(options.start) && internal::endRequested()) {
    shutDown();
    return 0;
  }
  if (auto main = internal::mainWindowImpl()) main->showInitialState();

  // The program waits for events for ever: queued procedures run one at a
  // time from this loop, never from a nested one (modal dialogs, doEvents),
  // and the program ends when the main window is gone.
  // The loop is left whenever an event was queued or a window destroyed,
  // also while a procedure runs inside it (a _QUERYCLOSE called from the
  // close box): once that procedure has returned, the queue is served and
  // an end it asked for is seen. Outside exec() quitting does nothing.
  QEventLoop loop;
  internal::setEventQueuedHook([&loop] { loop.quit(); });
  while (!internal::endRequested() && !programEnding() && mainWindowExists()) {
    internal::serveEventQueue();
    internal::releaseClosedWindows();
    if (internal::endRequested() || !mainWindowExists()) break;
    if (pendingEventCount() > 0) continue;
    loop.exec();
  }
  internal::setEventQueuedHook(nullptr);
  shutDown();
  return 0;
}

bool initForTests() {
  if (!QCoreApplication::instance()) {
    static int argc = 1;
    static char name[] = "tessivo-tests";
    static char* argv[] = {name, nullptr};
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
  }
  QApplication::setQuitOnLastWindowClosed(false);
  useJapaneseQtTexts();
  internal::openPostBox();
  resetForTests();
  try {
    buildMainWindow();
  } catch (const RuntimeError&) {
    return false;
  }
  if (auto main = internal::mainWindowImpl()) main->showInitialState();
  return mainWindowExists();
}

// The registry of procedures is kept: tests register their procedures once
// and clear them with unregisterAllProcedures().
void resetForTests() {
  internal::setEventQueuedHook(nullptr);
  shutDown();
  internal::setMainWindow(nullptr);
  internal::resetDispatch();
  internal::dropPostedWork();
  resetTrapState();
}

}  // namespace fw
