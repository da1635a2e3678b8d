#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class AboutForm;
}

namespace rastrel {

// The about box: the program's icon, name and version.
class TAboutForm : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutForm(QWidget* parent = nullptr);
  ~TAboutForm() override;

 private:
  void Button1Click();

  std::unique_ptr<Ui::AboutForm> ui;
};

}  // namespace rastrel
