#pragma once

namespace rastrel {

class TMainForm;
class TOptionForm;
class TAboutForm;

// The program's windows. They exist from CreateForms until DestroyForms.
extern TMainForm* MainForm;
extern TOptionForm* OptionForm;
extern TAboutForm* AboutForm;

// Creates the windows in the order start-up needs: the options dialog's
// working copies are taken from the defaults first, then the main window is
// created, whose creation reads the launch arguments that the options dialog
// relies on, then the options dialog and the about box.
void CreateForms();
void DestroyForms();

}  // namespace rastrel
