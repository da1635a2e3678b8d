#pragma once

#include <QObject>

class QLineEdit;

namespace rastrel {

// Shows each character typed into an edit box to KeyPress before the box
// inserts it, as Windows presents typed characters: Ctrl+letter as its
// control code (Ctrl+V is 22), Backspace as 8, Ctrl+Backspace as 127. A
// handler that sets the character to 0 suppresses the key. Keys that type
// nothing (arrows, Delete), the keys the dialog itself takes (Return, Enter,
// Escape, Tab) and text from input methods or the clipboard pass unseen.
class KeyPressFilter : public QObject {
  Q_OBJECT

 public:
  explicit KeyPressFilter(QLineEdit* edit);

 signals:
  void KeyPress(char16_t& key);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace rastrel
