#include "ui/option_form.h"

#include <QButtonGroup>
#include <QScopedValueRollback>
#include <QScreen>
#include <QShowEvent>
#include <algorithm>
#include <initializer_list>
#include <string>

#include "core/conversion_settings.h"
#include "core/int32_math.h"
#include "core/number_scan.h"
#include "ui/guarded.h"
#include "ui/key_press_filter.h"
#include "ui_option_form.h"

namespace rastrel {

OptionState OptionFormState;

void TakeWorkingCopies() {
  const Settings& s = ConversionSettings;
  OptionFormState = OptionState{};
  OptionFormState.WorkWidth = s.GraWidth;
  OptionFormState.WorkHeight = s.GraHeight;
  OptionFormState.WorkColor = s.KeyColor;
}

namespace {

QString DecimalText(std::int32_t value) { return QString::number(value); }
QString HexadecimalText(ColorRef value) { return QString::number(value, 16); }

// Reads an edit's number; with none at the start of its text, `previous`.
std::int32_t ReadDecimal(const QLineEdit* edit, std::int32_t previous) {
  return ScanDecimal(edit->text().toStdString()).value_or(previous);
}
// A key colour is a 24-bit colour: a pasted sign could read as more.
ColorRef ReadColor(const QLineEdit* edit, ColorRef previous) {
  return ScanHexadecimal(edit->text().toStdString()).value_or(previous) & 0xFFFFFF;
}

// `a` x `b` / `c`, multiplication first and truncating, brought into range.
std::int32_t Proportion(std::int32_t a, std::int32_t b, std::int32_t c) {
  return ClampToInt32(std::int64_t{a} * b / c);
}

// The bitmap whose aspect ratio the sizes keep; none while there is nothing
// to keep it from.
const Bitmap* RatioSource() {
  const Bitmap* bitmap = ConversionSettings.SourceBitmap.get();
  if (!bitmap || bitmap->Empty() || bitmap->Width() < 1 || bitmap->Height() < 1) return nullptr;
  return bitmap;
}

bool IsControlCode(char16_t c) { return c <= 31 || c == 127; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsHexDigit(char16_t c) {
  return IsDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

}  // namespace

TOptionForm::TOptionForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      ui(std::make_unique<Ui::OptionForm>()),
      ColorModes(new QButtonGroup(this)) {
  ui->setupUi(this);
  // Form descriptions give whole points; the colour edit's face is 13 pixels.
  QFont face = ui->EditColor->font();
  face.setPixelSize(13);
  ui->EditColor->setFont(face);
  // The free faces that stand in for the form's draw a little wider; the
  // captions get the room they need, which the form leaves beside them.
  for (QLabel* label :
       std::initializer_list<QLabel*>{ui->LabelWidth, ui->LabelHeight, ui->LabelColor}) {
    label->adjustSize();
  }
  for (QAbstractButton* button : std::initializer_list<QAbstractButton*>{
           ui->CheckRatio, ui->RadioAll, ui->RadioBack, ui->RadioTrans}) {
    button->resize(std::max(button->width(), button->sizeHint().width()), button->height());
  }
  ColorModes->addButton(ui->RadioAll, static_cast<int>(ColorMode::DrawAll));
  ColorModes->addButton(ui->RadioBack, static_cast<int>(ColorMode::Background));
  ColorModes->addButton(ui->RadioTrans, static_cast<int>(ColorMode::Transparent));
  auto* widthKeys = new KeyPressFilter(ui->EditWidth);
  auto* heightKeys = new KeyPressFilter(ui->EditHeight);
  auto* colorKeys = new KeyPressFilter(ui->EditColor);

  // The four choices start as the form shows them and from here on follow
  // their controls, ahead of the handlers.
  Settings& s = ConversionSettings;
  s.KeepRatio = ui->CheckRatio->isChecked();
  s.ColorMode = static_cast<ColorMode>(ColorModes->checkedId());
  s.RectAdjust = static_cast<RectAdjust>(ui->RadioRect->ItemIndex());
  s.RectAction = static_cast<RectAction>(ui->RadioRect2->ItemIndex());
  connect(ui->CheckRatio, &QCheckBox::toggled, this,
          [](bool on) { ConversionSettings.KeepRatio = on; });
  connect(ColorModes, &QButtonGroup::idToggled, this, [](int id, bool checked) {
    if (checked) ConversionSettings.ColorMode = static_cast<ColorMode>(id);
  });
  connect(ui->RadioRect, &RadioGroup::IndexChanged, this,
          [](int index) { ConversionSettings.RectAdjust = static_cast<RectAdjust>(index); });
  connect(ui->RadioRect2, &RadioGroup::IndexChanged, this,
          [](int index) { ConversionSettings.RectAction = static_cast<RectAction>(index); });

  connect(ui->Button1, &QPushButton::clicked, this, Guarded(this, &TOptionForm::Button1Click));
  connect(ui->CancelButton, &QPushButton::clicked, this,
          Guarded(this, &TOptionForm::CancelButtonClick));
  connect(ui->CheckRatio, &QCheckBox::toggled, this, Guarded(this, &TOptionForm::CheckRatioClick));
  connect(ui->LabelWidth, &ClickLabel::Click, this, Guarded(this, &TOptionForm::LabelWidthClick));
  connect(ui->LabelHeight, &ClickLabel::Click, this, Guarded(this, &TOptionForm::LabelHeightClick));
  connect(ColorModes, &QButtonGroup::idToggled, this, [this](int, bool checked) {
    if (checked) Guarded(this, &TOptionForm::RadioAllClick)();
  });
  connect(ui->RadioRect, &RadioGroup::Click, this, Guarded(this, &TOptionForm::RadioRectClick));
  connect(ui->EditWidth, &QLineEdit::textChanged, this,
          Guarded(this, &TOptionForm::EditWidthChange));
  connect(ui->EditHeight, &QLineEdit::textChanged, this,
          Guarded(this, &TOptionForm::EditHeightChange));
  connect(ui->EditColor, &QLineEdit::textChanged, this,
          Guarded(this, &TOptionForm::EditColorChange));
  connect(widthKeys, &KeyPressFilter::KeyPress, this,
          Guarded(this, &TOptionForm::EditWidthKeyPress));
  connect(heightKeys, &KeyPressFilter::KeyPress, this,
          Guarded(this, &TOptionForm::EditWidthKeyPress));
  connect(colorKeys, &KeyPressFilter::KeyPress, this,
          Guarded(this, &TOptionForm::EditColorKeyPress));

  // Qt has no creation event. An error in it is shown and start-up goes on.
  Guarded(this, &TOptionForm::FormCreate)();
}

TOptionForm::~TOptionForm() = default;

void TOptionForm::setVisible(bool visible) {
  const bool opening = visible && !isVisible();
  if (opening) {
    // Centred on the screen at every showing, wherever it was left.
    const QRect frame = frameGeometry();
    move(screen()->geometry().center() - QPoint(frame.width() / 2, frame.height() / 2));
  }
  QDialog::setVisible(visible);
  // Activation follows the showing once per opening, with or without a
  // window manager to report it.
  if (opening && isVisible()) Guarded(this, &TOptionForm::FormActivate)();
}

void TOptionForm::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) Guarded(this, &TOptionForm::FormCreate)();
  QDialog::showEvent(event);
}

void TOptionForm::reject() { Guarded(this, &TOptionForm::CancelButtonClick)(); }

void TOptionForm::FormCreate() {
  const Settings& s = ConversionSettings;
  ui->EditWidth->setText(DecimalText(s.GraWidth));
  ui->EditHeight->setText(DecimalText(s.GraHeight));
  ui->EditColor->setText(HexadecimalText(s.KeyColor));
  EnableSizeEdits();
  EnableColorEdit();
  if (s.LaunchedWithRect) {
    ui->RadioRect2->setEnabled(true);
    ui->RadioRect->setEnabled(true);
    // Every showing applies the rectangle choice afresh.
    RadioRectClick();
  }
}

void TOptionForm::FormActivate() {
  OptionState& w = OptionFormState;
  ShowColor(w.WorkColor);
  w.SavedRectAdjust = ui->RadioRect->ItemIndex();
  w.SavedRectAction = ui->RadioRect2->ItemIndex();
  w.SavedColorMode = ColorModes->checkedId();
  w.SavedKeepRatio = ui->CheckRatio->isChecked();
}

void TOptionForm::Button1Click() {
  Settings& s = ConversionSettings;
  OptionState& w = OptionFormState;
  // A size of 0 is no drawing: the size stays as it was.
  if (w.WorkWidth != 0 && w.WorkHeight != 0) {
    s.GraWidth = w.WorkWidth;
    s.GraHeight = w.WorkHeight;
  }
  w.WorkColor = ReadColor(ui->EditColor, w.WorkColor);
  s.KeyColor = w.WorkColor;
  done(QDialog::Accepted);
}

void TOptionForm::CancelButtonClick() {
  const OptionState& w = OptionFormState;
  ui->RadioRect->SetItemIndex(w.SavedRectAdjust);
  ui->RadioRect2->SetItemIndex(w.SavedRectAction);
  ColorModes->button(w.SavedColorMode)->setChecked(true);
  ui->CheckRatio->setChecked(w.SavedKeepRatio);
  done(QDialog::Accepted);
}

void TOptionForm::CheckRatioClick() {
  EnableSizeEdits();
  // The height follows the width again, also when the height leads.
  if (ConversionSettings.KeepRatio) EditWidthChange();
}

void TOptionForm::LabelWidthClick() {
  OptionFormState.HeightLeads = false;
  CheckRatioClick();
}

void TOptionForm::LabelHeightClick() {
  OptionFormState.HeightLeads = true;
  CheckRatioClick();
}

void TOptionForm::RadioAllClick() { EnableColorEdit(); }

void TOptionForm::RadioRectClick() {
  const Settings& s = ConversionSettings;
  OptionState& w = OptionFormState;
  switch (ui->RadioRect->ItemIndex()) {
    case 0:  // Width
      ui->CheckRatio->setChecked(true);
      w.WorkWidth = s.RectWidth;
      ui->EditWidth->setText(DecimalText(w.WorkWidth));
      EditWidthChange();
      break;
    case 1:  // Height
      ui->CheckRatio->setChecked(true);
      w.WorkHeight = s.RectHeight;
      ui->EditHeight->setText(DecimalText(w.WorkHeight));
      EditHeightChange();
      break;
    case 2:  // Width and height
      ui->CheckRatio->setChecked(false);
      w.WorkHeight = s.RectHeight;
      ui->EditHeight->setText(DecimalText(w.WorkHeight));
      EditHeightChange();
      w.WorkWidth = s.RectWidth;
      ui->EditWidth->setText(DecimalText(w.WorkWidth));
      EditWidthChange();
      break;
    default:  // None
      break;
  }
}

void TOptionForm::EditWidthChange() {
  OptionState& w = OptionFormState;
  if (w.SizeUpdating) return;
  w.WorkWidth = ReadDecimal(ui->EditWidth, w.WorkWidth);
  const Bitmap* bitmap = RatioSource();
  if (!bitmap || !ConversionSettings.KeepRatio) return;
  w.WorkHeight = Proportion(bitmap->Height(), w.WorkWidth, bitmap->Width());
  const QScopedValueRollback<bool> updating(w.SizeUpdating, true);
  ui->EditHeight->setText(DecimalText(w.WorkHeight));
}

void TOptionForm::EditHeightChange() {
  OptionState& w = OptionFormState;
  if (w.SizeUpdating) return;
  w.WorkHeight = ReadDecimal(ui->EditHeight, w.WorkHeight);
  const Bitmap* bitmap = RatioSource();
  if (!bitmap || !ConversionSettings.KeepRatio) return;
  w.WorkWidth = Proportion(bitmap->Width(), w.WorkHeight, bitmap->Height());
  const QScopedValueRollback<bool> updating(w.SizeUpdating, true);
  ui->EditWidth->setText(DecimalText(w.WorkWidth));
}

void TOptionForm::EditColorChange() {
  OptionState& w = OptionFormState;
  w.WorkColor = ReadColor(ui->EditColor, w.WorkColor);
  ShowColor(w.WorkColor);
}

void TOptionForm::EditWidthKeyPress(char16_t& Key) {
  if (!IsDigit(Key) && !IsControlCode(Key)) {
    Key = 0;
    return;
  }
  // Typing a size of one's own leaves the rectangle's sides alone.
  ui->RadioRect->SetItemIndex(static_cast<int>(RectAdjust::None));
}

void TOptionForm::EditColorKeyPress(char16_t& Key) {
  if (!IsHexDigit(Key) && !IsControlCode(Key)) Key = 0;
}

// With the ratio kept only the leading size can be typed into.
void TOptionForm::EnableSizeEdits() {
  const bool keep = ConversionSettings.KeepRatio;
  const bool heightLeads = OptionFormState.HeightLeads;
  ui->EditWidth->setEnabled(!keep || !heightLeads);
  ui->EditHeight->setEnabled(!keep || heightLeads);
}

// Drawing all colours needs no key colour.
void TOptionForm::EnableColorEdit() {
  const bool needed = !ui->RadioAll->isChecked();
  ui->LabelColor->setEnabled(needed);
  ui->EditColor->setEnabled(needed);
}

void TOptionForm::ShowColor(ColorRef color) {
  QPalette palette = ui->ColorPanel->palette();
  palette.setColor(QPalette::Window, QColor(RedOf(color), GreenOf(color), BlueOf(color)));
  ui->ColorPanel->setPalette(palette);
}

}  // namespace rastrel
