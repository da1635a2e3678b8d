// window-open-save BITMAP [OUT.GRA]: opens BITMAP in the real main window
// through File > Open, as a user does, and saves it through File > Save when
// OUT.GRA (which must not exist yet) is given. Prints what it saw, one
// "name: value" a line, for the measurement scripts in bench/:
//   open seconds, the message shown (if any), the picture's size, whether
//   both scroll bars show, the resident and peak memory then; and for the save: its seconds, how
//   many bar positions were set and how many distinct ones were painted, the largest and the last
//   position, and the message shown (if any).
// Exits with 0 when the picture opened with no message (and, with OUT.GRA,
// the save showed none, the bar reached the picture's height and ended at
// 0, and the file was written); 1 otherwise. Runs on any display, or on the
// offscreen platform.
#include <QAction>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QMenuBar>
#include <QProgressBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <set>

#include "core/conversion_settings.h"
#include "core/launch_arguments.h"
#include "tests/ui/window_test_support.h"
#include "ui/application.h"
#include "ui/forms.h"
#include "ui/main_form.h"

namespace {

using rastrel::MainForm;
using namespace rastrel::testing;

// Records the bar's position each time the bar is painted.
class PaintedPositions : public QObject {
 public:
  explicit PaintedPositions(QProgressBar* bar) : bar_(bar) { bar->installEventFilter(this); }
  std::set<int> positions;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == bar_ && event->type() == QEvent::Paint) positions.insert(bar_->value());
    return false;
  }

 private:
  QProgressBar* bar_;
};

// A line of /proc/self/status in KiB: VmRSS now, VmHWM the peak so far.
QString StatusKiB(const char* field) {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return QStringLiteral("?");
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith(field))
      return QString::fromLatin1(line.mid(qstrlen(field)).trimmed()).remove(QStringLiteral(" kB"));
  }
  return QStringLiteral("?");
}

void Print(const char* name, const QString& value) {
  std::printf("%s: %s\n", name, value.toLocal8Bit().constData());
}

int Run(const QString& bitmap, const QString& gra) {
  bool ok = true;
  ShownMessage shown;
  {
    ModalAnswers answers;
    answers.Then(ChooseFile(bitmap)).Then(ReadMessage(&shown));
    QElapsedTimer clock;
    clock.start();
    ChooseMainMenuItem("File1", "Open1");
    Print("open seconds", QString::number(clock.nsecsElapsed() / 1e9, 'f', 3));
  }
  Print("open message", shown.text);
  const auto& picture = rastrel::ConversionSettings.SourceBitmap;
  Print("picture", QStringLiteral("%1 x %2").arg(picture->Width()).arg(picture->Height()));
  ok = ok && shown.text.isEmpty();
  auto* box = MainFormPart<QScrollArea>("ScrollBox1");
  QTest::qWait(100);  // the scroll area lays out from the event loop
  const bool scroll_bars =
      box->horizontalScrollBar()->isVisible() && box->verticalScrollBar()->isVisible();
  Print("scroll bars", scroll_bars ? QStringLiteral("both") : QStringLiteral("not both"));
  Print("resident KiB after open", StatusKiB("VmRSS:"));
  Print("peak KiB after open", StatusKiB("VmHWM:"));
  if (gra.isEmpty()) return ok ? 0 : 1;

  auto* bar = MainFormPart<QProgressBar>("ProgressBar1");
  PaintedPositions painted(bar);
  int set = 0, highest = 0;
  QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) {
    ++set;
    highest = std::max(highest, value);
  });
  shown = {};
  {
    ModalAnswers answers;
    answers.Then(ChooseFile(gra)).Then(ReadMessage(&shown));
    QElapsedTimer clock;
    clock.start();
    ChooseMainMenuItem("File1", "Save1");
    Print("save seconds", QString::number(clock.nsecsElapsed() / 1e9, 'f', 3));
  }
  Print("save message", shown.text);
  Print("bar positions set", QString::number(set));
  Print("bar positions painted", QString::number(painted.positions.size()));
  Print("bar highest", QString::number(highest));
  Print("bar last", QString::number(bar->value()));
  Print("gra bytes", QString::number(QFile(gra).size()));
  ok = ok && shown.text.isEmpty() && highest == picture->Height() && bar->value() == 0 &&
       QFile(gra).size() > 0;
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  rastrel::Application application(argc, argv);
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: window-open-save BITMAP [OUT.GRA]\n");
    return 2;
  }
  const QString bitmap = QString::fromLocal8Bit(argv[1]);
  const QString gra = argc == 3 ? QString::fromLocal8Bit(argv[2]) : QString();
  rastrel::SetProcessArguments({"rastrel"});
  rastrel::CreateForms();
  MainForm->show();
  int status = 1;
  QTimer::singleShot(0, [&] {
    status = Run(bitmap, gra);
    application.quit();
  });
  application.exec();
  rastrel::DestroyForms();
  return status;
}
