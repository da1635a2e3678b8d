// The main window, driven through its menu, its real file dialogs and mouse
// presses on the picture.
#include <sys/stat.h>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QProgressBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "core/conversion_settings.h"
#include "core/gra_writer.h"
#include "core/launch_arguments.h"
#include "core/messages.h"
#include "tests/core/recording_hooks.h"
#include "tests/ui/window_test_support.h"
#include "ui/forms.h"
#include "ui/main_form.h"
#include "ui/message_boxes.h"
#include "ui/picture_view.h"
#include "ui/screen_cursors.h"

namespace rastrel::testing {

constexpr ColorRef kRed = 0x0000FF;
constexpr ColorRef kBlue = 0xFF0000;
constexpr ColorRef kGreen = 0x00FF00;

class MainFormTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    StartWindows({"rastrel"});
  }
  void cleanup() { DestroyForms(); }

  void layoutFollowsTheFormDescription();
  void menuItemsAreEnabledOnceAPictureIsOpen();
  void cancelledDialogsChangeNothing();
  void openDialogListsBitmapsInEitherCase();
  void typedNameLeavesNoCompletionListBehind();
  void openShowsThePictureUnscaledAndDerivesTheSize();
  void refusedFilesLeaveEverythingAsItWas_data();
  void refusedFilesLeaveEverythingAsItWas();
  void colorTogglesPickModeTheMarkAndTheCursor();
  void pickTakesThePixelUnderThePointer_data();
  void pickTakesThePixelUnderThePointer();
  void pickModeSurvivesASecondOpen();
  void saveWritesTheCoreFileWithTheBarFollowingTheRows();
  void saveAddsTheSuffixAndAsksBeforeOverwriting();
  void saveToAnUnopenablePathShowsTheMessage();
  void failedSaveIsShownOnceAndTheScriptFollows_data();
  void failedSaveIsShownOnceAndTheScriptFollows();
  void launchedUseSizesFromTheRectangleAndWritesTheScript();
  void quitEndsAtOnceWithAPictureUnsaved();

 private:
  QMenuBar* Bar() { return MainFormPart<QMenuBar>("MainMenu1"); }
  QAction* Item(const char* name) { return MainFormPart<QAction>(name); }
  PictureView* Image() { return MainFormPart<PictureView>("Image1"); }

  // Opens `path` with File > Open, which must show no message.
  void OpenCleanly(const QString& path) {
    ModalAnswers answers;
    answers.Then(ChooseFile(path));
    ChooseMainMenuItem("File1", "Open1");
    QVERIFY(answers.AllGiven());
    QCOMPARE(answers.Unanswered(), 0);
  }

  QString WriteBitmap(const QString& name, int width, int height, std::vector<ColorRef> palette,
                      const std::function<std::uint8_t(int, int)>& index) {
    const QString path = dir_->filePath(name);
    WriteBytes(path, PaletteBitmap(width, height, std::move(palette), index));
    return path;
  }
  // Blue, with one red pixel at (red_x, red_y).
  QString BlueWithRedPixel(const QString& name, int width, int height, int red_x, int red_y) {
    return WriteBitmap(name, width, height, {kBlue, kRed},
                       [=](int x, int y) { return x == red_x && y == red_y ? 1 : 0; });
  }

  std::unique_ptr<QTemporaryDir> dir_;  // a fresh one for each test
};

