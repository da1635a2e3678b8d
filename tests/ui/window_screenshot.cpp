// window-screenshot BITMAP MAIN.PNG [--options OPTIONS.PNG] [--about ABOUT.PNG]:
// opens BITMAP in the real main window, as a user does through File > Open,
// and saves a picture of the window, and of the options dialog as Option >
// Setup shows it and of the about box if asked. Run it on a display
// (tools/take-screenshot.sh uses Xvfb).
#include <QAction>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "core/launch_arguments.h"
#include "tests/ui/window_test_support.h"
#include "ui/about_form.h"
#include "ui/application.h"
#include "ui/forms.h"
#include "ui/main_form.h"
#include "ui/option_form.h"

int main(int argc, char** argv) {
  rastrel::Application application(argc, argv);
  QString options, about;
  bool usage = argc < 3 || argc % 2 == 0;
  for (int i = 3; !usage && i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--options") == 0) {
      options = QString::fromLocal8Bit(argv[i + 1]);
    } else if (std::strcmp(argv[i], "--about") == 0) {
      about = QString::fromLocal8Bit(argv[i + 1]);
    } else {
      usage = true;
    }
  }
  if (usage) {
    std::fprintf(stderr,
                 "usage: window-screenshot BITMAP MAIN.PNG [--options OPTIONS.PNG] "
                 "[--about ABOUT.PNG]\n");
    return 2;
  }
  const QString bitmap = QString::fromLocal8Bit(argv[1]);
  const QString out = QString::fromLocal8Bit(argv[2]);
  rastrel::SetProcessArguments({"rastrel"});
  rastrel::CreateForms();
  rastrel::MainForm->show();

  bool saved = true;
  rastrel::testing::ModalAnswers answers;
  answers.Then(rastrel::testing::ChooseFile(bitmap));
  if (!options.isEmpty()) {
    answers.Then([&](QWidget* dialog) {
      // Let the dialog paint before it is grabbed.
      QTimer::singleShot(300, dialog, [&, dialog] {
        saved = dialog->grab().save(options) && saved;
        dialog->findChild<QPushButton*>("CancelButton")->click();
      });
    });
  }
  QTimer::singleShot(200, [&] {
    rastrel::testing::ChooseMainMenuItem("File1", "Open1");
    if (!options.isEmpty()) rastrel::testing::ChooseMainMenuItem("Option1", "Setup1");
    // Let the window repaint before it is grabbed.
    QTimer::singleShot(300, [&] {
      saved = rastrel::MainForm->grab().save(out) && saved;
      if (!about.isEmpty()) {
        rastrel::AboutForm->show();
        saved = rastrel::AboutForm->grab().save(about) && saved;
      }
      application.quit();
    });
  });
  application.exec();
  const bool done = saved && answers.AllGiven() && answers.Unanswered() == 0;
  rastrel::DestroyForms();
  return done ? 0 : 1;
}
