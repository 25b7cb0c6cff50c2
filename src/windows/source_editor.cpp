#include "windows/source_editor.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

#include "machine/cells.h"
#include "text/language.h"
#include "windows/dialogs.h"
#include "windows/machine_adapter.h"
#include "windows/source_edit.h"
#include "windows/style.h"

namespace orben {

namespace {

constexpr int kLineRole = Qt::UserRole;
constexpr int kColumnRole = Qt::UserRole + 1;
constexpr int kErrorRole = Qt::UserRole + 2;
constexpr int kGroupRole = Qt::UserRole + 3;
constexpr int kKeyRole = Qt::UserRole + 4;

QString utf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* statusSection(QStatusBar* bar, const QString& name, const QString& spoken, int stretch) {
  auto* label = new QLabel(bar);
  label->setObjectName(name);
  label->setFont(sansFont(11));
  label->setAccessibleName(spoken);
  // Reached by Tab, so that a screen reader reads it on the way (after the
  // interaction flags, which set a focus policy of their own).
  label->setTextInteractionFlags(Qt::TextSelectableByKeyboard);
  label->setFocusPolicy(Qt::StrongFocus);
  bar->addWidget(label, stretch);
  return label;
}

}  // namespace

SourceEditor::SourceEditor(MachineAdapter& adapter, QWidget* parent)
    : QWidget(parent, Qt::Window), adapter_(adapter) {
  setObjectName(QStringLiteral("TEditorFuente"));
  setAccessibleName(QStringLiteral("Editor de programa fuente"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* split = new QSplitter(Qt::Vertical, this);
  text_ = new SourceEdit(split);
  messages_ = new QListWidget(split);
  messages_->setObjectName(QStringLiteral("Mensajes_Fuente"));
  messages_->setAccessibleName(QStringLiteral("Mensajes del ensamblador"));
  messages_->setFont(monoFont(13));
  split->addWidget(text_);
  split->addWidget(messages_);
  split->setStretchFactor(0, 4);
  split->setStretchFactor(1, 1);
  layout->addWidget(split, 1);
  auto* status = new QStatusBar(this);
  status->setObjectName(QStringLiteral("Estado_Fuente"));
  status->setSizeGripEnabled(false);
  steps_ = statusSection(status, QStringLiteral("Estado_Fuente_Pasos"),
                         QStringLiteral("Pasos desde Ejecutar"), 0);
  file_name_ = statusSection(status, QStringLiteral("Estado_Fuente_Archivo"),
                             QStringLiteral("Archivo del programa fuente"), 1);
  layout->addWidget(status);
  setTabOrder(text_, messages_);
  setTabOrder(messages_, steps_);
  setTabOrder(steps_, file_name_);

  connect(messages_, &QListWidget::itemActivated, this, &SourceEditor::goToMessage);
  connect(text_->document(), &QTextDocument::modificationChanged, this, &SourceEditor::updateTitle);
  connect(&adapter_, &MachineAdapter::cellTextChanged, this, [this](int cell, const QString&) {
    if (cell == kCellPC) updateSteps();
  });
  connect(&adapter_, &MachineAdapter::sourceLineAtPC, text_, &SourceEdit::setLineAtPC);
  connect(&adapter_, &MachineAdapter::checkReported, this, [this](int line, const QString& text) {
    addMessage({text.toStdString(), static_cast<std::size_t>(line), line > 0 ? 1U : 0U, false},
               QColor(150, 90, 0));
  });
  connect(text_, &SourceEdit::marginClicked, this, &SourceEditor::toggleBreakpointAtLine);
  connect(text_->document(), &QTextDocument::contentsChanged, this, &SourceEditor::textEdited);
  resize(640, 560);
  present(document_, QString());
  hide();
}

bool SourceEditor::modified() const {
  return text_->document()->isModified();
}

QString SourceEditor::shownName() const {
  return path_.isEmpty() ? QStringLiteral("sin nombre") : QFileInfo(path_).fileName();
}

void SourceEditor::present(const assembler::SourceDocument& document, const QString& path) {
  document_ = document;
  path_ = path;
  text_->setPlainText(utf8(document_.text()));
  text_->document()->setModified(false);
  messages_->clear();
  updateTitle();
  updateSteps();
  QWidget::show();
  raise();
  activateWindow();
  text_->setFocus();
}

void SourceEditor::newSource() {
  if (settleChanges()) present(assembler::SourceDocument(), QString());
}

void SourceEditor::chooseAndOpen() {
  if (!settleChanges()) return;
  const QString path = runOpenSourceDialog(this);
  if (!path.isEmpty()) openFile(path);
}

bool SourceEditor::openFile(const QString& path) {
  if (!settleChanges()) return false;
  std::string reason;
  const auto document =
      assembler::ReadSourceDocument(QFile::encodeName(path).toStdString(), reason);
  if (!document) {
    showFileErrorBox(this, path.toStdString(), reason);
    return false;
  }
  present(*document, QFileInfo(path).absoluteFilePath());
  return true;
}

bool SourceEditor::save() {
  return path_.isEmpty() ? saveAs() : writeTo(path_);
}

bool SourceEditor::saveAs() {
  const QString path = runSaveSourceDialog(this, path_);
  return !path.isEmpty() && writeTo(path);
}

bool SourceEditor::writeTo(const QString& path) {
  // Untouched, the text is the document's own (the editor would give no
  // break spaces back as blanks).
  const std::string text = modified() ? text_->toPlainText().toStdString() : document_.text();
  std::string reason;
  if (!assembler::WriteSourceFile(QFile::encodeName(path).toStdString(), document_.bytesFor(text),
                                  reason)) {
    showFileErrorBox(this, path.toStdString(), reason);
    return false;
  }
  document_.saved(text);
  path_ = QFileInfo(path).absoluteFilePath();
  text_->document()->setModified(false);
  updateTitle();
  return true;
}

bool SourceEditor::settleChanges() {
  if (!modified()) return true;
  switch (askSaveChanges(this, shownName())) {
    case UnsavedChanges::Save:
      return save();
    case UnsavedChanges::Discard:
      return true;
    case UnsavedChanges::Cancel:
      break;
  }
  return false;
}

void SourceEditor::assembleAndLoad() {
  const std::string name =
      path_.isEmpty() ? std::string("sin nombre.asm") : QFile::encodeName(path_).toStdString();
  std::vector<std::size_t> breakpoints;
  for (const int line : text_->breakpointLines())
    breakpoints.push_back(static_cast<std::size_t>(line));
  session::SourceDebugging& debugging = adapter_.debugging();
  const session::EditorLoad load =
      adapter_.assembleAndLoad(text_->toPlainText().toStdString(), name, breakpoints);
  showDiagnostics(load.diagnostics);
  if (load.loaded) {
    loaded_revision_ = text_->document()->revision();
    QList<int> lines;
    for (const std::size_t line : debugging.breakpointLines())
      lines.push_back(static_cast<int>(line));
    text_->setBreakpointLines(lines);
    text_->setLineAtPC(static_cast<int>(debugging.lineAtPC()));
  }
  if (!load.loaded) {
    QWidget::show();
    raise();
    // The first error, cursor there.
    for (int row = 0; row < messages_->count(); ++row) {
      if (messages_->item(row)->data(kErrorRole).toBool()) {
        messages_->setCurrentRow(row);
        goToMessage(messages_->item(row));
        break;
      }
    }
  }
  updateSteps();
}

void SourceEditor::showDiagnostics(const std::vector<assembler::Diagnostic>& diagnostics) {
  messages_->clear();
  for (const session::EditorMessage& m : session::diagnosticMessages(diagnostics)) {
    addMessage(m, m.error ? QColor(180, 0, 0) : QColor(150, 90, 0));
  }
}

void SourceEditor::addMessage(const session::EditorMessage& message, const QColor& colour) {
  auto* item = new QListWidgetItem(utf8(message.text), messages_);
  item->setData(kLineRole, static_cast<int>(message.line));
  item->setData(kColumnRole, static_cast<int>(message.column));
  item->setData(kErrorRole, message.error);
  item->setForeground(colour);
  messages_->scrollToItem(item);
}

void SourceEditor::textEdited() {
  // Colouring changes the layout but not the revision.
  if (loaded_revision_ >= 0 && text_->document()->revision() != loaded_revision_) {
    loaded_revision_ = -1;
    adapter_.debugging().sourceEdited();
  }
}

void SourceEditor::toggleBreakpoint() {
  toggleBreakpointAtLine(text_->cursorLine());
}

void SourceEditor::toggleBreakpointAtLine(int line) {
  const auto toggled = adapter_.debugging().toggleAtLine(static_cast<std::size_t>(line));
  if (toggled) {
    text_->setBreakpoint(static_cast<int>(toggled->line), toggled->set);
  } else {
    // Not loaded as it stands: the mark waits for Ensamblar y cargar.
    text_->setBreakpoint(line, !text_->breakpointLines().contains(line));
  }
}

void SourceEditor::toggleBreakpointAt(std::uint16_t address) {
  const session::ToggledBreakpoint toggled = adapter_.debugging().toggleAtAddress(address);
  if (toggled.line > 0) text_->setBreakpoint(static_cast<int>(toggled.line), toggled.set);
}

void SourceEditor::runToCursor() {
  if (!adapter_.debugging().runToLine(static_cast<std::size_t>(text_->cursorLine()))) {
    QApplication::beep();
  }
}

void SourceEditor::showMessageGroup(const std::vector<GroupItem>& items,
                                    std::function<void(int)> activated) {
  for (int row = messages_->count() - 1; row >= 0; --row) {
    if (messages_->item(row)->data(kGroupRole).toBool()) delete messages_->takeItem(row);
  }
  group_activated_ = std::move(activated);
  for (const GroupItem& shown : items) {
    auto* item = new QListWidgetItem(shown.text, messages_);
    item->setData(kGroupRole, true);
    item->setData(kKeyRole, shown.key);
    if (shown.failed) item->setForeground(QColor(180, 0, 0));
  }
  if (!isVisible()) {
    QWidget::show();
    raise();
  }
}

void SourceEditor::goToMessage(QListWidgetItem* item) {
  if (item->data(kGroupRole).toBool()) {
    const int key = item->data(kKeyRole).toInt();
    if (key >= 0 && group_activated_) group_activated_(key);
    return;
  }
  const int line = item->data(kLineRole).toInt();
  if (line > 0) text_->moveCursorTo(line, item->data(kColumnRole).toInt());
}

void SourceEditor::updateTitle() {
  setWindowTitle(QStringLiteral("Programa fuente: %1%2")
                     .arg(shownName(), modified() ? QStringLiteral("*") : QString()));
  file_name_->setText(shownName());
}

void SourceEditor::updateSteps() {
  steps_->setText(QStringLiteral("Pasos: %1").arg(adapter_.tuka().run.stepsSinceStart()));
}

void SourceEditor::toggleShown() {
  if (isVisible()) {
    hide();
  } else {
    QWidget::show();
    raise();
    activateWindow();
  }
}

void SourceEditor::closeEvent(QCloseEvent* event) {
  // Its title bar's close hides it, as Esconder/Mostrar does; the source
  // stays, to be shown again.
  hide();
  event->accept();
}

}  // namespace orben
