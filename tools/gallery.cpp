// orben_gallery FOLDER: draws each of ORBEN's widgets as the machine shows
// them and saves the pictures as PNG files in FOLDER, for a person to look
// at (display.png and hex_editor.png are the README's pictures). Exits with
// 1 when a window does not come up or a picture cannot be saved.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <iterator>
#include <vector>

#include "machine/memory_store.h"
#include "picture_book.h"
#include "widgets/digital_display.h"
#include "widgets/hex_editor.h"
#include "widgets/hlistbox.h"
#include "widgets/live_button.h"
#include "windows/lamp.h"
#include "windows/pictures.h"
#include "windows/speed_dialog.h"
#include "windows/value_dialog.h"

namespace orben {
namespace {

// Shows the widget and lets its first paints happen.
bool showAndSettle(QWidget& widget) {
  widget.show();
  if (!waitFor([&] { return widget.windowHandle() && widget.windowHandle()->isExposed(); })) {
    return false;
  }
  QElapsedTimer timer;
  timer.start();
  while (!timer.hasExpired(20)) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  return true;
}

// Presses and releases a key, with the text it types.
void type(QWidget& widget, int key, const QString& text = QString()) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(&widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(&widget, &release);
}

class Gallery : public PictureBook {
 public:
  explicit Gallery(const QString& folder) : PictureBook("orben_gallery", folder) {}

  // The displays of the machine, each saved alone and then all side by
  // side, three times enlarged, in display.png.
  void displays() {
    struct Picture {
      const char* file;
      QSize size;
      QColor off;
      const char* value;
    };
    const Picture pictures[] = {
        {"display_67x26_1A2F.png", {67, 26}, QColor(0, 0, 0), "1A2F"},
        {"display_67x26_off.png", {67, 26}, QColor(0, 0, 0), "****"},
        {"display_54x21_port.png", {54, 21}, QColor(0, 91, 0), "00C5"},
        {"display_108x35_default.png", {108, 35}, QColor(0, 64, 0), "12:3.4"},
    };
    const int scale = 3;
    const int gap = 8;
    const int cell = TDigitalDisplay::kDefaultWidth * scale + gap;
    const int height = TDigitalDisplay::kDefaultHeight * scale;
    QImage all(gap + 4 * cell, height + 2 * gap, QImage::Format_RGB32);
    all.fill(QColor(64, 64, 64));
    QPainter painter(&all);
    int x = gap;
    for (const Picture& p : pictures) {
      TDigitalDisplay display;
      display.resize(p.size);
      display.setDigitOffColor(p.off);
      display.setValue(QString::fromLatin1(p.value));
      const QImage image = display.grab().toImage().convertToFormat(QImage::Format_RGB32);
      save(image, p.file);
      const QImage big = image.scaled(image.size() * scale);
      painter.drawImage(x, gap + (height - big.height()) / 2, big);
      x += cell;
    }
    painter.end();
    save(all, "display.png");
  }

  // Front panel buttons (On/Off lit as under the pointer, Dirección
  // disabled with its disabled glyph, a keypad key) and a dialog's ¡Vale!.
  void buttons() {
    QWidget panel;
    panel.setAutoFillBackground(true);
    QPalette palette = panel.palette();
    palette.setColor(QPalette::Window, QColor(192, 192, 192));
    panel.setPalette(palette);
    panel.resize(8 + 108 + 8 + 110 + 8 + 32 + 8 + 97 + 8, 8 + 49 + 8);
    const auto frontPanel = [&](const QString& caption, QSize size, int x) {
      auto* button = new TLiveButton(&panel);
      button->setText(caption);
      QFont font(QStringLiteral("MS Sans Serif"));
      font.setPixelSize(15);
      font.setStyleStrategy(QFont::NoAntialias);
      button->setFont(font);
      button->setCaptionColor(TLiveButton::kLeftColor);
      button->setMargin(3);
      button->setCursor(Qt::PointingHandCursor);
      button->setGeometry(QRect(QPoint(x, 8), size));
      return button;
    };

    TLiveButton* onOff = frontPanel(QStringLiteral("On/Off"), {108, 31}, 8);
    onOff->setGlyph(glyph(Glyph::Power));
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), onOff->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(onOff, &enter);

    TLiveButton* direction = frontPanel(QStringLiteral("D&irección"), {110, 29}, 124);
    direction->setGlyph(glyph(Glyph::Address), glyph(Glyph::Address, true));
    direction->setEnabled(false);
    frontPanel(QStringLiteral("&A"), {32, 29}, 242);

    auto* vale = new TLiveButton(&panel);
    vale->setText(QStringLiteral("¡Vale!"));
    vale->setGlyph(glyph(Glyph::Ok));
    vale->setGeometry(282, 8, 97, 49);
    save(panel.grab().toImage(), "live_buttons.png");
  }

