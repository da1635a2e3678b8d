#include "ui/key_press_filter.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <string>

namespace rastrel {

namespace {

// The characters that `event` types, the way Windows reports them.
std::u16string TypedCharacters(const QKeyEvent& event) {
  const int key = event.key();
  const Qt::KeyboardModifiers modifiers = event.modifiers();
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return {};
    case Qt::Key_Backspace:
      return {modifiers & Qt::ControlModifier ? u'\x7f' : u'\b'};
    default:
      break;
  }
  // Ctrl with AltGr is a character of the layout, not a control code.
  if ((modifiers & Qt::ControlModifier) && !(modifiers & Qt::AltModifier)) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return {static_cast<char16_t>(key - Qt::Key_A + 1)};
    return {};
  }
  const QString text = event.text();
  return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), text.size());
}

}  // namespace

KeyPressFilter::KeyPressFilter(QLineEdit* edit) : QObject(edit) { edit->installEventFilter(this); }

bool KeyPressFilter::eventFilter(QObject*, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  bool suppressed = false;
  for (char16_t typed : TypedCharacters(*static_cast<QKeyEvent*>(event))) {
    emit KeyPress(typed);
    suppressed = suppressed || typed == 0;
  }
  return suppressed;
}

}  // namespace rastrel
