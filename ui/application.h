#pragma once

#include <QApplication>

namespace rastrel {

// The application object: the program's icon and fonts, and the error box
// for any error that an event handler lets escape, after which the program
// goes on. (Handlers bound with Guarded never let one get this far.)
class Application : public QApplication {
 public:
  Application(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace rastrel
