// The picture of a window (redraw mode 1): a Surface drawing into an image
// that the window widget paints behind its controls, so the drawing
// survives covering, minimising and repainting. clear() fills it with the
// background colour. Scale mode 1: one unit is one pixel.
#pragma once

#include <QImage>
#include <functional>
#include <memory>

#include "framework/form/surface.h"

namespace fw::internal {

// Contract used by the window code; the drawing itself is shared with the
// printer (painter_surface.h).
std::unique_ptr<Surface> makeImageSurface(int widthPixels, int heightPixels,
                                          uint32_t backgroundRgb);
// The image behind a surface made by makeImageSurface. On a screen of a
// device pixel ratio above 1 it has that many pixels to each window pixel
// (QImage::devicePixelRatio), and a painter on it works in window pixels.
const QImage& surfaceImage(const Surface& imageSurface);
void resizeImageSurface(Surface& imageSurface, int widthPixels, int heightPixels);
// Called after every drawing operation (the widget schedules a repaint).
void setSurfaceChangedCallback(Surface& imageSurface, std::function<void()> changed);

}  // namespace fw::internal
