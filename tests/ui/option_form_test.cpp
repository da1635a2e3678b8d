// The options dialog as Option > Setup shows it, driven with keys typed into
// its edits, clicks on its buttons and labels, and pastes.
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include "core/conversion_settings.h"
#include "core/launch_arguments.h"
#include "tests/ui/window_test_support.h"
#include "ui/forms.h"
#include "ui/main_form.h"
#include "ui/option_form.h"
#include "ui/radio_group.h"

namespace rastrel::testing {
namespace {

constexpr ColorRef kRed = 0x0000FF;
constexpr ColorRef kBlue = 0xFF0000;

// The open dialog, as the steps of a test see it.
class Dialog {
 public:
  explicit Dialog(QWidget* window) : form_(window) {}

  template <typename T = QWidget>
  T* Find(const char* name) const {
    T* found = form_->findChild<T*>(QString::fromLatin1(name));
    if (!found) qFatal("no %s", name);
    return found;
  }
  QLineEdit* Edit(const char* name) const { return Find<QLineEdit>(name); }
  QString Text(const char* edit) const { return Edit(edit)->text(); }
  bool Enabled(const char* name) const { return Find(name)->isEnabled(); }
  RadioGroup* Group(const char* name) const { return Find<RadioGroup>(name); }

  // Selects the whole text with keys that type nothing, then types `text`.
  void Retype(const char* edit, const QString& text) const {
    QLineEdit* box = Edit(edit);
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClick(box, Qt::Key_Home, Qt::ShiftModifier);
    QTest::keyClicks(box, text);
  }
  void Type(const char* edit, const QString& text) const { QTest::keyClicks(Edit(edit), text); }
  void Press(const char* edit, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) const {
    QTest::keyClick(Edit(edit), key, modifiers);
  }
  // Replaces the whole text by `text` from the clipboard, with Ctrl+V.
  void Paste(const char* edit, const QString& text) const {
    QGuiApplication::clipboard()->setText(text);
    Edit(edit)->selectAll();
    Press(edit, Qt::Key_V, Qt::ControlModifier);
  }
  void Click(const char* name) const { QTest::mouseClick(Find(name), Qt::LeftButton); }
  // Clicks on the item's caption.
  void ChooseItem(const char* group, int index) const {
    QRadioButton* item = Group(group)->ItemButton(index);
    QTest::mouseClick(item, Qt::LeftButton, {}, QPoint(24, item->height() / 2));
  }
  void Ok() const { Click("Button1"); }
  void Cancel() const { Click("CancelButton"); }

  // The swatch's colour, read off the screen in its middle.
  ColorRef Swatch() const {
    QWidget* panel = Find("ColorPanel");
    const QColor c = panel->grab().toImage().pixelColor(panel->rect().center());
    return MakeColorRef(c.red(), c.green(), c.blue());
  }

  QWidget* Window() const { return form_; }

 private:
  QWidget* form_;
};

using Steps = std::function<void(const Dialog&)>;

struct Sizes {
  std::int32_t width, height;
  friend bool operator==(const Sizes&, const Sizes&) = default;
};
char* toString(const Sizes& s) {
  return QTest::toString(QStringLiteral("%1 x %2").arg(s.width).arg(s.height));
}

Sizes GraSize() { return {ConversionSettings.GraWidth, ConversionSettings.GraHeight}; }

// A launch with the rectangle 8000 x 3000 at (100, 200).
const std::vector<std::string> kLaunched = {"rastrel", "100", "8100", "200", "3200", "merge.ngp"};

}  // namespace

class OptionFormTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { dir_ = std::make_unique<QTemporaryDir>(); }
  void cleanup() { DestroyForms(); }

  void layoutFollowsTheFormDescription();
  void createdHiddenWithTheDefaults_data();
  void createdHiddenWithTheDefaults();
  void workedExampleStepByStep_data();
  void workedExampleStepByStep();
  void editCases_data();
  void editCases();
  void keyFiltersActOnTypedCharactersOnly_data();
  void keyFiltersActOnTypedCharactersOnly();
  void enterAndEscape_data();
  void enterAndEscape();
  void cancelRestoresTheChoicesOfTheLatestOpening();
  void launchedWidthIsAppliedAtEveryShowingUntilASizeIsTyped();
  void colourPickedInTheMainWindowShowsAtTheNextOpening();
  void sizesBeyondThe32BitRangeAreClamped();
  void radioGroupClampsItsIndexAndReportsChanges();

