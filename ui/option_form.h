#pragma once

#include <QDialog>
#include <cstdint>
#include <memory>

#include "core/color_ref.h"

class QButtonGroup;

namespace Ui {
class OptionForm;
}

namespace rastrel {

// The options dialog's state outside its controls. There is one for the
// whole run, and opening the dialog resets nothing of it.
struct OptionState {
  std::int32_t WorkWidth = 0;  // the size and key colour being edited
  std::int32_t WorkHeight = 0;
  ColorRef WorkColor = 0;
  bool HeightLeads = false;   // with the ratio kept: the height is typed, the width follows
  bool SizeUpdating = false;  // on while one size edit writes the other's text
  int SavedRectAdjust = 0;    // the choices at the last activation, for Cancel
  int SavedRectAction = 0;
  int SavedColorMode = 0;  // 0 Draw All, 1 Background, 2 Transparent
  bool SavedKeepRatio = false;
};

extern OptionState OptionFormState;

// Takes the working copies from ConversionSettings and clears the rest.
// Start-up does this before any window exists.
void TakeWorkingCopies();

// The options dialog: the drawing size with or without the aspect ratio,
// the colour handling and key colour, and in launched use the rectangle
// choices. It shows the four choices of ConversionSettings in its controls,
// and a change of a control is at once a change of its choice.
class TOptionForm : public QDialog {
  Q_OBJECT

 public:
  explicit TOptionForm(QWidget* parent = nullptr);
  ~TOptionForm() override;

  void setVisible(bool visible) override;
  // Escape and the window's own close are Cancel.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FormCreate();
  void FormActivate();
  void Button1Click();
  void CancelButtonClick();
  void CheckRatioClick();
  void LabelWidthClick();
  void LabelHeightClick();
  void RadioAllClick();
  void RadioRectClick();
  void EditWidthChange();
  void EditHeightChange();
  void EditColorChange();
  void EditWidthKeyPress(char16_t& Key);
  void EditColorKeyPress(char16_t& Key);

  void EnableSizeEdits();
  void EnableColorEdit();
  void ShowColor(ColorRef color);

  std::unique_ptr<Ui::OptionForm> ui;
  QButtonGroup* ColorModes;  // RadioAll, RadioBack, RadioTrans by ColorMode
};

}  // namespace rastrel
