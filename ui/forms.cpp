#include "ui/forms.h"

#include "ui/about_form.h"
#include "ui/main_form.h"
#include "ui/option_form.h"

namespace rastrel {

TMainForm* MainForm = nullptr;
TOptionForm* OptionForm = nullptr;
TAboutForm* AboutForm = nullptr;

void CreateForms() {
  TakeWorkingCopies();
  MainForm = new TMainForm;
  OptionForm = new TOptionForm;
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