void MainFormTest::layoutFollowsTheFormDescription() {
  QCOMPARE(MainForm->windowTitle(), QStringLiteral("Rastrel"));
  QCOMPARE(MainForm->pos(), QPoint(227, 184));
  QCOMPARE(MainForm->centralWidget()->size(), QSize(427, 305));
  QCOMPARE(MainFormPart<QScrollArea>("ScrollBox1")->geometry(), QRect(0, 0, 427, 289));
  QCOMPARE(MainFormPart<QWidget>("Panel2")->geometry(), QRect(0, 289, 427, 16));
  auto* bar = MainFormPart<QProgressBar>("ProgressBar1");
  QCOMPARE(bar->geometry(), QRect(0, 0, 427, 16));
  QCOMPARE(std::make_tuple(bar->minimum(), bar->maximum(), bar->value()),
           std::make_tuple(0, 100, 0));

  // The white placeholder of the design size, at the top-left.
  QCOMPARE(Image()->geometry(), QRect(0, 0, 423, 285));
  const QImage shown = Image()->grab().toImage();
  QCOMPARE(shown.pixelColor(0, 0), QColor(Qt::white));
  QCOMPARE(shown.pixelColor(422, 284), QColor(Qt::white));

  // The form's face is replaced by a free one that is installed.
  QCOMPARE(MainForm->font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
  QCOMPARE(QFontInfo(MainForm->font()).family(), QStringLiteral("IPAPGothic"));
  QCOMPARE(QFontInfo(MainForm->font()).pixelSize(), 12);

  const std::vector<std::pair<const char*, QString>> captions = {
      {"Open1", "&Open..."},   {"Save1", "&Save..."}, {"Quit1", "&Quit"},
      {"Setup1", "&Setup..."}, {"Color1", "&Color"},  {"About1", "&About..."}};
  for (const auto& [name, caption] : captions) QCOMPARE(Item(name)->text(), caption);
  QVERIFY(Item("N1")->isSeparator());
  QCOMPARE(MainFormPart<QMenu>("File1")->title(), QStringLiteral("&File"));
  QCOMPARE(MainFormPart<QMenu>("Option1")->title(), QStringLiteral("&Option"));
  QCOMPARE(MainFormPart<QMenu>("Help1")->title(), QStringLiteral("&Help"));
}

void MainFormTest::menuItemsAreEnabledOnceAPictureIsOpen() {
  const auto enabled = [this](const char* menu, std::vector<const char*> items) {
    OpenMenu(Bar(), MainFormPart<QMenu>(menu));
    std::vector<bool> states;
    for (const char* item : items) states.push_back(Item(item)->isEnabled());
    MainFormPart<QMenu>(menu)->close();
    return states;
  };
  using States = std::vector<bool>;
  QCOMPARE(enabled("File1", {"Open1", "Save1", "Quit1"}), (States{true, false, true}));
  QCOMPARE(enabled("Option1", {"Setup1", "Color1"}), (States{false, false}));

  // A disabled item does nothing when clicked.
  ChooseMainMenuItem("Option1", "Color1");
  QVERIFY(!ConversionSettings.PickMode);

  OpenCleanly(BlueWithRedPixel("a.bmp", 3, 2, 0, 0));
  QCOMPARE(enabled("File1", {"Open1", "Save1", "Quit1"}), (States{true, true, true}));
  QCOMPARE(enabled("Option1", {"Setup1", "Color1"}), (States{true, true}));
  QVERIFY(Item("About1")->isEnabled());
}

void MainFormTest::cancelledDialogsChangeNothing() {
  OpenCleanly(BlueWithRedPixel("a.bmp", 3, 2, 1, 1));
  const QString gra = dir_->filePath("never.GRA");
  ModalAnswers answers;
  answers.Then(Cancel()).Then(Cancel());
  ChooseMainMenuItem("File1", "Open1");
  ChooseMainMenuItem("File1", "Save1");
  QVERIFY(answers.AllGiven());
  QCOMPARE(answers.Unanswered(), 0);  // no message either
  QCOMPARE(Image()->size(), QSize(3, 2));
  QCOMPARE(ConversionSettings.GraWidth, 150);
  QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), QStringList{"a.bmp"});
}

