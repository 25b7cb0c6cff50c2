#pragma once

// The source editor as tests drive it: its parts by name, a program typed
// as a user types it, its messages' texts.

#include <QListWidget>
#include <QPlainTextEdit>
#include <QString>
#include <QStringList>
#include <QTest>

#include "gui_support.h"

namespace orben::testing {

inline QPlainTextEdit* sourceText() {
  return find<QPlainTextEdit>(QStringLiteral("Texto_Fuente"));
}
inline QWidget* editorWindow() {
  return find<QWidget>(QStringLiteral("TEditorFuente"));
}
inline QListWidget* messageList() {
  return find<QListWidget>(QStringLiteral("Mensajes_Fuente"));
}
// Replaces the editor's whole text as a user types it.
inline void typeSource(const QString& text) {
  QPlainTextEdit* edit = sourceText();
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Delete);
  for (const QString& line : text.split(u'\n')) {
    QTest::keyClicks(edit, line);
    if (&line != &text.split(u'\n').back()) QTest::keyClick(edit, Qt::Key_Return);
  }
}
inline QStringList messageTexts() {
  QStringList texts;
  for (int row = 0; row < messageList()->count(); ++row) texts << messageList()->item(row)->text();
  return texts;
}
// Declared after the program, it goes first: a test that failed half-way
// leaves no unsaved source whose question would hold the program open.
struct UnsavedLeftBehind {
  ~UnsavedLeftBehind() {
    if (QPlainTextEdit* edit = sourceText()) edit->document()->setModified(false);
  }
};

}  // namespace orben::testing
