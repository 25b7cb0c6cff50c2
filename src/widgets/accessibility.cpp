#include "widgets/accessibility.h"

#include <QAccessible>

#include "widgets/digital_display.h"
#include "widgets/hex_editor.h"
#include "widgets/hlistbox.h"

namespace orben {

namespace {

QAccessibleInterface* widgetFactory(const QString& key, QObject* object) {
  if (key == QLatin1String(TDigitalDisplay::staticMetaObject.className())) {
    return accessibleDisplay(static_cast<TDigitalDisplay*>(object));
  }
  if (key == QLatin1String(THexEditor::staticMetaObject.className())) {
    return accessibleMemoryGrid(static_cast<THexEditor*>(object));
  }
  if (key == QLatin1String(THListBox::staticMetaObject.className())) {
    return accessibleListing(static_cast<THListBox*>(object));
  }
  return nullptr;
}

}  // namespace

void installAccessibleWidgets() {
  static const bool installed = (QAccessible::installFactory(widgetFactory), true);
  static_cast<void>(installed);
}

}  // namespace orben