void MainFormTest::openDialogListsBitmapsInEitherCase() {
  for (const char* name : {"lower.bmp", "UPPER.BMP", "other.png", "no-suffix"}) {
    WriteBytes(dir_->filePath(name), {'B', 'M'});
  }
  QStringList listed;
  ModalAnswers answers;
  answers.Then([&](QWidget* window) {
    auto* dialog = qobject_cast<QFileDialog*>(window);
    QVERIFY(dialog);
    dialog->setDirectory(dir_->path());
    auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
    QVERIFY(view);
    const auto names = [view] {
      QStringList found;
      for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
        found << view->model()->index(row, 0, view->rootIndex()).data().toString();
      }
      found.sort();
      return found;
    };
    QTRY_COMPARE(names(), (QStringList{"UPPER.BMP", "lower.bmp"}));
    dialog->selectNameFilter(dialog->nameFilters().value(1));  // All Files
    QTRY_COMPARE(names().size(), 4);
    QTest::keyClick(dialog, Qt::Key_Escape);
  });
  ChooseMainMenuItem("File1", "Open1");
  QVERIFY(answers.AllGiven());
  QCOMPARE(answers.Unanswered(), 0);
}

void MainFormTest::typedNameLeavesNoCompletionListBehind() {
  const QString path = BlueWithRedPixel("picture.bmp", 3, 2, 0, 0);
  WriteBytes(dir_->filePath("picture-2.bmp"), {'B', 'M'});  // so that the name completes
  ModalAnswers answers;
  answers.Then(TypeFileAndReturn(path));
  ChooseMainMenuItem("File1", "Open1");
  QVERIFY(answers.AllGiven());
  QCOMPARE(Image()->size(), QSize(3, 2));
  // It would take the next click or key.
  QVERIFY(!QApplication::activePopupWidget());
}

void MainFormTest::openShowsThePictureUnscaledAndDerivesTheSize() {
  OpenCleanly(BlueWithRedPixel("wide.BMP", 640, 480, 639, 479));
  QCOMPARE(Image()->size(), QSize(640, 480));
  QCOMPARE(Image()->PixelColor(0, 0), kBlue);
  QCOMPARE(Image()->PixelColor(639, 479), kRed);
  QCOMPARE(ConversionSettings.SourceBitmap->Width(), 640);
  QCOMPARE(std::make_pair(ConversionSettings.GraWidth, ConversionSettings.GraHeight),
           std::make_pair(32000, 24000));
  auto* box = MainFormPart<QScrollArea>("ScrollBox1");
  QTRY_VERIFY(box->horizontalScrollBar()->isVisible());
  QTRY_VERIFY(box->verticalScrollBar()->isVisible());
  // On the screen, pixel for pixel.
  const QImage shown = Image()->grab(QRect(637, 477, 3, 3)).toImage();
  QCOMPARE(shown.pixelColor(2, 2), QColor(Qt::red));
  QCOMPARE(shown.pixelColor(1, 2), QColor(Qt::blue));
}

void MainFormTest::refusedFilesLeaveEverythingAsItWas_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<QString>("message");
  const QString illegal = QString::fromUtf8(messages::kIllegalFileFormat);
  const QString cant_open = QString::fromUtf8(messages::kCantOpenFile);
  QTest::newRow("PNG named .BMP") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << illegal;
  QTest::newRow("lower-case bm") << QByteArray("bm\x46\0\0\0\0\0\0\0\x36\0\0\0", 14) << illegal;
  QTest::newRow("empty") << QByteArray() << illegal;
  QTest::newRow("one byte B") << QByteArray("B") << illegal;
  QTest::newRow("BM, then no bitmap") << QByteArray("BM this is no bitmap at all") << cant_open;
}

void MainFormTest::refusedFilesLeaveEverythingAsItWas() {
  QFETCH(QByteArray, bytes);
  QFETCH(QString, message);
  OpenCleanly(BlueWithRedPixel("good.bmp", 3, 2, 2, 1));
  const QString bad = dir_->filePath("bad.BMP");
  QFile file(bad);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
  file.close();

  ShownMessage shown;
  ModalAnswers answers;
  answers.Then(ChooseFile(bad)).Then(ReadMessage(&shown));
  ChooseMainMenuItem("File1", "Open1");
  QVERIFY(answers.AllGiven());
  QCOMPARE(shown.text, message);
  QCOMPARE(shown.title, ApplicationTitle());
  QCOMPARE(shown.icon, QMessageBox::NoIcon);
  QCOMPARE(Image()->size(), QSize(3, 2));
  QCOMPARE(Image()->PixelColor(2, 1), kRed);
  QCOMPARE(ConversionSettings.SourceBitmap->Width(), 3);
  QCOMPARE(std::make_pair(ConversionSettings.GraWidth, ConversionSettings.GraHeight),
           std::make_pair(150, 100));
}

