#include "ui/radio_group.h"

#include <QButtonGroup>
#include <QEvent>
#include <QRadioButton>
#include <algorithm>

namespace rastrel {

RadioGroup::RadioGroup(QWidget* parent) : QGroupBox(parent), buttons_(new QButtonGroup(this)) {
  connect(buttons_, &QButtonGroup::idToggled, this, &RadioGroup::ButtonToggled);
}

QStringList RadioGroup::Items() const {
  QStringList items;
  for (QAbstractButton* button : buttons_->buttons()) items << button->text();
  return items;
}

void RadioGroup::SetItems(const QStringList& items) {
  const int kept = index_ < items.size() ? index_ : -1;
  index_ = -1;
  for (QAbstractButton* button : buttons_->buttons()) delete button;
  for (int i = 0; i < items.size(); ++i) buttons_->addButton(new QRadioButton(items[i], this), i);
  ArrangeButtons();
  if (kept >= 0) {
    const QSignalBlocker quiet(buttons_);
    buttons_->button(kept)->setChecked(true);
    index_ = kept;
  }
}

void RadioGroup::SetItemIndex(int index) {
  index = std::clamp(index, -1, static_cast<int>(buttons_->buttons().size()) - 1);
  if (index == index_) return;
  if (index >= 0) {
    buttons_->button(index)->setChecked(true);  // reported by ButtonToggled
    return;
  }
  // An exclusive group keeps one button checked, so it lets go for a moment.
  buttons_->setExclusive(false);
  buttons_->button(index_)->setChecked(false);
  buttons_->setExclusive(true);
  index_ = -1;
  emit IndexChanged(index_);
}

QRadioButton* RadioGroup::ItemButton(int index) const {
  return static_cast<QRadioButton*>(buttons_->button(index));
}

void RadioGroup::ButtonToggled(int id, bool checked) {
  if (!checked) return;
  index_ = id;
  emit IndexChanged(index_);
  emit Click();
}

void RadioGroup::resizeEvent(QResizeEvent* event) {
  QGroupBox::resizeEvent(event);
  ArrangeButtons();
}

void RadioGroup::changeEvent(QEvent* event) {
  QGroupBox::changeEvent(event);
  if (event->type() == QEvent::FontChange) ArrangeButtons();
}

// One column of equal rows below the caption, as the form's radio groups were
// drawn: 8 pixels in, the caption's text height and a pixel above the first.
void RadioGroup::ArrangeButtons() {
  const QList<QAbstractButton*> buttons = buttons_->buttons();
  if (buttons.isEmpty()) return;
  const int count = static_cast<int>(buttons.size());
  const int textHeight = fontMetrics().height();
  const int space = height() - textHeight - 5;
  const int rowHeight = space / count;
  const int top = textHeight + 1 + (space % count) / 2;
  for (int i = 0; i < count; ++i) {
    buttons_->button(i)->setGeometry(8, top + i * rowHeight, width() - 10, rowHeight);
  }
}

}  // namespace rastrel
