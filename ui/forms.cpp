#include "ui/forms.h"

#include <QDialog>

#include "ui/about_form.h"
#include "ui/main_form.h"

namespace rastrel {

TMainForm* MainForm = nullptr;
QDialog* OptionForm = nullptr;
TAboutForm* AboutForm = nullptr;

void CreateForms() {
  MainForm = new TMainForm;
  AboutForm = new TAboutForm;
}

void DestroyForms() {
  delete AboutForm;
  AboutForm = nullptr;
  delete OptionForm;
  OptionForm = nullptr;
  delete MainForm;
  MainForm = nullptr;
}

}  // namespace rastrel
