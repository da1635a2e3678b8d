#pragma once

#include <QImage>
#include <QWidget>
#include <memory>

#include "core/bitmap.h"
#include "core/color_ref.h"

namespace rastrel {

// The picture for the screen. It reads the pixels of `bitmap` where they are
// and keeps the bitmap alive for as long as it, or a copy of it, lives.
// Null when the screen cannot hold a picture that wide, or (where the pixels
// must be copied) when there is no memory for the copy.
QImage ToImage(std::shared_ptr<const Bitmap> bitmap);

// Shows a picture unscaled at its top-left and takes the size of it, so that
// a scroll area around it offers scroll bars for a large one. Reports mouse
// presses in picture coordinates.
class PictureView : public QWidget {
  Q_OBJECT

 public:
  explicit PictureView(QWidget* parent = nullptr);

  void SetPicture(QImage picture);
  // The colour of the shown picture's pixel at (x, y); black outside it.
  ColorRef PixelColor(int x, int y) const;

 signals:
  void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QImage picture_;
};

}  // namespace rastrel
