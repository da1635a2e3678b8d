// The corpus of broken bitmaps opened through the window's File > Open: each
// refused file shows its message and leaves the picture shown before, the
// bitmap and the drawing size as they were; each that opens is shown whole.
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "core/conversion_settings.h"
#include "core/int32_math.h"
#include "core/launch_arguments.h"
#include "tests/core/malformed_bmps.h"
#include "tests/ui/window_test_support.h"
#include "ui/forms.h"
#include "ui/main_form.h"
#include "ui/picture_view.h"

namespace rastrel::testing {

constexpr ColorRef kRed = 0x0000FF;
constexpr ColorRef kBlue = 0xFF0000;

class MalformedOpenTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    QProcess generator;
    generator.start(QStringLiteral(MAKE_MALFORMED_BMPS), {Corpus()});
    QVERIFY(generator.waitForFinished());
    QCOMPARE(generator.exitCode(), 0);
    WriteBytes(Good(), PaletteBitmap(3, 2, {kBlue, kRed},
                                     [](int x, int y) { return x == 2 && y == 1 ? 1 : 0; }));
    StartWindows({"rastrel"});
  }
  void cleanupTestCase() { DestroyForms(); }

  void refusedFilesChangeNothingAndOthersOpen_data();
  void refusedFilesChangeNothingAndOthersOpen();

 private:
  QString Corpus() const { return dir_.filePath(QStringLiteral("corpus")); }
  QString Good() const { return dir_.filePath(QStringLiteral("good.bmp")); }
  PictureView* Image() { return MainFormPart<PictureView>("Image1"); }

  // Opens `path` with File > Open; returns the message shown, if any.
  QString Open(const QString& path) {
    ShownMessage shown;
    ModalAnswers answers;
    answers.Then(ChooseFile(path)).Then(ReadMessage(&shown));
    ChooseMainMenuItem("File1", "Open1");
    [&] { QCOMPARE(answers.Unanswered(), 0); }();
    return shown.text;
  }

  QTemporaryDir dir_;
};

void MalformedOpenTest::refusedFilesChangeNothingAndOthersOpen_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("message");  // empty when it opens
  QTest::addColumn<QSize>("size");
  for (const MalformedBmp& file : MalformedBmps()) {
    const char* message = file.window_message ? file.window_message : file.message;
    QTest::newRow(file.name) << QString::fromLatin1(file.name)
                             << QString::fromUtf8(message ? message : "")
                             << QSize(file.width, file.height);
  }
}

void MalformedOpenTest::refusedFilesChangeNothingAndOthersOpen() {
  QFETCH(QString, name);
  QFETCH(QString, message);
  QFETCH(QSize, size);
  QCOMPARE(Open(Good()), QString());
  const QString path = QDir(Corpus()).filePath(name + ".bmp");
  QVERIFY(QFile::exists(path));

  QCOMPARE(Open(path), message);
  const Settings& s = ConversionSettings;
  if (message.isEmpty()) {
    QCOMPARE(Image()->size(), size);
    QCOMPARE(QSize(s.SourceBitmap->Width(), s.SourceBitmap->Height()), size);
    QCOMPARE(std::make_pair(s.GraWidth, s.GraHeight),
             std::make_pair(ClampToInt32(std::int64_t{size.width()} * 50),
                            ClampToInt32(std::int64_t{size.height()} * 50)));
  } else {
    QCOMPARE(Image()->size(), QSize(3, 2));
    QCOMPARE(Image()->PixelColor(2, 1), kRed);
    QCOMPARE(Image()->PixelColor(1, 1), kBlue);
    QCOMPARE(QSize(s.SourceBitmap->Width(), s.SourceBitmap->Height()), QSize(3, 2));
    QCOMPARE(s.SourceBitmap->Pixel(2, 1), kRed);
    QCOMPARE(std::make_pair(s.GraWidth, s.GraHeight), std::make_pair(150, 100));
  }
}

}  // namespace rastrel::testing

QObject* NewMalformedOpenTest() { return new rastrel::testing::MalformedOpenTest; }

#include "malformed_open_test.moc"
