// rastrel: the desktop program. Creates the windows in start-up order and runs
// the event loop until the main window closes.
#include <exception>
#include <string>
#include <vector>

#include "core/launch_arguments.h"
#include "ui/application.h"
#include "ui/forms.h"
#include "ui/main_form.h"
#include "ui/message_boxes.h"

int main(int argc, char** argv) {
  rastrel::SetProcessArguments(std::vector<std::string>(argv, argv + argc));
  rastrel::Application application(argc, argv);
  try {
    rastrel::CreateForms();
    rastrel::MainForm->show();
    application.exec();
  } catch (...) {
    rastrel::ShowErrorBox(std::current_exception());
  }
  rastrel::DestroyForms();
  return 0;
}
