#include "windows/port_window.h"

#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include "machine/cells.h"
#include "panel/front_panel.h"
#include "widgets/digital_display.h"
#include "widgets/hex_char.h"
#include "windows/display_binding.h"
#include "windows/machine_adapter.h"
#include "windows/style.h"

namespace orben {

namespace {

// One port: a sunken panel with the port number at its left and the
// display beside it.
constexpr int kPanelWidth = 80;
constexpr int kPanelHeight = 25;
constexpr QRect kLabelPlace{2, 2, 19, 21};
// The port number's Courier: small, its digits still 8 pixels high or more.
constexpr int kLabelPixels = 13;
constexpr QPoint kDisplayPlace{22, 2};
constexpr QSize kDisplaySize{54, 21};
// The grid of a page: four columns of eight ports.
constexpr int kRows = 8;
constexpr int kColumns = 4;
constexpr int kColumnGap = 16;
constexpr int kRowGap = 6;

const QColor kRed{255, 0, 0};

}  // namespace

PortWindow::PortWindow(Kind kind, MachineAdapter& adapter) : adapter_(adapter), kind_(kind) {
  setAttribute(Qt::WA_QuitOnClose, false);  // only the main window ends the program
  auto* pages = new QTabWidget(this);
  pages->setObjectName(QStringLiteral("PageControl1"));
  pages->setFont(sansFont(11));
  pages->addTab(createPage(QStringLiteral("TabSheet1"), 0x00), QStringLiteral("0..1F"));
  pages->addTab(createPage(QStringLiteral("TabSheet2"), 0x20), QStringLiteral("20..3F"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(pages);

  if (kind_ == Kind::Input) {
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("Los 64 primeros puertos de entrada:"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(402, 321);
  } else {
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral("Los 64 primeros puertos de salida:"));
    setGeometry(199, 168, 410, 338);
  }
  bindDisplays(adapter_, this);
}

QWidget* PortWindow::createPage(const QString& name, int first) {
  auto* page = new QWidget;
  page->setObjectName(name);
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(kColumnGap);
  grid->setVerticalSpacing(kRowGap);
  for (int column = 0; column < kColumns; ++column) {
    for (int row = 0; row < kRows; ++row) {
      // Centred in its cell, so that rows may spread apart.
      grid->addWidget(createPort(first + kRows * column + row, page), row, column, Qt::AlignCenter);
    }
  }
  auto* centred = new QHBoxLayout;
  centred->addStretch();
  centred->addLayout(grid);
  centred->addStretch();

  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(6, 8, 6, 6);
  if (kind_ == Kind::Output) {
    // No hint at the foot: the rows spread over the whole page.
    layout->addLayout(centred, 1);
    return page;
  }
  layout->addLayout(centred);
  layout->addStretch();
  // The input ports' pages carry the teal hint at their foot.
  auto* hint = new QLabel(
      QStringLiteral("Para editar cada registro, haz click sobre el display correspondiente"),
      page);
  hint->setObjectName(QStringLiteral("Ayuda_") + name);
  hint->setFont(sansFont(11));
  QPalette palette = hint->palette();
  palette.setColor(QPalette::WindowText, kTeal);
  hint->setPalette(palette);
  hint->setAlignment(Qt::AlignHCenter);
  layout->addWidget(hint);
  return page;
}

QWidget* PortWindow::createPort(int port, QWidget* page) {
  const QString number = hexText(port, 2);
  const QString name =
      (kind_ == Kind::Input ? QStringLiteral("PIN_") : QStringLiteral("PO_")) + number;
  auto* panel = new QFrame(page);
  panel->setObjectName(QStringLiteral("Panel_") + name);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setLineWidth(1);
  panel->setFixedSize(kPanelWidth, kPanelHeight);

  // Port 01 of each kind, and output port 02, are the ones the front panel
  // also shows: their numbers stand out.
  const bool highlighted = port == 1 || (kind_ == Kind::Output && port == 2);
  auto* label = new QLabel(number, panel);
  label->setObjectName(QStringLiteral("Label_") + name);
  label->setFont(monoFont(kLabelPixels, highlighted));
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, highlighted ? kRed : kBlue);
  label->setPalette(palette);
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  label->setGeometry(kLabelPlace);

  auto* display = new TDigitalDisplay(panel);
  display->setObjectName(name);
  // Background black and lit segments lime, as every display starts.
  display->setDigitOffColor(kUnlitSegments);
  const QSize size = port == 0 && kind_ == Kind::Input ? QSize(55, 21) : kDisplaySize;
  display->setGeometry(QRect(kDisplayPlace, size));
  display->setFixedSize(size);
  display->setValue(QStringLiteral("****"));
  // The kind of port, as the window's caption says it, and the number
  // beside the display.
  display->setAccessibleName((kind_ == Kind::Input ? QStringLiteral("Puerto de entrada ")
                                                   : QStringLiteral("Puerto de salida ")) +
                             number);

  if (kind_ == Kind::Input) {
    display->setCursor(Qt::PointingHandCursor);
    display->setEditing(TDigitalDisplay::Editing::Activate);
    if (port == 1) {
      connect(display, &TDigitalDisplay::clicked, this,
              [this, display] { Modifica_IP01(display); });
    } else {
      connect(display, &TDigitalDisplay::clicked, this,
              [this, display] { Modifica_Puerto_IP(display); });
    }
  }
  return panel;
}

void PortWindow::Modifica_IP01(TDigitalDisplay* clicked) {
  editCellByHand(adapter_.tuka().machine, *cellOfDisplay(clicked->objectName().toStdString()));
}

void PortWindow::Modifica_Puerto_IP(TDigitalDisplay* clicked) {
  editCellByHand(adapter_.tuka().machine, *cellOfDisplay(clicked->objectName().toStdString()));
}

void PortWindow::toggleShown() {
  if (isVisible()) {
    hide();
    return;
  }
  show();
  raise();
  activateWindow();
}

void PortWindow::showEvent(QShowEvent* event) {
  // The input ports window is centred on the screen the first time it
  // shows; afterwards it stays where the user left it.
  if (kind_ == Kind::Input && !placed_ && !event->spontaneous()) {
    placed_ = true;
    if (const QScreen* where = screen()) {
      QRect place = geometry();
      place.moveCenter(where->availableGeometry().center());
      setGeometry(place);
    }
  }
  QWidget::showEvent(event);
}

}  // namespace orben