 private:
  // Opens a width x height bitmap, blue with a red pixel at (1, 1), with File > Open.
  void OpenBitmap(int width, int height) {
    const QString path = dir_->filePath(QStringLiteral("%1x%2.bmp").arg(width).arg(height));
    WriteBytes(path, PaletteBitmap(width, height, {kBlue, kRed},
                                   [](int x, int y) { return x == 1 && y == 1 ? 1 : 0; }));
    ModalAnswers answers;
    answers.Then(ChooseFile(path));
    ChooseMainMenuItem("File1", "Open1");
    QVERIFY(answers.AllGiven());
    QCOMPARE(answers.Unanswered(), 0);
  }

  // Shows the dialog with Option > Setup and runs `steps` in it; the steps
  // must close it.
  void Setup(const Steps& steps) {
    bool ran = false;
    ModalAnswers answers;
    answers.Then([&](QWidget* window) {
      QCOMPARE(window, static_cast<QWidget*>(OptionForm));
      ran = true;
      steps(Dialog(window));
    });
    ChooseMainMenuItem("Option1", "Setup1");
    QVERIFY(ran);
    QCOMPARE(answers.Unanswered(), 0);
    QVERIFY(!OptionForm->isVisible());
  }

  std::unique_ptr<QTemporaryDir> dir_;
};

