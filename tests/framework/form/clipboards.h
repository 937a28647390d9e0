// Clipboards that hold no text, for the tests that paste from them.
#pragma once

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <functional>
#include <vector>

namespace fw::test {

// After a login, or once the program that copied has ended, Qt reports no
// source or one without formats; or the clipboard holds only a picture.
inline const std::vector<std::function<void()>> kClipboardsWithoutText = {
    [] { QGuiApplication::clipboard()->clear(); },
    [] { QGuiApplication::clipboard()->setMimeData(new QMimeData); },
    [] {
      auto* picture = new QMimeData;
      picture->setImageData(QImage(4, 4, QImage::Format_RGB32));
      QGuiApplication::clipboard()->setMimeData(picture);
    },
};

}  // namespace fw::test
