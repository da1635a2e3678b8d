#pragma once

class QDialog;

namespace rastrel {

class TMainForm;
class TAboutForm;

// The program's windows. They exist from CreateForms until DestroyForms.
extern TMainForm* MainForm;
extern QDialog* OptionForm;  // none yet: Setup shows nothing until it exists
extern TAboutForm* AboutForm;

// Creates the windows in the order start-up needs: the main window first,
// since its creation reads the launch arguments that the others rely on.
void CreateForms();
void DestroyForms();

}  // namespace rastrel
