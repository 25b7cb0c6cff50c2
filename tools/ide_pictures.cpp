#include "ide_pictures.h"

#include <QFileDialog>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextBlock>

#include "session.h"

namespace orben {
namespace {

QPlainTextEdit* sourceText() {
  return findNamed<QPlainTextEdit>(QStringLiteral("Texto_Fuente"));
}

// Puts the editor's cursor at the start of `line` (from 1).
void cursorToLine(int line) {
  QPlainTextEdit* text = sourceText();
  text->setTextCursor(QTextCursor(text->document()->findBlockByNumber(line - 1)));
}

QStringList messages() {
  QStringList texts;
  auto* list = findNamed<QListWidget>(QStringLiteral("Mensajes_Fuente"));
  for (int row = 0; list != nullptr && row < list->count(); ++row) {
    texts << list->item(row)->text();
  }
  return texts;
}

bool openSource(Session& s, const QString& path) {
  s.then([&s, path](QWidget* modal) {
    auto* files = qobject_cast<QFileDialog*>(modal);
    if (files == nullptr || files->objectName() != QStringLiteral("DAbrir_Fuente")) {
      s.fail(QStringLiteral("DAbrir_Fuente expected"));
      if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
      return;
    }
    s.nameFile(files, path);
    QMetaObject::invokeMethod(files, "accept", Qt::QueuedConnection);
  });
  if (!s.trigger(QStringLiteral("MAbrir_fuente"))) return false;
  auto* editor = findNamed<QWidget>(QStringLiteral("TEditorFuente"));
  if (editor == nullptr || !waitFor([editor] { return exposed(editor); })) {
    return s.fail(QStringLiteral("the source editor did not come up"));
  }
  return s.answered() || s.fail(QStringLiteral("DAbrir_Fuente did not open"));
}

}  // namespace

bool playIde(Session& s, const QString& examples) {
  if (!openSource(s, examples + QStringLiteral("/suma.asm"))) return false;
  auto* editor = findNamed<QWidget>(QStringLiteral("TEditorFuente"));
  // Beside the main window, its top level with the window's.
  const QRect main = s.window()->frameGeometry();
  editor->resize(520, main.height());
  editor->move(main.right() + Session::kMargin, s.window()->geometry().top());
  settle();
  QPlainTextEdit* text = sourceText();
  // suma.asm's OUT is on line 12; its word is 0003.
  const QTextBlock out = text->document()->findBlockByNumber(11);
  if (!out.text().trimmed().startsWith(QStringLiteral("OUT"))) {
    return s.fail(QStringLiteral("suma.asm's line 12 is not its OUT"));
  }
  if (!s.trigger(QStringLiteral("MEnsamblar_y_cargar"))) return false;
  if (!messages().isEmpty()) return s.fail(QStringLiteral("suma.asm did not assemble cleanly"));
  cursorToLine(12);
  if (!s.trigger(QStringLiteral("MPunto_de_parada"))) return false;
  if (text->property("puntosDeParada").value<QList<int>>() != QList<int>{12}) {
    return s.fail(QStringLiteral("no breakpoint on line 12"));
  }
  // A timed run from 0000: it stops before the OUT.
  const Machine& machine = s.tuka().machine;
  if (!machine.stepByStep()) return s.fail(QStringLiteral("TUKA-2 is not step by step"));
  if (!s.click(QStringLiteral("BPasoPaso")) || !s.key(QStringLiteral("0000")) ||
      !s.click(QStringLiteral("BEjecutar"))) {
    return false;
  }
  if (!waitFor([&machine] { return machine.stepByStep(); }) ||
      machine.cell(kCellPC).view() != "0003") {
    return s.fail(QStringLiteral("the run did not stop at the breakpoint"));
  }
  if (text->property("lineaPC").toInt() != 12) return s.fail(QStringLiteral("lineaPC is not 12"));
  if (!findNamed<QWidget>(QStringLiteral("R3"))->property("cambiado").toBool()) {
    return s.fail(QStringLiteral("R3, the ADDS's result, is not marked as changed"));
  }
  settle();
  s.save(s.compose({s.window(), editor}), "ide.png");

  // ADDS mistyped as ADS on line 11: the error, nothing loaded.
  cursorToLine(11);
  QTextCursor cursor = text->textCursor();
  cursor.movePosition(QTextCursor::NextWord);
  cursor.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor, 4);
  if (cursor.selectedText() != QStringLiteral("ADDS")) {
    return s.fail(QStringLiteral("line 11 has no ADDS"));
  }
  text->setTextCursor(cursor);
  for (const QChar c : QStringLiteral("ADS")) typeKey(text, c);
  if (text->property("lineaPC").toInt() != 0) {
    return s.fail(QStringLiteral("an edited source still marks a line at PC"));
  }
  if (!s.trigger(QStringLiteral("MEnsamblar_y_cargar"))) return false;
  const QStringList listed = messages();
  if (listed.isEmpty() || !listed.first().startsWith(QStringLiteral("11:9: "))) {
    return s.fail(QStringLiteral("the error is not listed at 11:9"));
  }
  if (text->textCursor().blockNumber() != 10) return s.fail(QStringLiteral("cursor not on 11"));
  settle();
  s.save(s.compose({editor}), "ide_error.png");
  // Left unsaved, the closing would ask about it.
  text->document()->setModified(false);
  return s.ok();
}

}  // namespace orben
