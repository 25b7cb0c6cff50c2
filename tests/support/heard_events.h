#pragma once

#include <QAccessible>
#include <QList>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QtPlugin>

namespace orben::testing {

// An accessibility event as a screen reader's bridge receives it, with the
// name and value of what it is about at that moment.
struct HeardEvent {
  QAccessible::Event type;
  QPointer<QObject> object;
  int child;
  QString name;
  QVariant value;  // a value change's new value
};

// Every accessibility event Qt hands to its bridges, heard by a bridge of
// our own. Offscreen Qt reports no assistive technology as active, so an
// update handler is never called; the bridges still get every event.
class HeardEvents {
 public:
  static QList<HeardEvent>& all();
  static void clear() { all().clear(); }
  // The events of `type` about `object` (or one of its children), in order.
  static QList<HeardEvent> of(QAccessible::Event type, const QObject* object);
  static int count(QAccessible::Event type, const QObject* object) {
    return static_cast<int>(of(type, object).size());
  }
};

}  // namespace orben::testing

Q_IMPORT_PLUGIN(HeardEventsBridgePlugin)
