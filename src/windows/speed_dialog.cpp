#include "windows/speed_dialog.h"

#include <QButtonGroup>
#include <QDialog>
#include <QGroupBox>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>

#include "machine/run_control.h"
#include "widgets/live_button.h"
#include "windows/tool_dialog.h"

namespace orben {

namespace {

QString text(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace

std::optional<int> runSpeedDialog(int selected) {
  QDialog dialog;
  const QSize size(324, 252);
  makeToolDialog(dialog, QStringLiteral("TForm4"), text(kSpeedDialogTitle), size);
  if (const QScreen* screen = dialog.screen()) {
    dialog.setGeometry(
        QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, screen->geometry()));
  }

  // RadioGroup1: the eight choices spread evenly down the group, as the
  // radio group of the machine's window lays out its items.
  auto* group = new QGroupBox(text(kSpeedDialogPrompt), &dialog);
  group->setObjectName(QStringLiteral("RadioGroup1"));
  group->setGeometry(0, 0, 193, size.height());
  auto* items = new QButtonGroup(group);
  constexpr int kTop = 20;
  constexpr int kBottom = 6;
  const int count = static_cast<int>(kSpeedChoices.size());
  const int pitch = (size.height() - kTop - kBottom) / count;
  for (int i = 0; i < count; ++i) {
    auto* item = new QRadioButton(text(kSpeedChoices[static_cast<std::size_t>(i)].caption), group);
    item->setObjectName(QStringLiteral("RadioGroup1_%1").arg(i));
    item->setGeometry(8, kTop + pitch * i, 193 - 16, pitch);
    item->setChecked(i == selected);
    items->addButton(item, i);
  }
  if (QAbstractButton* checked = items->checkedButton()) checked->setFocus();

  TLiveButton* vale = dialogButton(QStringLiteral("LiveButton1"), QStringLiteral("¡Vale!"),
                                   Glyph::Ok, {197, 8, 121, 57}, dialog);
  TLiveButton* cancel = dialogButton(QStringLiteral("LiveButton2"), QStringLiteral("Cancelar"),
                                     Glyph::Cancel, {197, 72, 121, 57}, dialog);
  QObject::connect(vale, &TLiveButton::clicked, &dialog, &QDialog::accept);
  QObject::connect(cancel, &TLiveButton::clicked, &dialog, &QDialog::reject);

  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return items->checkedId();
}

}  // namespace orben
