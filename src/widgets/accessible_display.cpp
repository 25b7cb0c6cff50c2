// The digital display to assistive technology: a static text whose value
// is what the display shows, or an editable text in the value entry dialog.

#include <QAccessibleWidget>

#include "widgets/accessibility.h"
#include "widgets/digital_display.h"

namespace orben {

namespace {

class AccessibleDisplay final : public QAccessibleWidget {
 public:
  explicit AccessibleDisplay(TDigitalDisplay* display) : QAccessibleWidget(display) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return display()->shownText();
    return QAccessibleWidget::text(t);
  }

  QAccessible::Role role() const override {
    return display()->editing() == TDigitalDisplay::Editing::Typing ? QAccessible::EditableText
                                                                    : QAccessible::StaticText;
  }

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    const bool typed = display()->editing() == TDigitalDisplay::Editing::Typing;
    state.editable = typed;
    state.readOnly = !typed;
    return state;
  }

  // Nothing inside a display is a control of its own.
  int childCount() const override { return 0; }
  QAccessibleInterface* child(int) const override { return nullptr; }

  QStringList actionNames() const override {
    QStringList names = QAccessibleWidget::actionNames();
    if (display()->editing() == TDigitalDisplay::Editing::Activate) names << pressAction();
    return names;
  }

  void doAction(const QString& action) override {
    if (action == pressAction() && display()->editing() == TDigitalDisplay::Editing::Activate) {
      display()->click();
      return;
    }
    QAccessibleWidget::doAction(action);
  }

 private:
  TDigitalDisplay* display() const { return static_cast<TDigitalDisplay*>(widget()); }
};

}  // namespace

QAccessibleInterface* accessibleDisplay(TDigitalDisplay* display) {
  return new AccessibleDisplay(display);
}

}  // namespace orben