void MainFormTest::colorTogglesPickModeTheMarkAndTheCursor() {
  OpenCleanly(BlueWithRedPixel("a.bmp", 3, 2, 1, 0));
  ChooseMainMenuItem("Option1", "Color1");
  QVERIFY(ConversionSettings.PickMode);
  QVERIFY(Item("Color1")->isChecked());
  const QCursor dropper = Image()->cursor();
  QCOMPARE(dropper.shape(), Qt::BitmapCursor);
  QCOMPARE(dropper.hotSpot(), QPoint(0, 0));
  QCOMPARE(dropper.pixmap().size(), QSize(32, 32));

  // A right-button press on the red pixel takes it and stays in pick mode.
  QTest::mousePress(Image(), Qt::RightButton, {}, QPoint(1, 0));
  QCOMPARE(ConversionSettings.KeyColor, kRed);
  QVERIFY(ConversionSettings.PickMode);
  QVERIFY(Item("Color1")->isChecked());
  QCOMPARE(Image()->cursor().shape(), Qt::BitmapCursor);

  ChooseMainMenuItem("Option1", "Color1");
  QVERIFY(!ConversionSettings.PickMode);
  QVERIFY(!Item("Color1")->isChecked());
  QVERIFY(!Image()->testAttribute(Qt::WA_SetCursor));
  QTest::mousePress(Image(), Qt::LeftButton, {}, QPoint(2, 1));
  QCOMPARE(ConversionSettings.KeyColor, kRed);  // no pick outside pick mode
}

void MainFormTest::pickTakesThePixelUnderThePointer_data() {
  QTest::addColumn<Qt::MouseButton>("button");
  QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
  QTest::addColumn<QPoint>("red");
  QTest::addColumn<QPoint>("scroll");
  QTest::newRow("right, unscrolled")
      << Qt::RightButton << Qt::KeyboardModifiers() << QPoint(300, 200) << QPoint(0, 0);
  QTest::newRow("left with Shift, scrolled")
      << Qt::LeftButton << Qt::KeyboardModifiers(Qt::ShiftModifier) << QPoint(700, 600)
      << QPoint(500, 450);
  QTest::newRow("middle, scrolled to the end")
      << Qt::MiddleButton << Qt::KeyboardModifiers() << QPoint(999, 799) << QPoint(5000, 5000);
}

void MainFormTest::pickTakesThePixelUnderThePointer() {
  QFETCH(Qt::MouseButton, button);
  QFETCH(Qt::KeyboardModifiers, modifiers);
  QFETCH(QPoint, red);
  QFETCH(QPoint, scroll);
  // Green wherever the red pixel would be on the screen if the view had not
  // scrolled.
  auto* box = MainFormPart<QScrollArea>("ScrollBox1");
  OpenCleanly(WriteBitmap("big.bmp", 1000, 800, {kBlue, kRed, kGreen}, [&](int x, int y) {
    if (QPoint(x, y) == red) return 1;
    const QPoint limit(1000 - box->viewport()->width(), 800 - box->viewport()->height());
    const QPoint offset(std::min(scroll.x(), limit.x()), std::min(scroll.y(), limit.y()));
    return QPoint(x, y) == red - offset ? 2 : 0;
  }));
  ChooseMainMenuItem("Option1", "Color1");
  QTRY_VERIFY(box->horizontalScrollBar()->isVisible());
  box->horizontalScrollBar()->setValue(scroll.x());
  box->verticalScrollBar()->setValue(scroll.y());
  const QPoint offset(box->horizontalScrollBar()->value(), box->verticalScrollBar()->value());
  QVERIFY(scroll.isNull() || !offset.isNull());

  // Press where the red pixel is on the screen now, on whatever is there.
  const QPoint in_viewport = red - offset;
  QWidget* under = box->viewport()->childAt(in_viewport);
  QCOMPARE(under, static_cast<QWidget*>(Image()));
  QTest::mousePress(under, button, modifiers, under->mapFrom(box->viewport(), in_viewport));
  QCOMPARE(ConversionSettings.KeyColor, kRed);
}