  // The drawn pictures on the panels' teal and grey, at their own size and
  // three times enlarged: lamps off and on, toolbar icons, glyphs (normal
  // and disabled), cables, chip, processor with its flag lamps, ALU.
  void pictures() {
    QImage sheet(440, 150, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(0, 128, 128));
    QPainter painter(&sheet);
    painter.fillRect(0, 75, 440, 75, QColor(212, 208, 200));
    for (int band = 0; band < 2; ++band) {
      const int top = 75 * band;
      int x = 4;
      for (LampColour colour : {LampColour::Red, LampColour::Green, LampColour::Amber}) {
        painter.drawPixmap(x, top + 4, lampPicture(colour, false));
        painter.drawPixmap(x, top + 27, lampPicture(colour, true));
        x += 23;
      }
      for (int i = 0; i < kToolbarIconCount; ++i)
        painter.drawPixmap(x + 22 * i, top + 4, toolbarIcon(i));
      for (int i = 0; i <= static_cast<int>(Glyph::Cancel); ++i) {
        painter.drawPixmap(x + 22 * i, top + 27, glyph(static_cast<Glyph>(i)));
        painter.drawPixmap(x + 22 * i, top + 50, glyph(static_cast<Glyph>(i), true));
      }
      painter.drawPixmap(4, top + 52, cablePicture(Pointing::Right, 40));
      painter.drawPixmap(x + 204, top + 4, cablePicture(Pointing::Down, 18));
      painter.drawPixmap(x + 220, top + 4, cablePicture(Pointing::Up, 18));
      painter.drawPixmap(x + 236, top + 4, chipPicture());
      painter.drawPixmap(
          x + 300, top + 4,
          aluPicture().scaled(60, 40, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
    painter.end();
    save(sheet, "pictures.png");
    save(sheet.scaled(sheet.size() * 3), "pictures_x3.png");

    QWidget processor;
    processor.resize(150, 60);
    auto* label = new QLabel(&processor);
    label->setPixmap(processorPicture());
    label->adjustSize();
    for (int i = 0; i < 4; ++i) {
      auto* lamp =
          new Lamp(QStringLiteral("OFF"), QStringLiteral("ON"), lampPicture(LampColour::Red, false),
                   lampPicture(LampColour::Red, true), &processor);
      lamp->move(19 + 30 * i, 12);
      lamp->setLit(i % 2 == 1);
    }
    save(processor.grab().toImage().scaled(450, 180), "processor_x3.png");
  }

  // The two dialogs as they open, the value entry dialog after 1, a, 2.
  void dialogs() {
    const auto grabModal = [this](const char* file, const QString& keys) {
      QTimer::singleShot(0, [this, file, keys] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr) {
          fail(QStringLiteral("no dialog"));
          return;
        }
        if (!showAndSettle(*dialog)) fail(QStringLiteral("a dialog did not come up"));
        QWidget* focus = dialog->focusWidget() ? dialog->focusWidget() : dialog;
        for (QChar key : keys) type(*focus, key.toUpper().unicode(), key);
        save(dialog->grab().toImage(), file);
        dialog->close();
      });
    };
    grabModal("value_dialog.png", QStringLiteral("1a2"));
    runValueDialog();
    grabModal("speed_dialog.png", QString());
    runSpeedDialog(3);
  }

  // A program listing with its third line selected.
  void listing() {
    THListBox box;
    box.resize(377, 255);
    for (const char* line :
         {"[0000]: LLI R1, H'05", "[0001]: LLI R2, H'07", "[0002]: ADDS R3, R1, R2",
          "[0003]: OUT R3, H'01", "[0004]: HALT", "[0005]:\t2105\t(tab)"}) {
      box.addLine(QString::fromLatin1(line));
    }
    box.selectLine(2);
    if (!showAndSettle(box)) fail(QStringLiteral("the listing did not come up"));
    save(box.grab().toImage(), "listing.png");
  }

  // The memory grid holding a program, two words typed over (changed marks
  // in both areas) and the focused caret on a low digit.
  void memoryGrid() {
    std::vector<std::uint8_t> bytes(MemoryStore::kMachineBytes);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      bytes[i] = static_cast<std::uint8_t>(i * 7 + 0x3C);
    }
    const std::uint8_t program[] = {0x41, 0x05, 0x4F, 0x52, 0x42, 0x45, 0x4E, 0x00, 0x7F, 0x20};
    std::copy(std::begin(program), std::end(program), bytes.begin());
    MemoryStore store;
    store.replace(std::move(bytes));

    THexEditor grid;
    grid.setMemoryStore(&store);
    grid.resize(grid.sizeHint());
    if (!showAndSettle(grid)) fail(QStringLiteral("the memory grid did not come up"));
    grid.activateWindow();
    grid.setFocus();
    if (!waitFor([&] { return grid.isActiveWindow() && grid.hasFocus(); })) {
      fail(QStringLiteral("the memory grid did not take the focus"));
    }
    grid.setCaret(0x0A);
    for (QChar digit : QStringLiteral("1234")) type(grid, digit.unicode(), digit);
    type(grid, Qt::Key_Tab);
    type(grid, Qt::Key_H, QStringLiteral("H"));
    type(grid, Qt::Key_I, QStringLiteral("i"));
    grid.setCaret(0x12, THexEditor::Area::Digits, 1);
    save(grid.grab().toImage(), "hex_editor.png");
  }
};

}  // namespace
}  // namespace orben

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QString folder;
  if (const int status = orben::PictureBook::folderOf(argc, argv, "orben_gallery", folder)) {
    return status;
  }
  orben::Gallery gallery(folder);
  gallery.displays();
  gallery.buttons();
  gallery.listing();
  gallery.memoryGrid();
  gallery.pictures();
  gallery.dialogs();
  return gallery.ok() ? 0 : 1;
}
