// window-screenshot BITMAP OUT.PNG [ABOUT.PNG]: opens BITMAP in the real main
// window, as a user does through File > Open, and saves a picture of the
// window, and of the about box if asked. Run it on a display
// (tools/take-screenshot.sh uses Xvfb).
#include <QAction>
#include <QMenuBar>
#include <QTimer>
#include <cstdio>

#include "core/launch_arguments.h"
#include "tests/ui/window_test_support.h"
#include "ui/about_form.h"
#include "ui/application.h"
#include "ui/forms.h"
#include "ui/main_form.h"

int main(int argc, char** argv) {
  rastrel::Application application(argc, argv);
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: window-screenshot BITMAP OUT.PNG [ABOUT.PNG]\n");
    return 2;
  }
  const QString bitmap = QString::fromLocal8Bit(argv[1]);
  const QString out = QString::fromLocal8Bit(argv[2]);
  rastrel::SetProcessArguments({"rastrel"});
  rastrel::CreateForms();
  rastrel::MainForm->show();

  int status = 1;
  rastrel::testing::ModalAnswers answers;
  answers.Then(rastrel::testing::ChooseFile(bitmap));
  QTimer::singleShot(200, [&] {
    rastrel::testing::ChooseMenuItem(rastrel::MainForm->findChild<QMenuBar*>("MainMenu1"),
                                     rastrel::MainForm->findChild<QMenu*>("File1"),
                                     rastrel::MainForm->findChild<QAction*>("Open1"));
    // Let the window repaint before it is grabbed.
    QTimer::singleShot(300, [&] {
      status = answers.AllGiven() && rastrel::MainForm->grab().save(out) ? 0 : 1;
      if (argc == 4) {
        rastrel::AboutForm->show();
        if (!rastrel::AboutForm->grab().save(QString::fromLocal8Bit(argv[3]))) status = 1;
      }
      application.quit();
    });
  });
  application.exec();
  rastrel::DestroyForms();
  return status;
}
