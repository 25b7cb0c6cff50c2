#include "windows/style.h"

#include <QLabel>

#include "widgets/digital_display.h"

namespace orben {

QFont sansFont(int pixels, bool bold) {
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

QFont panelButtonFont() {
  QFont font = sansFont(15);
  font.setStretch(90);
  return font;
}

QFont monoFont(int pixels, bool bold) {
  QFont font(QStringLiteral("Liberation Mono"));
  font.setStyleHint(QFont::TypeWriter);
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

QLabel* titleLabel(const QString& text, QWidget* parent, int pixels) {
  auto* label = new QLabel(text, parent);
  label->setFont(sansFont(pixels, true));
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, kTeal);
  label->setPalette(palette);
  return label;
}

QLabel* registerLabel(const QString& name, const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setFont(monoFont(11, true));
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, kBlue);
  label->setPalette(palette);
  return label;
}

TDigitalDisplay* panelDisplay(const QString& name, QWidget* parent, const QString& spoken) {
  auto* display = new TDigitalDisplay(parent);
  display->setObjectName(name);
  display->setAccessibleName(spoken);
  display->resize(67, 26);
  display->setFixedSize(67, 26);
  display->setDigitOffColor(Qt::black);
  display->setValue(QStringLiteral("****"));
  return display;
}

}  // namespace orben
