#include "windows/accessible_lamp.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include "windows/lamp.h"

namespace orben {

namespace {

class AccessibleLamp final : public QAccessibleWidget {
 public:
  explicit AccessibleLamp(Lamp* lamp) : QAccessibleWidget(lamp) {}

  QAccessible::Role role() const override {
    return lamp()->isClickable() ? QAccessible::CheckBox : QAccessible::Indicator;
  }

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = true;
    state.checked = lamp()->isLit();
    state.readOnly = !lamp()->isClickable();
    return state;
  }

  // The two images are the lamp's look, not controls of their own.
  int childCount() const override { return 0; }
  QAccessibleInterface* child(int) const override { return nullptr; }

  QStringList actionNames() const override {
    QStringList names = QAccessibleWidget::actionNames();
    if (lamp()->isClickable()) names << toggleAction();
    return names;
  }

  void doAction(const QString& action) override {
    if (action == toggleAction() && lamp()->isClickable()) {
      lamp()->click();
      return;
    }
    QAccessibleWidget::doAction(action);
  }

 private:
  Lamp* lamp() const { return static_cast<Lamp*>(widget()); }
};

QAccessibleInterface* lampFactory(const QString& key, QObject* object) {
  if (key != QLatin1String(Lamp::staticMetaObject.className())) return nullptr;
  return new AccessibleLamp(static_cast<Lamp*>(object));
}

}  // namespace

void installAccessibleLamps() {
  static const bool installed = (QAccessible::installFactory(lampFactory), true);
  static_cast<void>(installed);
}

}  // namespace orben
