#pragma once

#include <QFileDialog>
#include <QList>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/color_ref.h"
#include "ui/forms.h"
#include "ui/main_form.h"

namespace rastrel::testing {

// Answers the modal windows that a test's steps open, one answer per window
// in the order they appear. A window nobody answers is closed after a while
// and counted, so that a test fails instead of hanging.
class ModalAnswers : public QObject {
 public:
  using Answer = std::function<void(QWidget*)>;

  ModalAnswers();
  ModalAnswers& Then(Answer answer);
  bool AllGiven() const { return answers_.empty(); }
  int Unanswered() const { return unanswered_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Poll();

  std::deque<Answer> answers_;
  QTimer timer_;
  // Windows answered and not shown since: one may still be the modal window
  // for a moment after its answer, even after a window it opened has closed.
  QList<QPointer<QWidget>> answered_;
  QPointer<QWidget> waiting_;
  int waited_polls_ = 0;
  int unanswered_ = 0;
};

// What a message box showed.
struct ShownMessage {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Answers: choose a file in a file dialog with its accept button, cancel a
// dialog with Escape, read a message box and press its OK button, press a
// message box button.
ModalAnswers::Answer ChooseFile(const QString& path);
// Types the path into the name field as a user does, letting the completion
// list come up, and accepts with Return.
ModalAnswers::Answer TypeFileAndReturn(const QString& path);
ModalAnswers::Answer Cancel();
ModalAnswers::Answer ReadMessage(ShownMessage* shown);
ModalAnswers::Answer PressButton(QMessageBox::StandardButton button);

// Starts the windows as the program does, from the settings' defaults and
// with `arguments` as the command line, and shows the main window.
void StartWindows(const std::vector<std::string>& arguments);

// The main window's component called `name`; the test run stops without one.
template <typename T = QWidget>
T* MainFormPart(const char* name) {
  T* found = MainForm->findChild<T*>(QString::fromLatin1(name));
  if (!found) qFatal("the main window has no %s", name);
  return found;
}

// Opens the main window's menu `menu` and clicks its item `item`, both by
// name; returns when the command has finished.
void ChooseMainMenuItem(const char* menu, const char* item);

// Opens `menu` from the menu bar with a click on its title, as a user does.
void OpenMenu(QMenuBar* bar, QMenu* menu);
// Opens the menu and clicks `item`; returns when the command has finished.
void ChooseMenuItem(QMenuBar* bar, QMenu* menu, QAction* item);

// A top-down 8-bit bitmap file of width x height pixels; `index` gives the
// palette entry of each pixel.
std::vector<std::uint8_t> PaletteBitmap(int width, int height, std::vector<ColorRef> palette,
                                        const std::function<std::uint8_t(int x, int y)>& index);
void WriteBytes(const QString& path, const std::vector<std::uint8_t>& bytes);
QByteArray ReadBytes(const QString& path);

}  // namespace rastrel::testing
