#include "ui/picture_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <bit>
#include <utility>

namespace rastrel {

namespace {

// A copy in Qt's own layout, for where the pixels cannot be read in place.
QImage CopyToImage(const Bitmap& bitmap) {
  QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_RGB32);
  if (image.isNull()) return image;
  for (std::int32_t y = 0; y < bitmap.Height(); ++y) {
    const ColorRef* in = bitmap.Row(y);
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (std::int32_t x = 0; x < bitmap.Width(); ++x) {
      out[x] = qRgb(RedOf(in[x]), GreenOf(in[x]), BlueOf(in[x]));
    }
  }
  return image;
}

}  // namespace

QImage ToImage(std::shared_ptr<const Bitmap> bitmap) {
  if (!bitmap || bitmap->Empty()) return QImage();
  if constexpr (std::endian::native != std::endian::little) return CopyToImage(*bitmap);
  // A ColorRef, 0x00BBGGRR, lies in memory as the bytes red, green, blue and
  // an unused one, which is Qt's RGBX8888: the rows are read in place, and a
  // picture of a gigabyte is not held twice. The image owns a reference to
  // the bitmap, dropped when its last copy goes.
  auto* owner = new std::shared_ptr<const Bitmap>(bitmap);
  QImage image(
      reinterpret_cast<const uchar*>(bitmap->Row(0)), bitmap->Width(), bitmap->Height(),
      static_cast<qsizetype>(bitmap->Width()) * sizeof(ColorRef), QImage::Format_RGBX8888,
      [](void* info) { delete static_cast<std::shared_ptr<const Bitmap>*>(info); }, owner);
  if (image.isNull()) delete owner;  // Qt calls the clean-up only for an image it made
  return image;
}

PictureView::PictureView(QWidget* parent) : QWidget(parent) {
  // Every pixel is painted from the picture; nothing shows through.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureView::SetPicture(QImage picture) {
  picture_ = std::move(picture);
  resize(picture_.size());
  update();
}

ColorRef PictureView::PixelColor(int x, int y) const {
  if (!picture_.valid(x, y)) return 0;
  const QRgb pixel = picture_.pixel(x, y);
  return MakeColorRef(qRed(pixel), qGreen(pixel), qBlue(pixel));
}

void PictureView::paintEvent(QPaintEvent* event) {
  // Only the exposed part: a large picture is far bigger than the window. The
  // widget has the picture's size, so the picture covers every part.
  QPainter painter(this);
  const QRect area = event->rect();
  painter.drawImage(area.topLeft(), picture_, area);
}

void PictureView::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  emit MouseDown(event->button(), event->modifiers(), at.x(), at.y());
}

}  // namespace rastrel
