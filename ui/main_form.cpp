#include "ui/main_form.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QFile>
#include <QFileDialog>
#include <exception>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/bitmap_file.h"
#include "core/conversion_settings.h"
#include "core/gra_writer.h"
#include "core/launch_arguments.h"
#include "core/load_error.h"
#include "core/messages.h"
#include "ui/about_form.h"
#include "ui/forms.h"
#include "ui/guarded.h"
#include "ui/message_boxes.h"
#include "ui/option_form.h"
#include "ui/progress_bar_indicator.h"
#include "ui/screen_cursors.h"
#include "ui_main_form.h"

namespace rastrel {
namespace {

// A file name as the C library wants it, in the encoding of the file system.
std::string LocalPath(QFileDialog* dialog) {
  return QFile::encodeName(dialog->selectedFiles().value(0)).toStdString();
}

// Runs one of the window's file dialogs, which live as long as the window.
bool RunFileDialog(QFileDialog* dialog) {
  const bool accepted = dialog->exec() == QDialog::Accepted;
  // Accepted with Return while the name's completion list shows, Qt leaves
  // the list on the screen, where it would take the next click or key.
  for (auto* completer : dialog->findChildren<QCompleter*>()) completer->popup()->hide();
  return accepted;
}

QFileDialog* MakeFileDialog(QWidget* parent, const char* name, QFileDialog::AcceptMode mode,
                            const QStringList& filters) {
  auto* dialog = new QFileDialog(parent);
  dialog->setObjectName(QString::fromLatin1(name));
  dialog->setAcceptMode(mode);
  dialog->setNameFilters(filters);
  return dialog;
}

bool HasPicture() {
  const auto& bitmap = ConversionSettings.SourceBitmap;
  return bitmap && !bitmap->Empty();
}

}  // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent), ui(std::make_unique<Ui::MainForm>()) {
  ui->setupUi(this);
  // uic sizes a top-level form but leaves its place to the window system.
  move(227, 184);
  // The client area is 427 x 305 below whatever height the menu bar takes here.
  resize(427, 305 + ui->MainMenu1->sizeHint().height());
  // N1 is the File menu's separator line, which a form description cannot mark.
  ui->N1->setSeparator(true);
  ui->ScrollBox1->viewport()->setBackgroundRole(QPalette::Button);

  // Windows patterns are case-blind; here a file system is not, so the
  // lower-case spellings are listed too, and "All Files" matches every name.
  OpenDialog1 = MakeFileDialog(this, "OpenDialog1", QFileDialog::AcceptOpen,
                               {tr("Windows Bitmap File (*.BMP *.bmp)"), tr("All Files (*)")});
  OpenDialog1->setFileMode(QFileDialog::ExistingFile);
  SaveDialog1 = MakeFileDialog(this, "SaveDialog1", QFileDialog::AcceptSave,
                               {tr("GRA File (*.GRA *.gra)"), tr("All Files (*)")});
  SaveDialog1->setFileMode(QFileDialog::AnyFile);
  SaveDialog1->setDefaultSuffix(QStringLiteral("GRA"));

  connect(ui->File1, &QMenu::aboutToShow, this, Guarded(this, &TMainForm::File1Click));
  connect(ui->Open1, &QAction::triggered, this, Guarded(this, &TMainForm::Open1Click));
  connect(ui->Save1, &QAction::triggered, this, Guarded(this, &TMainForm::Save1Click));
  connect(ui->Quit1, &QAction::triggered, this, Guarded(this, &TMainForm::Quit1Click));
  connect(ui->Option1, &QMenu::aboutToShow, this, Guarded(this, &TMainForm::Option1Click));
  connect(ui->Setup1, &QAction::triggered, this, Guarded(this, &TMainForm::Setup1Click));
  connect(ui->Color1, &QAction::triggered, this, Guarded(this, &TMainForm::Color1Click));
  connect(ui->About1, &QAction::triggered, this, Guarded(this, &TMainForm::About1Click));
  connect(ui->Image1, &PictureView::MouseDown, this, Guarded(this, &TMainForm::Image1MouseDown));

  RegisterScreenCursor(kPickCursor, LoadPickupCursor());

  // Qt has no creation event. An error in it is shown and start-up goes on.
  Guarded(this, &TMainForm::FormCreate)();
}

TMainForm::~TMainForm() { FormDestroy(); }

void TMainForm::FormCreate() {
  ConversionSettings.SourceBitmap = std::make_shared<Bitmap>();
  QImage placeholder(ui->Image1->size(), QImage::Format_RGB32);
  placeholder.fill(Qt::white);
  ui->Image1->SetPicture(std::move(placeholder));

  std::vector<std::string> arguments;
  for (std::size_t i = 1; i <= ProcessArgumentCount(); ++i) arguments.push_back(ProcessArgument(i));
  ReadLaunchArguments(arguments);
}

void TMainForm::FormDestroy() { ConversionSettings.SourceBitmap.reset(); }

void TMainForm::File1Click() { ui->Save1->setEnabled(HasPicture()); }

void TMainForm::Open1Click() {
  if (!RunFileDialog(OpenDialog1)) return;
  try {
    auto bitmap = std::make_shared<Bitmap>(ReadBitmapFile(LocalPath(OpenDialog1)));
    QImage shown = ToImage(bitmap);
    if (shown.isNull()) throw LoadError(messages::kCantOpenFile);
    // Nothing changes until the picture and its image for the screen both
    // exist; the picture shown before goes with its image.
    ConversionSettings.SourceBitmap = bitmap;
    ui->Image1->SetPicture(std::move(shown));
    DeriveGraSize(bitmap->Width(), bitmap->Height());
  } catch (const LoadError& error) {
    ShowMessage(QString::fromUtf8(error.what()));
  } catch (const std::exception&) {  // out of memory, for one
    ShowMessage(QString::fromUtf8(messages::kCantOpenFile));
  }
}

void TMainForm::Save1Click() {
  if (!RunFileDialog(SaveDialog1)) return;
  ProgressBarIndicator progress(ui->ProgressBar1);
  MessageBoxes messages;
  WriteGraFile(LocalPath(SaveDialog1), progress, messages);
}

void TMainForm::Quit1Click() { close(); }

void TMainForm::Option1Click() {
  ui->Setup1->setEnabled(HasPicture());
  ui->Color1->setEnabled(HasPicture());
}

void TMainForm::Setup1Click() { OptionForm->exec(); }

void TMainForm::Color1Click() {
  Settings& s = ConversionSettings;
  s.PickMode = !s.PickMode;
  // The checkable item has toggled its mark already; this keeps the two in step.
  ui->Color1->setChecked(s.PickMode);
  SetControlCursor(ui->Image1, s.PickMode ? kPickCursor : kDefaultCursor);
}

void TMainForm::About1Click() { AboutForm->exec(); }

void TMainForm::Image1MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
  if (!ConversionSettings.PickMode) return;
  ConversionSettings.KeyColor = ui->Image1->PixelColor(x, y);
}

}  // namespace rastrel
