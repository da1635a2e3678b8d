#include "tests/ui/window_test_support.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTest>

#include "core/conversion_settings.h"
#include "core/launch_arguments.h"
#include "tests/core/bmp_builder.h"

namespace rastrel::testing {
namespace {

constexpr int kPollMs = 5;
constexpr int kPatiencePolls = 2000;  // ten seconds for a window nobody answers

}  // namespace

ModalAnswers::ModalAnswers() {
  timer_.setInterval(kPollMs);
  connect(&timer_, &QTimer::timeout, this, &ModalAnswers::Poll);
  timer_.start();
}

ModalAnswers& ModalAnswers::Then(Answer answer) {
  answers_.push_back(std::move(answer));
  return *this;
}

bool ModalAnswers::eventFilter(QObject* watched, QEvent* event) {
  // A dialog that is shown again, such as a kept file dialog, needs a new
  // answer. (While it hides, it may still be the modal window for a moment.)
  if (event->type() == QEvent::Show) answered_.removeAll(static_cast<QWidget*>(watched));
  return false;
}

void ModalAnswers::Poll() {
  QWidget* modal = QApplication::activeModalWidget();
  if (!modal) return;
  answered_.removeIf([](const QPointer<QWidget>& window) { return window.isNull(); });
  if (answered_.contains(modal) || answers_.empty()) {
    if (modal != waiting_) {
      waiting_ = modal;
      waited_polls_ = 0;
    }
    if (++waited_polls_ < kPatiencePolls) return;
    ++unanswered_;
    modal->close();
    answered_.removeAll(modal);
    return;
  }
  answered_.append(modal);
  modal->installEventFilter(this);
  // Answered from the event loop, not from this timer: an answer may open a
  // window of its own, and a timer does not fire again inside its own slot.
  QTimer::singleShot(0, modal, [modal, answer = answers_.front()] { answer(modal); });
  answers_.pop_front();
}

ModalAnswers::Answer ChooseFile(const QString& path) {
  return [path](QWidget* window) {
    auto* dialog = qobject_cast<QFileDialog*>(window);
    QVERIFY2(dialog, "a file dialog");
    // Typed into the name field, which has the focus when the dialog opens.
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(name);
    name->selectAll();
    QTest::keyClicks(name, path);
    // What the Open or Save button does, with the dialog's checks of the name
    // (it must exist; overwriting asks first).
    static_cast<QDialog*>(dialog)->accept();
  };
}

ModalAnswers::Answer TypeFileAndReturn(const QString& path) {
  return [path](QWidget* window) {
    auto* name = window->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(name);
    for (QChar c : path) {
      QTest::keyClick(name, c.toLatin1());
      QTest::qWait(5);  // time for the folder model, and so the completion list
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  };
}

ModalAnswers::Answer Cancel() {
  return [](QWidget* window) { QTest::keyClick(window, Qt::Key_Escape); };
}

ModalAnswers::Answer ReadMessage(ShownMessage* shown) {
  return [shown](QWidget* window) {
    auto* box = qobject_cast<QMessageBox*>(window);
    QVERIFY2(box, "a message box");
    *shown = {box->windowTitle(), box->text(), box->icon()};
    QCOMPARE(box->buttons().size(), 1);
    QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
  };
}

ModalAnswers::Answer PressButton(QMessageBox::StandardButton button) {
  return [button](QWidget* window) {
    auto* box = qobject_cast<QMessageBox*>(window);
    QVERIFY2(box, "a message box");
    QVERIFY(box->button(button));
    QTest::mouseClick(box->button(button), Qt::LeftButton);
  };
}

void StartWindows(const std::vector<std::string>& arguments) {
  ResetConversionSettings();
  SetProcessArguments(arguments);
  CreateForms();
  MainForm->show();
  QVERIFY(QTest::qWaitForWindowExposed(MainForm));
}

void ChooseMainMenuItem(const char* menu, const char* item) {
  ChooseMenuItem(MainFormPart<QMenuBar>("MainMenu1"), MainFormPart<QMenu>(menu),
                 MainFormPart<QAction>(item));
}

void OpenMenu(QMenuBar* bar, QMenu* menu) {
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
  QTRY_VERIFY(menu->isVisible());
}

void ChooseMenuItem(QMenuBar* bar, QMenu* menu, QAction* item) {
  OpenMenu(bar, menu);
  QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
  if (menu->isVisible()) menu->close();  // the item was disabled
}

std::vector<std::uint8_t> PaletteBitmap(int width, int height, std::vector<ColorRef> palette,
                                        const std::function<std::uint8_t(int x, int y)>& index) {
  std::vector<std::vector<std::uint8_t>> rows(height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) rows[y].push_back(index(x, y));
  }
  return BmpFile{.width = width,
                 .height = -height,
                 .bit_count = 8,
                 .palette = std::move(palette),
                 .pixels = Rows(rows)}
      .Bytes();
}

void WriteBytes(const QString& path, const std::vector<std::uint8_t>& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace rastrel::testing
