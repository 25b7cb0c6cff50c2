#include "support/heard_events.h"

#include <QAccessibleBridge>
#include <QAccessibleBridgePlugin>

#include <utility>

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
    HeardEvent heard{event->type(), event->object(), event->child(), {}, {}, {}};
    switch (event->type()) {
      case QAccessible::ValueChanged:
        heard.value = static_cast<QAccessibleValueChangeEvent*>(event)->value();
        break;
      case QAccessible::StateChanged:
        heard.changed = static_cast<QAccessibleStateChangeEvent*>(event)->changedStates();
        break;
      case QAccessible::Focus:
      case QAccessible::Selection:
        break;
      default:
        HeardEvents::all() << heard;
        return;  // nothing more is read of what other events are about
    }
    if (QAccessibleInterface* about = event->accessibleInterface()) {
      heard.name = about->text(QAccessible::Name);
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
  QAccessibleBridge* create(const QString&) override {
    static bool made = false;
    if (std::exchange(made, true)) return nullptr;
    return new orben::testing::HeardEventsBridge;
  }
};

#include "heard_events.moc"
