#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace rastrel {

// A group box of radio buttons, one per item, whose value is the index of
// the selected item. A new index is clamped into -1 .. item count - 1, where
// -1 selects none. Every change of the index reports IndexChanged; a change
// to an item, by the program or by a click, then also reports Click. Setting
// the current index does nothing.
class RadioGroup : public QGroupBox {
  Q_OBJECT
  // Set from form descriptions, items first.
  Q_PROPERTY(QStringList Items READ Items WRITE SetItems)
  Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)

 public:
  explicit RadioGroup(QWidget* parent = nullptr);

  QStringList Items() const;
  void SetItems(const QStringList& items);
  int ItemIndex() const { return index_; }
  void SetItemIndex(int index);
  QRadioButton* ItemButton(int index) const;

 signals:
  void IndexChanged(int index);
  void Click();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void ArrangeButtons();
  void ButtonToggled(int id, bool checked);

  QButtonGroup* buttons_;
  int index_ = -1;
};

}  // namespace rastrel
