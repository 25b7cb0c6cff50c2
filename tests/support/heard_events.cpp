#include "support/heard_events.h"

#include <QAccessibleBridge>
#include <QAccessibleBridgePlugin>

#include <algorithm>
#include <iterator>

namespace orben::testing {

QList<HeardEvent>& HeardEvents::all() {
  static QList<HeardEvent> events;
  return events;
}

QList<HeardEvent> HeardEvents::of(QAccessible::Event type, const QObject* object) {
  QList<HeardEvent> found;
  for (const HeardEvent& event : all()) {
    if (event.type == type && event.object == object) found << event;
  }
  return found;
}

namespace {

class HeardEventsBridge final : public QAccessibleBridge {
 public:
  void setRootObject(QAccessibleInterface*) override {}

  void notifyAccessibilityUpdate(QAccessibleEvent* event) override {
    HeardEvent heard{event->type(), event->object(), event->child(), {}, {}};
    if (event->type() == QAccessible::ValueChanged)
      heard.value = static_cast<QAccessibleValueChangeEvent*>(event)->value();
    // Only what these events are about is read: the others may come from
    // an object half destroyed.
    const QAccessible::Event about[] = {QAccessible::ValueChanged, QAccessible::Focus,
                                        QAccessible::Selection};
    if (std::find(std::begin(about), std::end(about), event->type()) != std::end(about)) {
      if (QAccessibleInterface* face = event->accessibleInterface())
        heard.name = face->text(QAccessible::Name);
    }
    HeardEvents::all() << heard;
  }
};

}  // namespace

}  // namespace orben::testing

class HeardEventsBridgePlugin : public QAccessibleBridgePlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QAccessibleBridgeFactoryInterface_iid FILE "heard_events.json")

 public:
  // Qt 6.4 lists a static bridge plugin twice and asks it for a bridge
  // each time: one bridge hears everything, a second would hear it again.
  // Qt never deletes its bridges: the one made stays in reach here.
  QAccessibleBridge* create(const QString&) override {
    static QAccessibleBridge* made = nullptr;
    if (made != nullptr) return nullptr;
    made = new orben::testing::HeardEventsBridge;
    return made;
  }
};

#include "heard_events.moc"