void MainFormTest::pickModeSurvivesASecondOpen() {
  OpenCleanly(BlueWithRedPixel("a.bmp", 3, 2, 0, 0));
  ChooseMainMenuItem("Option1", "Color1");
  OpenCleanly(BlueWithRedPixel("b.bmp", 5, 4, 4, 3));
  QVERIFY(ConversionSettings.PickMode);
  QVERIFY(Item("Color1")->isChecked());
  QTest::mousePress(Image(), Qt::LeftButton, {}, QPoint(4, 3));
  QCOMPARE(ConversionSettings.KeyColor, kRed);
}

void MainFormTest::saveWritesTheCoreFileWithTheBarFollowingTheRows() {
  // White is the key colour, so its runs are left out.
  OpenCleanly(WriteBitmap("rows.bmp", 7, 5, {0xFFFFFF, kRed, kBlue},
                          [](int x, int y) { return static_cast<std::uint8_t>((x * y + x) % 3); }));
  auto* bar = MainFormPart<QProgressBar>("ProgressBar1");
  std::vector<int> positions;
  connect(bar, &QProgressBar::valueChanged, [&](int value) {
    positions.push_back(value);
    QCOMPARE(bar->maximum(), 5);
  });
  const QString gra = dir_->filePath("rows.GRA");
  ModalAnswers answers;
  answers.Then(ChooseFile(gra));
  ChooseMainMenuItem("File1", "Save1");
  QVERIFY(answers.AllGiven());
  QCOMPARE(answers.Unanswered(), 0);
  QCOMPARE(positions, (std::vector<int>{1, 2, 3, 4, 5, 0}));

  const QString expected = dir_->filePath("expected.GRA");
  NoProgress progress;
  RecordingMessages messages;
  WriteGraFile(expected.toStdString(), progress, messages);
  QVERIFY(messages.texts.empty());
  QCOMPARE(ReadBytes(gra), ReadBytes(expected));
  QVERIFY(ReadBytes(gra).startsWith("%Ngraph GRAF"));
}

void MainFormTest::saveAddsTheSuffixAndAsksBeforeOverwriting() {
  OpenCleanly(BlueWithRedPixel("a.bmp", 3, 2, 0, 0));
  const QString typed = dir_->filePath("drawing");
  const QString saved = typed + ".GRA";
  ModalAnswers answers;
  answers.Then(ChooseFile(typed));
  ChooseMainMenuItem("File1", "Save1");
  QVERIFY(QFile::exists(saved));
  QVERIFY(!QFile::exists(typed));

  WriteBytes(saved, {'o', 'l', 'd'});
  answers.Then(ChooseFile(saved)).Then(PressButton(QMessageBox::Yes));
  ChooseMainMenuItem("File1", "Save1");
  QVERIFY(answers.AllGiven());
  QCOMPARE(answers.Unanswered(), 0);
  QVERIFY(ReadBytes(saved).startsWith("%Ngraph GRAF"));
}

void MainFormTest::saveToAnUnopenablePathShowsTheMessage() {
  OpenCleanly(BlueWithRedPixel("a.bmp", 3, 2, 0, 0));
  ShownMessage shown;
  ModalAnswers answers;
  answers.Then(ChooseFile(dir_->filePath("no such folder/x.GRA"))).Then(ReadMessage(&shown));
  ChooseMainMenuItem("File1", "Save1");
  QVERIFY(answers.AllGiven());
  QCOMPARE(shown.text, QString::fromUtf8(messages::kCantOpenGraFile));
  QCOMPARE(shown.title, ApplicationTitle());
  QCOMPARE(MainFormPart<QProgressBar>("ProgressBar1")->value(), 0);
}

