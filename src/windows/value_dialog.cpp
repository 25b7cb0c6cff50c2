#include "windows/value_dialog.h"

#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>

#include "widgets/digital_display.h"
#include "widgets/hex_char.h"
#include "widgets/live_button.h"
#include "windows/style.h"
#include "windows/tool_dialog.h"

namespace orben {

namespace {

// TDiag_Editar_Registro: the Editor, ¡Vale! and Cancelar. Every key press
// reaches Pulsacion before the control it is meant for.
class ValueDialog final : public QDialog {
 public:
  ValueDialog();

  // The key handler: a hexadecimal digit (either case) shifts the Editor's
  // digits one place left and enters at the right, and true is returned;
  // any other character changes nothing.
  bool Pulsacion(QChar key);

  WordText value() const { return WordText(editor_->value().toStdString()); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TDigitalDisplay* editor_;
};

ValueDialog::ValueDialog() {
  makeToolDialog(*this, QStringLiteral("TDiag_Editar_Registro"),
                 QStringLiteral("Editar registro/puerto"), {385, 61});
  setGeometry(QRect(QPoint(234, 261), size()));

  const QString prompt = QStringLiteral("Teclée 0..9, A..F y pulse ¡vale!");
  auto* group = new QGroupBox(prompt, this);
  group->setObjectName(QStringLiteral("GroupBox1"));
  group->setGeometry(2, 2, 177, 57);
  auto* panel = new QFrame(group);
  panel->setObjectName(QStringLiteral("Panel1"));
  panel->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  panel->setGeometry(59, 24, 58, 25);
  editor_ = new TDigitalDisplay(panel);
  editor_->setObjectName(QStringLiteral("Editor"));
  editor_->setGeometry(2, 2, 54, 21);
  editor_->setBckgndColor(Qt::black);
  editor_->setDigitOnColor(QColor(0, 255, 0));
  editor_->setDigitOffColor(kUnlitSegments);
  editor_->setValue(QStringLiteral("0000"));
  // The digits typed anywhere in the dialog go into the Editor: to
  // assistive technology it is the dialog's editable text, named by the
  // prompt around it.
  editor_->setEditing(TDigitalDisplay::Editing::Typing);
  editor_->setAccessibleName(prompt);

  TLiveButton* vale = dialogButton(QStringLiteral("LiveButton1"), QStringLiteral("¡Vale!"),
                                   Glyph::Ok, {183, 6, 97, 49}, *this);
  TLiveButton* cancel = dialogButton(QStringLiteral("LiveButton2"), QStringLiteral("Cancelar"),
                                     Glyph::Cancel, {284, 6, 97, 49}, *this);
  setTabOrder(vale, cancel);
  vale->setFocus();
  connect(vale, &TLiveButton::clicked, this, &QDialog::accept);    // LiveButton1Click
  connect(cancel, &TLiveButton::clicked, this, &QDialog::reject);  // LiveButton2Click

  // Whichever of them a key is sent to, the handler sees it first.
  installEventFilter(this);
  for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

bool ValueDialog::Pulsacion(QChar key) {
  const int digit = hexValue(key);  // lower case too, shown in upper case
  if (digit < 0) return false;
  editor_->setValue(editor_->value().mid(1, 3) + hexDigit(digit));
  return true;
}

bool ValueDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool plain =
        !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    // A digit taken into the Editor stops here: no control of the dialog
    // uses one, and a key that went on to the parent would reach the
    // handler a second time. Every other key (Enter, Space, Tab, Escape)
    // goes on to the focused button and the dialog as usual.
    if (plain && key->text().size() == 1 && Pulsacion(key->text().front())) return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace

std::optional<WordText> runValueDialog() {
  ValueDialog dialog;
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.value();
}

}  // namespace orben
