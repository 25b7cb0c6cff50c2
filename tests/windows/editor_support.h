#pragma once

// The source editor's window and messages as tests find them (its text,
// typing into it and the unsaved-changes guard are in gui_support.h).

#include <QListWidget>
#include <QPlainTextEdit>
#include <QString>
#include <QStringList>
#include <QTest>

#include "gui_support.h"

namespace orben::testing {

inline QWidget* editorWindow() {
  return find<QWidget>(QStringLiteral("TEditorFuente"));
}
inline QListWidget* messageList() {
  return find<QListWidget>(QStringLiteral("Mensajes_Fuente"));
}
inline QStringList messageTexts() {
  QStringList texts;
  for (int row = 0; row < messageList()->count(); ++row) texts << messageList()->item(row)->text();
  return texts;
}

}  // namespace orben::testing
