// Tessivo: ECG chart entry and printing.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QLabel label("Tessivo: the windows are being built.");
  label.resize(400, 80);
  label.show();
  return app.exec();
}
