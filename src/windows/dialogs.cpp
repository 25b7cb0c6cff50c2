#include "windows/dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

#include "loader/load_command.h"
#include "text/catalog.h"

namespace orben {

namespace {

QString utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A message box that breaks lines only where its message does. Qt wraps
// any line wider than half the screen; the text's label is made as wide as
// the message's widest line before Qt sizes the box, as far as Qt lets a
// box grow on that screen (a longer line still wraps).
class MessageBox : public QMessageBox {
 public:
  using QMessageBox::QMessageBox;

 protected:
  void showEvent(QShowEvent* event) override {
    auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    if (label != nullptr && screen() != nullptr) {
      const QFontMetrics metrics(label->font());
      int widest = 0;
      for (const QString& line : text().split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
      // Qt's own limit for a box's width on this screen, less room for the
      // box's margins and icon.
      const int screen_width = screen()->availableGeometry().width();
      const int limit = screen_width <= 1024 ? screen_width : std::min(screen_width - 480, 1000);
      label->setMinimumWidth(std::min(widest + kSlack, limit - kChrome));
    }
    QMessageBox::showEvent(event);
  }

 private:
  static constexpr int kSlack = 2;     // rounding of the text's layout
  static constexpr int kChrome = 100;  // margins, icon and spacing
};

// Runs a modal dialog made on the heap and deletes it afterwards, unless
// its parent went first while it was open: a dialog owned by the main
// window is never freed twice.
template <typename Dialog, typename Answer>
auto runOwned(Dialog* dialog, Answer answer) {
  const QPointer<Dialog> open = dialog;
  const int result = dialog->exec();
  const auto answered = answer(open.data(), result);
  delete open.data();
  return answered;
}

// A modal box of the application, plain text only: a corrupt object line
// shown in it must not be read as markup. With `extra`, a second button of
// that caption; `extra_chosen` tells whether it was pressed.
int runBox(QWidget* parent, const QString& title, const QString& text,
           QMessageBox::StandardButtons buttons, QMessageBox::Icon icon = QMessageBox::NoIcon,
           const QString& extra = {}, bool* extra_chosen = nullptr) {
  auto* box = new MessageBox(icon, title, text, buttons, parent);
  box->setTextFormat(Qt::PlainText);
  box->setWindowModality(Qt::ApplicationModal);
  QAbstractButton* extra_button = nullptr;
  if (!extra.isEmpty()) {
    extra_button = box->addButton(extra, QMessageBox::ActionRole);
    extra_button->setObjectName(QStringLiteral("OmitirAvisos"));
  }
  return runOwned(box, [&](QMessageBox* done, int result) {
    if (extra_chosen) *extra_chosen = done && extra_button && done->clickedButton() == extra_button;
    return result;
  });
}

}  // namespace

QString screenText(std::string_view text) {
  QString shown = utf8(text);
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return shown;
}

void showMessageBox(QWidget* parent, std::string_view text) {
  runBox(parent, QApplication::applicationName(), screenText(text), QMessageBox::Ok);
}

bool showMessageOrSkipRestBox(QWidget* parent, std::string_view text) {
  bool skip = false;
  runBox(parent, QApplication::applicationName(), screenText(text), QMessageBox::Ok,
         QMessageBox::NoIcon, utf8(kSkipRestCaption), &skip);
  return skip;
}

bool askYesNoBox(QWidget* parent, std::string_view title, std::string_view text) {
  return runBox(parent, utf8(title), screenText(text), QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

QStringList nameFiltersOf(std::string_view filter) {
  const QStringList parts = utf8(filter).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& description = parts[i];
    const QString pattern = QLatin1Char('(') + parts[i + 1] + QLatin1Char(')');
    filters << (description.endsWith(pattern, Qt::CaseInsensitive)
                    ? description
                    : description + QLatin1Char(' ') + pattern);
  }
  return filters;
}

std::optional<std::string> runObjectFileDialog(QWidget* parent, const FileRequest& request) {
  auto* dialog = new QFileDialog(parent, utf8(request.title));
  dialog->setObjectName(QStringLiteral("DAbrir"));
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setAcceptMode(QFileDialog::AcceptOpen);
  dialog->setFileMode(QFileDialog::ExistingFile);
  dialog->setDefaultSuffix(utf8(request.default_extension));
  dialog->setNameFilters(nameFiltersOf(request.filter));
  // The patterns are upper case (*.EHC, *.HEX): prog.hex shows as well.
  dialog->setFilter(dialog->filter() & ~QDir::CaseSensitive);
  dialog->setWindowModality(Qt::ApplicationModal);
  return runOwned(dialog, [](QFileDialog* done, int result) -> std::optional<std::string> {
    if (!done || result != QDialog::Accepted || done->selectedFiles().isEmpty()) return {};
    return QFile::encodeName(done->selectedFiles().first()).toStdString();
  });
}

UnsavedChanges askSaveChanges(QWidget* parent, const QString& name) {
  auto* box = new MessageBox(QMessageBox::NoIcon, QApplication::applicationName(),
                             QStringLiteral("¿Guardar los cambios de %1?").arg(name),
                             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
  box->setObjectName(QStringLiteral("Guardar_Cambios"));
  box->setTextFormat(Qt::PlainText);
  box->setWindowModality(Qt::ApplicationModal);
  box->button(QMessageBox::Yes)->setText(QStringLiteral("Sí"));
  box->button(QMessageBox::No)->setText(QStringLiteral("No"));
  box->button(QMessageBox::Cancel)->setText(QStringLiteral("Cancelar"));
  box->setDefaultButton(QMessageBox::Yes);
  box->setEscapeButton(QMessageBox::Cancel);
  return runOwned(box, [](QMessageBox*, int result) {
    if (result == QMessageBox::Yes) return UnsavedChanges::Save;
    if (result == QMessageBox::No) return UnsavedChanges::Discard;
    return UnsavedChanges::Cancel;
  });
}

namespace {

QFileDialog* sourceDialog(QWidget* parent, const QString& name, const QString& title) {
  auto* dialog = new QFileDialog(parent, title);
  dialog->setObjectName(name);
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setDefaultSuffix(QStringLiteral("asm"));
  dialog->setNameFilters(
      {QStringLiteral("Programa fuente (*.ASM)"), QStringLiteral("Todos los archivos (*)")});
  dialog->setFilter(dialog->filter() & ~QDir::CaseSensitive);
  dialog->setWindowModality(Qt::ApplicationModal);
  return dialog;
}

QString chosenFile(QFileDialog* done, int result) {
  if (!done || result != QDialog::Accepted || done->selectedFiles().isEmpty()) return {};
  return done->selectedFiles().first();
}

}  // namespace

QString runOpenSourceDialog(QWidget* parent) {
  QFileDialog* dialog = sourceDialog(parent, QStringLiteral("DAbrir_Fuente"),
                                     QStringLiteral("Abrir programa fuente"));
  dialog->setAcceptMode(QFileDialog::AcceptOpen);
  dialog->setFileMode(QFileDialog::ExistingFile);
  return runOwned(dialog, chosenFile);
}

QString runSaveSourceDialog(QWidget* parent, const QString& suggested) {
  QFileDialog* dialog = sourceDialog(parent, QStringLiteral("DGuardar_Fuente"),
                                     QStringLiteral("Guardar programa fuente como"));
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  dialog->setFileMode(QFileDialog::AnyFile);
  if (!suggested.isEmpty()) dialog->selectFile(suggested);
  return runOwned(dialog, chosenFile);
}

QString runSaveMemoryDialog(QWidget* parent) {
  auto* dialog = new QFileDialog(parent, QStringLiteral("Guardar memoria como programa objeto"));
  dialog->setObjectName(QStringLiteral("DGuardar_Memoria"));
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  dialog->setFileMode(QFileDialog::AnyFile);
  const FileRequest request = objectFileRequest();
  const QStringList filters = nameFiltersOf(request.filter);
  dialog->setNameFilters(filters);
  dialog->setDefaultSuffix(utf8(request.default_extension));
  // The name's extension chooses the format: a name typed without one
  // gets the extension of the filter chosen.
  QObject::connect(dialog, &QFileDialog::filterSelected, dialog, [dialog](const QString& filter) {
    const bool hex = filter.contains(QStringLiteral("*.HEX"), Qt::CaseInsensitive);
    dialog->setDefaultSuffix(hex ? QStringLiteral("HEX") : QStringLiteral("EHC"));
  });
  dialog->setFilter(dialog->filter() & ~QDir::CaseSensitive);
  dialog->setWindowModality(Qt::ApplicationModal);
  return runOwned(dialog, chosenFile);
}

QString runOpenCasesDialog(QWidget* parent) {
  auto* dialog = new QFileDialog(parent, QStringLiteral("Comprobar con casos"));
  dialog->setObjectName(QStringLiteral("DAbrir_Casos"));
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setAcceptMode(QFileDialog::AcceptOpen);
  dialog->setFileMode(QFileDialog::ExistingFile);
  dialog->setDefaultSuffix(QStringLiteral("toml"));
  dialog->setNameFilters({QStringLiteral("Casos (*.toml *.TOML)")});
  dialog->setWindowModality(Qt::ApplicationModal);
  return runOwned(dialog, chosenFile);
}

void showFileErrorBox(QWidget* parent, std::string_view file_name, std::string_view reason) {
  // The windows speak Spanish: the loader's own reasons too.
  runBox(parent, QApplication::applicationName(), screenText(fileErrorMessage(file_name, reason)),
         QMessageBox::Ok, QMessageBox::Critical);
}

}  // namespace orben