void OptionFormTest::layoutFollowsTheFormDescription() {
  StartWindows({"rastrel"});
  OpenBitmap(4, 3);
  Setup([](const Dialog& d) {
    QWidget* window = d.Window();
    QCOMPARE(window->windowTitle(), QStringLiteral("Options"));
    QCOMPARE(window->size(), QSize(354, 245));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    QVERIFY(!(window->windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(!(window->windowFlags() & Qt::WindowMinMaxButtonsHint));
    // Centred on the screen, not at the form description's place.
    const QPoint centre = window->screen()->geometry().center();
    const QPoint middle = window->frameGeometry().center();
    QVERIFY2((middle - centre).manhattanLength() <= 4,
             qPrintable(QStringLiteral("centre %1,%2 of %3,%4")
                            .arg(middle.x())
                            .arg(middle.y())
                            .arg(centre.x())
                            .arg(centre.y())));

    struct Component {
      const char* name;
      QRect geometry;
      QString caption;
    };
    const Component components[] = {
        {"Panel1", {0, 212, 354, 33}, {}},
        {"CancelButton", {272, 0, 75, 25}, "&Calcel"},
        {"Button1", {176, 0, 75, 25}, "&OK"},
        {"Panel2", {0, 0, 354, 212}, {}},
        {"GroupBox1", {8, 8, 177, 97}, "GRA Size"},
        {"LabelWidth", {8, 22, 28, 12}, "&Width"},
        {"LabelHeight", {8, 50, 33, 12}, "&Height"},
        {"EditWidth", {48, 16, 89, 20}, {}},
        {"EditHeight", {48, 44, 89, 20}, {}},
        {"CheckRatio", {8, 72, 137, 17}, "&Preserve aspect ratio"},
        {"GroupBox2", {8, 112, 177, 89}, "Color"},
        {"LabelColor", {104, 13, 48, 12}, "&Set Color"},
        {"RadioAll", {8, 16, 73, 17}, "&Draw All"},
        {"RadioBack", {8, 40, 81, 17}, "&Background"},
        {"RadioTrans", {8, 64, 89, 17}, "&Transparent"},
        {"EditColor", {104, 32, 57, 21}, {}},
        {"ColorPanel", {104, 64, 57, 17}, {}},
        {"RadioRect", {192, 8, 153, 97}, "&Adjust Rectangle"},
        {"RadioRect2", {192, 112, 153, 89}, "&Rectangle"},
    };
    for (const Component& c : components) {
      QWidget* widget = d.Find(c.name);
      if (qobject_cast<QLabel*>(widget) || qobject_cast<QCheckBox*>(widget) ||
          qobject_cast<QRadioButton*>(widget)) {
        // Captions keep their place and get the room the stand-in face needs.
        QCOMPARE(widget->pos(), c.geometry.topLeft());
        QCOMPARE(widget->width(), std::max(c.geometry.width(), widget->sizeHint().width()));
        QVERIFY(widget->height() >= c.geometry.height());
      } else {
        QCOMPARE(widget->geometry(), c.geometry);
      }
      QString caption;
      if (auto* button = qobject_cast<QAbstractButton*>(widget)) caption = button->text();
      if (auto* label = qobject_cast<QLabel*>(widget)) caption = label->text();
      if (auto* group = qobject_cast<QGroupBox*>(widget)) caption = group->title();
      QCOMPARE(caption, c.caption);
    }
    // Nothing overlaps, and everything lies inside its parent.
    for (QWidget* parent : window->findChildren<QWidget*>()) {
      const QList<QWidget*> children = parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
      for (int i = 0; i < children.size(); ++i) {
        if (!children[i]->isVisible()) continue;
        QVERIFY2(parent->rect().contains(children[i]->geometry()),
                 qPrintable(children[i]->objectName()));
        for (int j = i + 1; j < children.size(); ++j) {
          if (!children[j]->isVisible()) continue;
          QVERIFY2(!children[i]->geometry().intersects(children[j]->geometry()),
                   qPrintable(children[i]->objectName() + " / " + children[j]->objectName()));
        }
      }
    }
    QCOMPARE(d.Find<QWidget>("CancelButton")->parentWidget(), d.Find("Panel1"));
    QCOMPARE(d.Find<QWidget>("RadioTrans")->parentWidget(), d.Find("GroupBox2"));
    QCOMPARE(d.Group("RadioRect")->Items(),
             QStringList({"Width", "Height", "Wdth&&Height", "None"}));
    QCOMPARE(d.Group("RadioRect2")->Items(), QStringList({"Adjust", "Delete", "None"}));
    // The items in one column of equal rows inside the group, below its caption.
    for (const char* name : {"RadioRect", "RadioRect2"}) {
      RadioGroup* group = d.Group(name);
      for (int i = 0; i < group->Items().size(); ++i) {
        const QRect item = group->ItemButton(i)->geometry();
        QVERIFY(group->rect().contains(item));
        QCOMPARE(item.left(), 8);
        QVERIFY(item.top() > group->fontMetrics().height());
        if (i > 0) QCOMPARE(item.top(), group->ItemButton(i - 1)->geometry().bottom() + 1);
      }
    }
    QCOMPARE(d.Edit("EditWidth")->maxLength(), 10);
    QCOMPARE(d.Edit("EditHeight")->maxLength(), 10);
    QCOMPARE(d.Edit("EditColor")->maxLength(), 6);
    QCOMPARE(d.Find<QLabel>("LabelWidth")->buddy(), d.Find("EditWidth"));
    QCOMPARE(d.Find<QLabel>("LabelHeight")->buddy(), d.Find("EditHeight"));
    QCOMPARE(d.Find<QLabel>("LabelColor")->buddy(), d.Find("EditColor"));
    QVERIFY(d.Find<QPushButton>("Button1")->isDefault());
    // The focus starts on OK, so that Enter at once is OK.
    QTRY_COMPARE(QApplication::focusWidget(), d.Find("Button1"));

    // The faces stand in for the form's, at the form's pixel sizes.
    QCOMPARE(window->font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
    QCOMPARE(QFontInfo(d.Find("CheckRatio")->font()).family(), QStringLiteral("IPAPGothic"));
    QCOMPARE(QFontInfo(d.Find("CheckRatio")->font()).pixelSize(), 12);
    const QFont colorFace = d.Find("EditColor")->font();
    QCOMPARE(colorFace.family(), QStringLiteral("Terminal"));
    QCOMPARE(QFontInfo(colorFace).family(), QStringLiteral("IPAGothic"));
    QCOMPARE(QFontInfo(colorFace).pixelSize(), 13);
    QCOMPARE(d.Find("EditColor")->palette().color(QPalette::Text), QColor(Qt::black));

    // Tab goes through the controls in the form's order.
    QStringList chain;
    QWidget* w = d.Find("CancelButton");
    do {
      if (w->focusPolicy() & Qt::TabFocus) {
        chain << (w->objectName().isEmpty() ? qobject_cast<QAbstractButton*>(w)->text()
                                            : w->objectName());
      }
      w = w->nextInFocusChain();
    } while (w != d.Find("CancelButton"));
    QCOMPARE(chain, QStringList({"CancelButton", "Button1", "EditWidth", "EditHeight", "CheckRatio",
                                 "RadioAll", "RadioBack", "RadioTrans", "EditColor", "Width",
                                 "Height", "Wdth&&Height", "None", "Adjust", "Delete", "None"}));
    d.Cancel();
  });
}

void OptionFormTest::createdHiddenWithTheDefaults_data() {
  QTest::addColumn<bool>("launched");
  QTest::newRow("stand-alone") << false;
  QTest::newRow("launched") << true;
}

void OptionFormTest::createdHiddenWithTheDefaults() {
  QFETCH(bool, launched);
  StartWindows(launched ? kLaunched : std::vector<std::string>{"rastrel"});
  QVERIFY(!OptionForm->isVisible());
  const Dialog d(OptionForm);
  QCOMPARE(d.Text("EditWidth"), launched ? QStringLiteral("8000") : QStringLiteral("10000"));
  QCOMPARE(d.Text("EditHeight"), QStringLiteral("10000"));
  QCOMPARE(d.Text("EditColor"), QStringLiteral("ffffff"));
  QCOMPARE(OptionFormState.WorkWidth, launched ? 8000 : 10000);
  QVERIFY(d.Enabled("EditWidth"));
  QVERIFY(!d.Enabled("EditHeight"));
  QVERIFY(d.Enabled("EditColor"));
  QVERIFY(d.Enabled("LabelColor"));
  QCOMPARE(d.Enabled("RadioRect"), launched);
  QCOMPARE(d.Enabled("RadioRect2"), launched);
  QVERIFY(d.Find<QCheckBox>("CheckRatio")->isChecked());
  QVERIFY(d.Find<QRadioButton>("RadioTrans")->isChecked());
  QCOMPARE(d.Group("RadioRect")->ItemIndex(), 0);
  QCOMPARE(d.Group("RadioRect2")->ItemIndex(), 1);
  // The settings start as the controls show them.
  const Settings& s = ConversionSettings;
  QCOMPARE(s.ColorMode, ColorMode::Transparent);
  QCOMPARE(s.RectAdjust, RectAdjust::Width);
  QCOMPARE(s.RectAction, RectAction::Delete);
  QVERIFY(s.KeepRatio);
  QCOMPARE(GraSize(), (Sizes{10000, 10000}));
}

void OptionFormTest::workedExampleStepByStep_data() {
  QTest::addColumn<bool>("ok");
  QTest::newRow("OK") << true;
  QTest::newRow("Cancel") << false;
}

void OptionFormTest::workedExampleStepByStep() {
  QFETCH(bool, ok);
  StartWindows({"rastrel"});
  OpenBitmap(400, 300);
  QCOMPARE(GraSize(), (Sizes{20000, 15000}));
  Setup([ok](const Dialog& d) {
    QCOMPARE(d.Text("EditWidth"), QStringLiteral("20000"));
    QCOMPARE(d.Text("EditHeight"), QStringLiteral("15000"));
    QVERIFY(d.Enabled("EditWidth"));
    QVERIFY(!d.Enabled("EditHeight"));
    d.Retype("EditWidth", {});
    const std::pair<QString, QString> steps[] = {
        {"1", "0"}, {"10", "7"}, {"100", "75"}, {"1000", "750"}, {"10000", "7500"}};
    for (const auto& [width, height] : steps) {
      d.Type("EditWidth", width.right(1));
      QCOMPARE(d.Text("EditWidth"), width);
      QCOMPARE(d.Text("EditHeight"), height);
      QCOMPARE(ConversionSettings.RectAdjust, RectAdjust::None);
      QCOMPARE(d.Group("RadioRect")->ItemIndex(), 3);
    }
    QCOMPARE(GraSize(), (Sizes{20000, 15000}));  // nothing is committed before OK
    ok ? d.Ok() : d.Cancel();
  });
  QCOMPARE(GraSize(), (ok ? Sizes{10000, 7500} : Sizes{20000, 15000}));
  QCOMPARE(ConversionSettings.RectAdjust, ok ? RectAdjust::None : RectAdjust::Width);
  QCOMPARE(ConversionSettings.KeyColor, 0xFFFFFFu);
}

// Each case opens a bitmap, runs its steps in the dialog (ending with OK
// unless they close it themselves), then checks the committed settings.
struct EditCase {
  const char* name;
  std::vector<std::string> arguments;
  int width, height;  // of the bitmap
  Steps steps;
  Sizes committed;
  ColorRef key = 0xFFFFFF;
};

const std::vector<EditCase>& EditCases() {
  static const std::vector<EditCase> cases = {
      {"backspace to empty keeps the last width",
       {"rastrel"},
       400,
       300,
       [](const Dialog& d) {
         d.Press("EditWidth", Qt::Key_End);
         for (int i = 0; i < 4; ++i) d.Press("EditWidth", Qt::Key_Backspace);
         QCOMPARE(d.Text("EditWidth"), QStringLiteral("2"));
         QCOMPARE(d.Text("EditHeight"), QStringLiteral("1"));
         d.Press("EditWidth", Qt::Key_Backspace);
         QCOMPARE(d.Text("EditWidth"), QString());
         QCOMPARE(d.Text("EditHeight"), QStringLiteral("1"));
         QCOMPARE(ConversionSettings.RectAdjust, RectAdjust::None);
         d.Ok();
       },
       {2, 1}},
      {"a width of 0 commits no size but the colour",
       {"rastrel"},
       400,
       300,
       [](const Dialog& d) {
         d.Retype("EditWidth", "0");
         QCOMPARE(d.Text("EditHeight"), QStringLiteral("0"));
         d.Retype("EditColor", "ff");
         d.Ok();
       },
       {20000, 15000},
       kRed},
      {"ratio off, width 0 and height 5000",
       {"rastrel"},
       400,
       300,
       [](const Dialog& d) {
         d.Click("CheckRatio");
         QVERIFY(!ConversionSettings.KeepRatio);
         QVERIFY(d.Enabled("EditWidth") && d.Enabled("EditHeight"));
         d.Retype("EditWidth", "0");
         d.Retype("EditHeight", "5000");
         QCOMPARE(d.Text("EditWidth"), QStringLiteral("0"));
         d.Ok();
       },
       {20000, 15000}},
      {"pasted 12abc reads 12",
       {"rastrel"},
       400,
       300,
       [](const Dialog& d) {
         d.Paste("EditWidth", "12abc");
         QCOMPARE(d.Text("EditWidth"), QStringLiteral("12abc"));
         QCOMPARE(d.Text("EditHeight"), QStringLiteral("9"));
         d.Ok();
       },
       {12, 9}},
      {"pasted letters keep the width",
       {"rastrel"},
       400,
       300,
       [](const Dialog& d) {
         d.Paste("EditWidth", "abc");
         QCOMPARE(d.Text("EditWidth"), QStringLiteral("abc"));
         QCOMPARE(d.Text("EditHeight"), QStringLiteral("15000"));
         d.Ok();
       },
       {20000, 15000}},
      {"pasted -5 is committed",
       {"rastrel"},
       400,
       300,
       [](const Dialog& d) {
         d.Paste("EditWidth", "-5");
         QCOMPARE(d.Text("EditHeight"), QStringLiteral("-3"));  // toward zero
         d.Ok();
       },
       {-5, -3}},
      {"a paste longer than the limit is cut to it",
       {"rastrel"},
       400,
       300,
       [](const Dialog& d) {
         d.Paste("EditWidth", "123456789012");
         QCOMPARE(d.Text("EditWidth"), QStringLiteral("1234567890"));
         d.Ok();
       },
       {1234567890, 925925917}},
      {"3 x 2 width truncates the height",
       {"rastrel"},
       3,
       2,
       [](const Dialog& d) {
         d.Retype("EditWidth", "10000");
         QCOMPARE(d.Text("EditHeight"), QStringLiteral("6666"));
         d.Ok();
       },
       {10000, 6666}},
      {"3 x 2 height leading truncates the width",
       {"rastrel"},
       3,
       2,
       [](const Dialog& d) {
         d.Click("LabelHeight");
         QVERIFY(!d.Enabled("EditWidth"));
         QVERIFY(d.Enabled("EditHeight"));
         d.Retype("EditHeight", "6666");
         QCOMPARE(d.Text("EditWidth"), QStringLiteral("9999"));
         d.Ok();
       },
       {9999, 6666}},
      {"label clicks choose the typed size",
       {"rastrel"},
       400,
       300,
       [](const Dialog& d) {
         d.Click("LabelHeight");
         QVERIFY(!d.Enabled("EditWidth") && d.Enabled("EditHeight"));
         d.Click("LabelWidth");
         QVERIFY(d.Enabled("EditWidth") && !d.Enabled("EditHeight"));
         // Without the ratio both can be typed into, whichever label was clicked.
         d.Click("CheckRatio");
         d.Click("LabelHeight");
         QVERIFY(d.Enabled("EditWidth") && d.Enabled("EditHeight"));
         d.Retype("EditWidth", "1000");
         QCOMPARE(d.Text("EditHeight"), QStringLiteral("15000"));
         // The ratio back on with the height leading: the height follows the width.
         d.Click("CheckRatio");
         QVERIFY(!d.Enabled("EditWidth") && d.Enabled("EditHeight"));
         QCOMPARE(d.Text("EditHeight"), QStringLiteral("750"));
         d.Ok();
       },
       {1000, 750}},
      {"colour ff is red",
       {"rastrel"},
       4,
       3,
       [](const Dialog& d) {
         d.Retype("EditColor", "ff");
         QCOMPARE(d.Swatch(), kRed);
         d.Ok();
       },
       {200, 150},
       kRed},
      {"colour FF reads the same",
       {"rastrel"},
       4,
       3,
       [](const Dialog& d) {
         d.Retype("EditColor", "FF");
         QCOMPARE(d.Swatch(), kRed);
         d.Ok();
       },
       {200, 150},
       kRed},
      {"colour ff0000 is blue",
       {"rastrel"},
       4,
       3,
       [](const Dialog& d) {
         d.Retype("EditColor", "ff0000");
         QCOMPARE(d.Swatch(), kBlue);
         d.Ok();
       },
       {200, 150},
       kBlue},
      {"a pasted sign keeps the colour to 24 bits",
       {"rastrel"},
       4,
       3,
       [](const Dialog& d) {
         d.Paste("EditColor", "-ff");
         QCOMPARE(d.Swatch(), ColorRef{0xFFFF01});
         d.Ok();
       },
       {200, 150},
       0xFFFF01},
      {"Draw All disables the colour edit, OK still reads it",
       {"rastrel"},
       4,
       3,
       [](const Dialog& d) {
         d.Retype("EditColor", "ff");
         d.Click("RadioAll");
         QCOMPARE(ConversionSettings.ColorMode, ColorMode::DrawAll);
         QVERIFY(!d.Enabled("EditColor") && !d.Enabled("LabelColor"));
         d.Click("RadioBack");
         QCOMPARE(ConversionSettings.ColorMode, ColorMode::Background);
         QVERIFY(d.Enabled("EditColor") && d.Enabled("LabelColor"));
         d.Click("RadioAll");
         d.Ok();
       },
       {200, 150},
       kRed},
      {"Escape commits nothing",
       {"rastrel"},
       400,
       300,
       [](const Dialog& d) {
         d.Retype("EditWidth", "40");
         d.Retype("EditColor", "0");
         QTest::keyClick(d.Window(), Qt::Key_Escape);
       },
       {20000, 15000}},
      {"launched Width shows the rectangle's width",
       kLaunched,
       400,
       300,
       [](const Dialog& d) {
         QCOMPARE(d.Text("EditWidth"), QStringLiteral("8000"));
         QCOMPARE(d.Text("EditHeight"), QStringLiteral("6000"));
         d.Retype("EditWidth", "4000");
         QCOMPARE(d.Text("EditHeight"), QStringLiteral("3000"));
         QCOMPARE(d.Group("RadioRect")->ItemIndex(), 3);
         d.Ok();
       },
       {4000, 3000}},
      {"launched Wdth&&Height takes both sides",
       kLaunched,
       400,
       300,
       [](const Dialog& d) {
         d.ChooseItem("RadioRect", 2);
         QCOMPARE(ConversionSettings.RectAdjust, RectAdjust::WidthAndHeight);
         QVERIFY(!ConversionSettings.KeepRatio);
         QVERIFY(!d.Find<QCheckBox>("CheckRatio")->isChecked());
         QVERIFY(d.Enabled("EditWidth") && d.Enabled("EditHeight"));
         QCOMPARE(d.Text("EditWidth"), QStringLiteral("8000"));
         QCOMPARE(d.Text("EditHeight"), QStringLiteral("3000"));
         d.ChooseItem("RadioRect2", 0);
         QCOMPARE(ConversionSettings.RectAction, RectAction::Adjust);
         d.Ok();
       },
       {8000, 3000}},
      {"launched Height: the width follows, its edit stays enabled",
       kLaunched,
       400,
       300,
       [](const Dialog& d) {
         d.ChooseItem("RadioRect", 1);
         QVERIFY(ConversionSettings.KeepRatio);
         QCOMPARE(d.Text("EditHeight"), QStringLiteral("3000"));
         QCOMPARE(d.Text("EditWidth"), QStringLiteral("4000"));
         QVERIFY(d.Enabled("EditWidth") && !d.Enabled("EditHeight"));
         d.Ok();
       },
       {4000, 3000}},
  };
  return cases;
}

void OptionFormTest::editCases_data() {
  QTest::addColumn<int>("index");
  for (int i = 0; i < static_cast<int>(EditCases().size()); ++i) {
    QTest::newRow(EditCases()[i].name) << i;
  }
}

void OptionFormTest::editCases() {
  QFETCH(int, index);
  const EditCase& c = EditCases()[index];
  StartWindows(c.arguments);
  OpenBitmap(c.width, c.height);
  Setup(c.steps);
  QCOMPARE(GraSize(), c.committed);
  QCOMPARE(ConversionSettings.KeyColor, c.key);
  // The next showing writes back what was committed, the colour in lower case.
  const ColorRef key = c.key;
  Setup([key](const Dialog& d) {
    QCOMPARE(d.Text("EditColor"), QString::number(key, 16));
    QCOMPARE(d.Swatch(), key);
    d.Cancel();
  });
}

void OptionFormTest::keyFiltersActOnTypedCharactersOnly_data() {
  QTest::addColumn<QString>("edit");
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("shown");
  QTest::newRow("size: digits only") << "EditWidth"
                                     << "1a2 -3+"
                                     << "123";
  QTest::newRow("height too") << "EditHeight"
                              << "4x5"
                              << "45";
  QTest::newRow("colour: hexadecimal digits") << "EditColor"
                                              << "fgG1-A x"
                                              << "f1A";
}

void OptionFormTest::keyFiltersActOnTypedCharactersOnly() {
  QFETCH(QString, edit);
  QFETCH(QString, typed);
  QFETCH(QString, shown);
  StartWindows({"rastrel"});
  OpenBitmap(4, 3);
  const QByteArray name = edit.toLatin1();
  Setup([&](const Dialog& d) {
    d.Click("CheckRatio");  // both size edits can be typed into
    d.Retype(name, typed);
    // A letter beyond ASCII, as a keyboard layout types it.
    QKeyEvent letter(QEvent::KeyPress, Qt::Key_Eacute, {}, QStringLiteral("é"));
    QApplication::sendEvent(d.Edit(name), &letter);
    QCOMPARE(d.Text(name), shown);
    d.Cancel();
  });
  // Keys that type nothing leave the rectangle choice alone, as does a
  // filtered character; a character that passes the size filter sets it to
  // None, also where the group is disabled.
  const bool sizeEdit = name != "EditColor";
  Setup([&](const Dialog& d) {
    d.Click("CheckRatio");
    QCOMPARE(ConversionSettings.RectAdjust, RectAdjust::Width);
    d.Press(name, Qt::Key_Left);
    d.Press(name, Qt::Key_Delete);
    d.Type(name, "z");
    QCOMPARE(ConversionSettings.RectAdjust, RectAdjust::Width);
    d.Press(name, Qt::Key_Backspace);
    QCOMPARE(ConversionSettings.RectAdjust, sizeEdit ? RectAdjust::None : RectAdjust::Width);
    d.Cancel();
  });
  QCOMPARE(ConversionSettings.RectAdjust, RectAdjust::Width);

  // Ctrl+V passes as the control code 22 and pastes unfiltered; so does text
  // from an input method.
  Setup([&](const Dialog& d) {
    d.Click("CheckRatio");
    d.Paste(name, "9z");
    QCOMPARE(d.Text(name), QStringLiteral("9z"));
    QCOMPARE(ConversionSettings.RectAdjust, sizeEdit ? RectAdjust::None : RectAdjust::Width);
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("q"));
    QApplication::sendEvent(d.Edit(name), &composed);
    QCOMPARE(d.Text(name), QStringLiteral("9zq"));
    d.Cancel();
  });
}

void OptionFormTest::enterAndEscape_data() {
  QTest::addColumn<QString>("focus");
  QTest::addColumn<int>("key");
  QTest::addColumn<bool>("commits");
  QTest::newRow("Enter in an edit is OK") << "EditWidth" << int(Qt::Key_Return) << true;
  QTest::newRow("keypad Enter on the check box is OK")
      << "CheckRatio" << int(Qt::Key_Enter) << true;
  QTest::newRow("Enter on Cancel is Cancel") << "CancelButton" << int(Qt::Key_Return) << false;
  QTest::newRow("Escape is Cancel") << "EditWidth" << int(Qt::Key_Escape) << false;
}

void OptionFormTest::enterAndEscape() {
  QFETCH(QString, focus);
  QFETCH(int, key);
  QFETCH(bool, commits);
  StartWindows({"rastrel"});
  OpenBitmap(400, 300);
  Setup([&](const Dialog& d) {
    d.Retype("EditWidth", "40");
    d.Click("RadioBack");
    QWidget* target = d.Find(focus.toLatin1());
    target->setFocus();
    QTRY_VERIFY(target->hasFocus());
    QTest::keyClick(target, static_cast<Qt::Key>(key));
  });
  QCOMPARE(GraSize(), (commits ? Sizes{40, 30} : Sizes{20000, 15000}));
  QCOMPARE(ConversionSettings.ColorMode, commits ? ColorMode::Background : ColorMode::Transparent);
  QCOMPARE(ConversionSettings.RectAdjust, commits ? RectAdjust::None : RectAdjust::Width);
}

void OptionFormTest::cancelRestoresTheChoicesOfTheLatestOpening() {
  StartWindows(kLaunched);
  OpenBitmap(400, 300);
  Setup([](const Dialog& d) {
    d.Click("RadioBack");
    d.ChooseItem("RadioRect2", 2);
    d.ChooseItem("RadioRect", 3);
    d.Ok();
  });
  Setup([](const Dialog& d) {
    d.Click("RadioAll");
    d.ChooseItem("RadioRect2", 0);
    d.ChooseItem("RadioRect", 2);  // turns the ratio off
    QVERIFY(!ConversionSettings.KeepRatio);
    d.Cancel();
  });
  const Settings& s = ConversionSettings;
  QCOMPARE(s.ColorMode, ColorMode::Background);
  QCOMPARE(s.RectAction, RectAction::None);
  QCOMPARE(s.RectAdjust, RectAdjust::None);
  QVERIFY(s.KeepRatio);
  Setup([](const Dialog& d) {
    QVERIFY(d.Find<QRadioButton>("RadioBack")->isChecked());
    QCOMPARE(d.Group("RadioRect2")->ItemIndex(), 2);
    QCOMPARE(d.Group("RadioRect")->ItemIndex(), 3);
    QVERIFY(d.Find<QCheckBox>("CheckRatio")->isChecked());
    d.Cancel();
  });
}

void OptionFormTest::launchedWidthIsAppliedAtEveryShowingUntilASizeIsTyped() {
  StartWindows(kLaunched);
  OpenBitmap(400, 300);
  // Without a typed size every showing puts the rectangle's width back.
  Setup([](const Dialog& d) {
    d.ChooseItem("RadioRect", 3);
    d.Click("LabelHeight");
    d.Cancel();  // back to Width
  });
  ConversionSettings.GraWidth = 1234;  // as a second Open in between might
  Setup([](const Dialog& d) {
    QCOMPARE(d.Text("EditWidth"), QStringLiteral("8000"));
    QCOMPARE(d.Text("EditHeight"), QStringLiteral("6000"));
    d.Retype("EditHeight", "300");  // the height leads since the label click
    QCOMPARE(d.Text("EditWidth"), QStringLiteral("400"));
    d.Ok();
  });
  QCOMPARE(GraSize(), (Sizes{400, 300}));
  Setup([](const Dialog& d) {
    QCOMPARE(d.Text("EditWidth"), QStringLiteral("400"));
    QCOMPARE(d.Text("EditHeight"), QStringLiteral("300"));
    d.Ok();
  });
  QCOMPARE(GraSize(), (Sizes{400, 300}));
}

void OptionFormTest::colourPickedInTheMainWindowShowsAtTheNextOpening() {
  StartWindows({"rastrel"});
  OpenBitmap(4, 3);
  ChooseMainMenuItem("Option1", "Color1");
  QTest::mouseClick(MainFormPart<QWidget>("Image1"), Qt::LeftButton, {}, QPoint(1, 1));
  QCOMPARE(ConversionSettings.KeyColor, kRed);
  Setup([](const Dialog& d) {
    QCOMPARE(d.Text("EditColor"), QStringLiteral("ff"));
    QCOMPARE(d.Swatch(), kRed);
    d.Ok();
  });
  QCOMPARE(ConversionSettings.KeyColor, kRed);
}

void OptionFormTest::sizesBeyondThe32BitRangeAreClamped() {
  StartWindows({"rastrel"});
  OpenBitmap(1, 3);
  Setup([](const Dialog& d) {
    d.Retype("EditWidth", "9999999999");
    QCOMPARE(d.Text("EditHeight"), QString::number(std::numeric_limits<std::int32_t>::max()));
    d.Ok();
  });
  QCOMPARE(GraSize(), (Sizes{std::numeric_limits<std::int32_t>::max(),
                             std::numeric_limits<std::int32_t>::max()}));
}

void OptionFormTest::radioGroupClampsItsIndexAndReportsChanges() {
  RadioGroup group;
  group.SetItems({"a", "b", "c"});
  group.resize(153, 89);
  group.show();
  QSignalSpy clicks(&group, &RadioGroup::Click);
  QSignalSpy changes(&group, &RadioGroup::IndexChanged);
  QCOMPARE(group.ItemIndex(), -1);

  struct Step {
    int set;  // -100: a click on item `click` instead
    int click;
    int index;
    int clicks;
    int changes;
  };
  const Step steps[] = {
      {1, 0, 1, 1, 1},    {1, 0, 1, 1, 1},    {7, 0, 2, 2, 2},
      {-5, 0, -1, 2, 3},  {-1, 0, -1, 2, 3},  {-100, 0, 0, 3, 4},
      {-100, 0, 0, 3, 4}, {-100, 2, 2, 4, 5}, {0, 0, 0, 5, 6},
  };
  for (const Step& s : steps) {
    if (s.set == -100) {
      QTest::mouseClick(group.ItemButton(s.click), Qt::LeftButton, {}, QPoint(24, 10));
    } else {
      group.SetItemIndex(s.set);
    }
    QCOMPARE(group.ItemIndex(), s.index);
    for (int i = 0; i < 3; ++i) QCOMPARE(group.ItemButton(i)->isChecked(), i == s.index);
    QCOMPARE(clicks.size(), s.clicks);
    QCOMPARE(changes.size(), s.changes);
  }
}

}  // namespace rastrel::testing

QObject* NewOptionFormTest() { return new rastrel::testing::OptionFormTest; }

#include "option_form_test.moc"
