#include "ui/application.h"

#include <QFont>
#include <QIcon>
#include <exception>

#include "ui/message_boxes.h"

// Resources of a static library are registered by hand.
static void RegisterResources() { Q_INIT_RESOURCE(rastrel); }

namespace rastrel {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
  RegisterResources();
  setWindowIcon(QIcon(QStringLiteral(":/MAINICON")));
  // The forms name the Windows faces they were drawn with; these free faces
  // from Debian come closest.
  QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
  QFont::insertSubstitution(QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"));
  QFont::insertSubstitution(QStringLiteral("Terminal"), QStringLiteral("IPAGothic"));
}

bool Application::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    ShowErrorBox(std::current_exception());
  }
  return false;
}

}  // namespace rastrel
