#pragma once

// The source editor's window and messages as tests find them (its text,
// typing into it and the unsaved-changes guard are in gui_support.h).

#include <QApplication>
#include <QListWidget>
#include <QMap>
#include <QPlainTextEdit>
#include <QString>
#include <QStringList>
#include <QTest>

#include "gui_support.h"
#include "widgets/digital_display.h"

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

// Every display's text, by name.
inline QMap<QString, QString> displays() {
  QMap<QString, QString> shown;
  for (QWidget* top : QApplication::topLevelWidgets()) {
    for (auto* display : top->findChildren<orben::TDigitalDisplay*>()) {
      if (!display->objectName().isEmpty()) shown[display->objectName()] = display->value();
    }
  }
  return shown;
}
// The displays marked as changed are exactly those whose text differs.
inline void checkChangedDisplays(const QMap<QString, QString>& before) {
  const QMap<QString, QString> after = displays();
  int marked = 0;
  for (auto it = after.begin(); it != after.end(); ++it) {
    const bool changed = before.value(it.key()) != it.value();
    auto* display = find<QWidget>(it.key());
    QVERIFY2(display->property("cambiado").toBool() == changed, qPrintable(it.key()));
    marked += changed;
  }
  QVERIFY(marked > 0);
}

}  // namespace orben::testing
