#include "windows/tool_dialog.h"

#include <QDialog>

#include "widgets/live_button.h"

namespace orben {

void makeToolDialog(QDialog& dialog, const QString& name, const QString& caption, QSize size) {
  dialog.setObjectName(name);
  dialog.setWindowTitle(caption);
  dialog.setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowCloseButtonHint);
  dialog.setAttribute(Qt::WA_QuitOnClose, false);
  dialog.setModal(true);
  dialog.setFixedSize(size);
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(12);
  dialog.setFont(font);
}

TLiveButton* dialogButton(const QString& name, const QString& caption, Glyph which,
                          const QRect& geometry, QDialog& dialog) {
  auto* button = new TLiveButton(&dialog);
  button->setObjectName(name);
  button->setText(caption);
  button->setGlyph(glyph(which));
  button->setGeometry(geometry);
  return button;
}

}  // namespace orben