void MainFormTest::failedSaveIsShownOnceAndTheScriptFollows_data() {
  QTest::addColumn<QString>("kind");
  QTest::addColumn<QString>("message");
  QTest::addColumn<bool>("script");  // whether the merge script follows
  QTest::newRow("full disk") << "full" << QString::fromUtf8(messages::kWriteError) << true;
  // Nobody reads it: opening it must not wait for a reader.
  QTest::newRow("named pipe") << "pipe" << QString::fromUtf8(messages::kCantOpenGraFile) << false;
}

void MainFormTest::failedSaveIsShownOnceAndTheScriptFollows() {
  QFETCH(QString, kind);
  QFETCH(QString, message);
  QFETCH(bool, script);
  DestroyForms();
  const QString merge = dir_->filePath("merge.ngp");
  StartWindows({"rastrel", "500", "200", "300", "900", merge.toStdString()});
  OpenCleanly(BlueWithRedPixel("a.bmp", 3, 2, 0, 0));
  const QString gra = dir_->filePath(kind + ".GRA");
  if (kind == "full") QVERIFY(QFile::link("/dev/full", gra));
  if (kind == "pipe") QCOMPARE(::mkfifo(QFile::encodeName(gra).constData(), 0600), 0);

  auto* bar = MainFormPart<QProgressBar>("ProgressBar1");
  std::vector<int> positions;
  connect(bar, &QProgressBar::valueChanged, [&](int value) { positions.push_back(value); });
  ShownMessage shown;
  ModalAnswers answers;
  // It exists, so the dialog asks before it is replaced.
  answers.Then(ChooseFile(gra)).Then(PressButton(QMessageBox::Yes)).Then(ReadMessage(&shown));
  ChooseMainMenuItem("File1", "Save1");
  QVERIFY(answers.AllGiven());
  QTest::qWait(50);
  QCOMPARE(answers.Unanswered(), 0);  // one message, no second one
  QCOMPARE(shown.text, message);
  QCOMPARE(bar->value(), 0);
  if (script) QCOMPARE(positions, (std::vector<int>{1, 2, 0}));
  QCOMPARE(QFile::exists(merge), script);
  if (script) QVERIFY(ReadBytes(merge).contains("merge::file=" + QFile::encodeName(gra) + "\r\n"));
}

void MainFormTest::launchedUseSizesFromTheRectangleAndWritesTheScript() {
  DestroyForms();
  const QString script = dir_->filePath("merge.ngp");
  StartWindows({"rastrel", "500", "200", "300", "900", script.toStdString()});
  QVERIFY(ConversionSettings.LaunchedWithRect);
  OpenCleanly(BlueWithRedPixel("a.bmp", 3, 2, 0, 0));
  QCOMPARE(std::make_pair(ConversionSettings.GraWidth, ConversionSettings.GraHeight),
           std::make_pair(300, 200));

  const QString gra = dir_->filePath("a.GRA");
  ModalAnswers answers;
  answers.Then(ChooseFile(gra));
  ChooseMainMenuItem("File1", "Save1");
  QVERIFY(answers.AllGiven());
  const QByteArray text = ReadBytes(script);
  QVERIFY(text.startsWith("new merge\r\n"));
  QVERIFY(text.contains("merge::file=" + QFile::encodeName(gra) + "\r\n"));
  QVERIFY(text.endsWith("del rectangle:!\r\n"));
}

void MainFormTest::quitEndsAtOnceWithAPictureUnsaved() {
  OpenCleanly(BlueWithRedPixel("a.bmp", 3, 2, 0, 0));
  ModalAnswers answers;
  ChooseMainMenuItem("File1", "Quit1");
  QVERIFY(!MainForm->isVisible());
  QTest::qWait(50);
  QCOMPARE(answers.Unanswered(), 0);
  QVERIFY(!QApplication::activeModalWidget());
}

}  // namespace rastrel::testing

QObject* NewMainFormTest() { return new rastrel::testing::MainFormTest; }

#include "main_form_test.moc"
