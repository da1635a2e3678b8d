#include "ui/about_form.h"

#include "ui/guarded.h"
#include "ui_about_form.h"

namespace rastrel {

TAboutForm::TAboutForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      ui(std::make_unique<Ui::AboutForm>()) {
  ui->setupUi(this);
  // uic sizes a top-level form but leaves its place to the window system.
  move(303, 192);
  // The labels take the size of their caption, which the free faces that
  // stand in for the form's fonts draw a little wider.
  ui->Label1->adjustSize();
  ui->Label2->adjustSize();

  connect(ui->Button1, &QPushButton::clicked, this, Guarded(this, &TAboutForm::Button1Click));
}

TAboutForm::~TAboutForm() = default;

void TAboutForm::Button1Click() { accept(); }

}  // namespace rastrel
