// The about box as Help > About shows it, and the application's own parts:
// its title and the error box for errors that escape an event handler.
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <stdexcept>

#include "core/conversion_settings.h"
#include "core/launch_arguments.h"
#include "tests/ui/window_test_support.h"
#include "ui/about_form.h"
#include "ui/forms.h"
#include "ui/guarded.h"
#include "ui/main_form.h"
#include "ui/message_boxes.h"

namespace rastrel::testing {

class AboutFormTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { StartWindows({"rastrel"}); }
  void cleanup() { DestroyForms(); }

  void aboutShowsIconNameAndVersion_data();
  void aboutShowsIconNameAndVersion();
  void applicationTitleFollowsTheExecutableName_data();
  void applicationTitleFollowsTheExecutableName();
  void errorEscapingAHandlerIsShownAndTheProgramGoesOn_data();
  void errorEscapingAHandlerIsShownAndTheProgramGoesOn();
};

void AboutFormTest::aboutShowsIconNameAndVersion_data() {
  QTest::addColumn<bool>("with_enter");
  QTest::newRow("Enter") << true;
  QTest::newRow("click on OK") << false;
}

void AboutFormTest::aboutShowsIconNameAndVersion() {
  QFETCH(bool, with_enter);
  bool seen = false;
  ModalAnswers answers;
  answers.Then([&](QWidget* window) {
    QCOMPARE(window, static_cast<QWidget*>(AboutForm));
    QCOMPARE(window->windowTitle(), QStringLiteral("About..."));
    QCOMPARE(window->size(), QSize(194, 125));
    QCOMPARE(window->pos(), QPoint(303, 192));
    QVERIFY(!(window->windowFlags() & Qt::WindowCloseButtonHint));
    auto* icon = window->findChild<QLabel*>("Image1");
    QCOMPARE(icon->geometry(), QRect(8, 8, 32, 32));
    QCOMPARE(icon->pixmap().size(), QSize(32, 32));
    auto* name = window->findChild<QLabel*>("Label1");
    QCOMPARE(name->text(), QStringLiteral("Rastrel "));
    QCOMPARE(QFontInfo(name->font()).family(), QStringLiteral("Comic Neue"));
    QVERIFY(QFontInfo(name->font()).italic());
    QCOMPARE(window->findChild<QLabel*>("Label2")->text(), QStringLiteral("Version 1.00.02"));
    auto* ok = window->findChild<QPushButton*>("Button1");
    QCOMPARE(ok->text(), QStringLiteral("&OK"));
    QVERIFY(ok->isDefault());
    seen = true;
    if (with_enter) {
      QTest::keyClick(window, Qt::Key_Return);
    } else {
      QTest::mouseClick(ok, Qt::LeftButton);
    }
  });
  ChooseMainMenuItem("Help1", "About1");
  QVERIFY(seen);
  QCOMPARE(answers.Unanswered(), 0);
  QVERIFY(!AboutForm->isVisible());
  QCOMPARE(AboutForm->result(), int(QDialog::Accepted));
}

void AboutFormTest::applicationTitleFollowsTheExecutableName_data() {
  QTest::addColumn<QString>("path");
  QTest::addColumn<QString>("title");
  QTest::newRow("plain") << "/usr/bin/rastrel"
                         << "rastrel";
  QTest::newRow("upper case with extension") << "/opt/RASTREL.EXE"
                                             << "Rastrel";
  QTest::newRow("first character kept") << "/x/rASTREL"
                                        << "rastrel";
  QTest::newRow("only the last extension goes") << "/x/My.Tool.exe"
                                                << "My.tool";
  QTest::newRow("non-ASCII") << "/x/ÄBÇ"
                             << "Äbç";
}

void AboutFormTest::applicationTitleFollowsTheExecutableName() {
  QFETCH(QString, path);
  QFETCH(QString, title);
  QCOMPARE(ApplicationTitleFor(path), title);
}

// Throws from a bound handler, or from its own event handler.
class FailingForm : public QWidget {
 public:
  void Button1Click() {
    ++calls;
    throw std::runtime_error("Out of paper");
  }
  bool event(QEvent* event) override {
    if (event->type() != QEvent::User) return QWidget::event(event);
    ++calls;
    throw std::runtime_error("Out of paper");
  }
  int calls = 0;
};

void AboutFormTest::errorEscapingAHandlerIsShownAndTheProgramGoesOn_data() {
  QTest::addColumn<bool>("bound_handler");
  QTest::newRow("handler bound with Guarded, on a click") << true;
  QTest::newRow("event handler, through the application") << false;
}

void AboutFormTest::errorEscapingAHandlerIsShownAndTheProgramGoesOn() {
  QFETCH(bool, bound_handler);
  FailingForm form;
  QPushButton button(QStringLiteral("Fail"), &form);
  connect(&button, &QPushButton::clicked, &form, Guarded(&form, &FailingForm::Button1Click));
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));

  ShownMessage first, second;
  ModalAnswers answers;
  answers.Then(ReadMessage(&first)).Then(ReadMessage(&second));
  for (int i = 0; i < 2; ++i) {  // the second one shows that the program goes on
    if (bound_handler) {
      QTest::mouseClick(&button, Qt::LeftButton);
    } else {
      QCoreApplication::postEvent(&form, new QEvent(QEvent::User));
      QTRY_COMPARE(form.calls, i + 1);
    }
  }
  QTRY_VERIFY(answers.AllGiven());
  QCOMPARE(form.calls, 2);
  QCOMPARE(first.text, QStringLiteral("Out of paper."));
  QCOMPARE(first.icon, QMessageBox::Critical);
  QCOMPARE(first.title, ApplicationTitle());
  QCOMPARE(second.text, first.text);
}

}  // namespace rastrel::testing

QObject* NewAboutFormTest() { return new rastrel::testing::AboutFormTest; }

#include "about_form_test.moc"
