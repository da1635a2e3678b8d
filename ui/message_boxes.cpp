#include "ui/message_boxes.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>

namespace rastrel {
namespace {

void ShowBox(QMessageBox::Icon icon, const QString& text) {
  // Without a parent the box is centred on the screen and blocks every window.
  QMessageBox box(icon, ApplicationTitle(), text, QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

}  // namespace

QString ApplicationTitleFor(const QString& executablePath) {
  const QString name = QFileInfo(executablePath).completeBaseName();
  return name.left(1) + name.mid(1).toLower();
}

QString ApplicationTitle() { return ApplicationTitleFor(QCoreApplication::applicationFilePath()); }

void ShowMessage(const QString& text) { ShowBox(QMessageBox::NoIcon, text); }

void ShowErrorBox(const QString& message) { ShowBox(QMessageBox::Critical, message + '.'); }

void ShowErrorBox(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& known) {
    ShowErrorBox(QString::fromLocal8Bit(known.what()));
  } catch (...) {
    ShowErrorBox(QCoreApplication::translate("rastrel", "An unknown error occurred"));
  }
}

void MessageBoxes::ShowMessage(std::string_view text, std::string_view) {
  rastrel::ShowMessage(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

}  // namespace rastrel
