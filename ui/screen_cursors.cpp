#include "ui/screen_cursors.h"

#include <QCursor>
#include <QPixmap>
#include <QWidget>
#include <map>

namespace rastrel {
namespace {

std::map<int, QCursor>& CursorTable() {
  static std::map<int, QCursor> table;
  return table;
}

}  // namespace

void RegisterScreenCursor(int number, const QCursor& cursor) { CursorTable()[number] = cursor; }

void SetControlCursor(QWidget* control, int number) {
  const auto found = CursorTable().find(number);
  if (number == kDefaultCursor || found == CursorTable().end()) {
    control->unsetCursor();
  } else {
    control->setCursor(found->second);
  }
}

QCursor LoadPickupCursor() { return QCursor(QPixmap(QStringLiteral(":/PICKUP")), 0, 0); }

}  // namespace rastrel
