#pragma once

#include <QMainWindow>
#include <memory>

class QFileDialog;

namespace Ui {
class MainForm;
}

namespace rastrel {

// The program's main window: the menu, the opened bitmap in a scroll box and
// the progress bar of the save.
class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;

 private:
  void FormCreate();
  void FormDestroy();
  void File1Click();
  void Open1Click();
  void Save1Click();
  void Quit1Click();
  void Option1Click();
  void Setup1Click();
  void Color1Click();
  void About1Click();
  void Image1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

  std::unique_ptr<Ui::MainForm> ui;
  QFileDialog* OpenDialog1;
  QFileDialog* SaveDialog1;
};

}  // namespace rastrel
