#include "windows/pictures.h"

#include <QFont>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orben {

namespace {

// One LED's colours: the lit lens from its hot centre to its rim, and the
// dark lens.
struct LedColours {
  QColor hot, lit, lit_rim, dark, dark_rim;
};

LedColours ledColours(LampColour colour) {
  switch (colour) {
    case LampColour::Green:
      return {{225, 255, 215}, {40, 230, 40}, {0, 120, 0}, {30, 84, 30}, {6, 30, 6}};
    case LampColour::Amber:
      return {{255, 250, 205}, {255, 190, 0}, {190, 105, 0}, {100, 74, 14}, {40, 28, 4}};
    case LampColour::Red:
      break;
  }
  return {{255, 215, 200}, {255, 40, 25}, {160, 0, 0}, {96, 22, 22}, {38, 6, 6}};
}

void drawLamp(QPainter& p, LampColour colour, bool lit) {
  const LedColours c = ledColours(colour);
  const QPointF centre(10.5, 10.5);

  // The bezel, lit from above: light at the top, dark at the bottom.
  QLinearGradient bezel(0, 0, 0, kLampSize);
  bezel.setColorAt(0, QColor(225, 225, 225));
  bezel.setColorAt(1, QColor(70, 70, 70));
  p.setPen(QPen(QColor(40, 40, 40), 0.8));
  p.setBrush(bezel);
  p.drawEllipse(centre, 10, 10);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(25, 25, 25));
  p.drawEllipse(centre, 8.2, 8.2);

  // The lens.
  QRadialGradient lens(centre, 7.5, QPointF(9, 8.5));
  if (lit) {
    lens.setColorAt(0, c.hot);
    lens.setColorAt(0.45, c.lit);
    lens.setColorAt(1, c.lit_rim);
  } else {
    lens.setColorAt(0, c.dark);
    lens.setColorAt(1, c.dark_rim);
  }
  p.setBrush(lens);
  p.drawEllipse(centre, 7.4, 7.4);

  // A lit LED glows over its bezel.
  if (lit) {
    QColor glow = c.lit;
    QRadialGradient halo(centre, 10.5);
    glow.setAlpha(0);
    halo.setColorAt(0.68, glow);
    glow.setAlpha(150);
    halo.setColorAt(0.78, glow);
    glow.setAlpha(0);
    halo.setColorAt(1, glow);
    p.setBrush(halo);
    p.drawEllipse(centre, 10.5, 10.5);
  }

  // The reflection on the lens.
  p.setBrush(QColor(255, 255, 255, lit ? 210 : 80));
  p.drawEllipse(QRectF(6.2, 5.6, 5.2, 3.4));
}

void drawFolder(QPainter& p) {
  const QPen edge(QColor(140, 98, 18), 1);
  QPainterPath back;
  back.moveTo(1.5, 16.5);
  back.lineTo(1.5, 4.5);
  back.lineTo(7.0, 4.5);
  back.lineTo(9.0, 6.5);
  back.lineTo(17.5, 6.5);
  back.lineTo(17.5, 16.5);
  back.closeSubpath();
  p.setPen(edge);
  p.setBrush(QColor(222, 170, 52));
  p.drawPath(back);

  QLinearGradient face(0, 9, 0, 17);
  face.setColorAt(0, QColor(255, 228, 130));
  face.setColorAt(1, QColor(240, 186, 60));
  p.setBrush(face);
  p.drawPolygon(QPolygonF({{1.5, 16.5}, {4.5, 9.5}, {19.0, 9.5}, {17.5, 16.5}}));
}

// A sheet of source text: a page with its corner folded and lines of text.
void drawSourceSheet(QPainter& p) {
  p.setPen(QPen(QColor(70, 80, 100), 1));
  p.setBrush(QColor(250, 250, 245));
  p.drawPolygon(QPolygonF({{3.5, 1.5}, {12.5, 1.5}, {16.5, 5.5}, {16.5, 18.5}, {3.5, 18.5}}));
  p.setBrush(QColor(205, 210, 220));
  p.drawPolygon(QPolygonF({{12.5, 1.5}, {12.5, 5.5}, {16.5, 5.5}}));
  const QColor navy(0, 0, 128);
  const QColor inks[] = {navy, QColor(0, 128, 0), navy, QColor(128, 0, 128), navy};
  for (int line = 0; line < 5; ++line) {
    p.setPen(QPen(inks[line], 1));
    const double y = 7.5 + 2.3 * line;
    p.drawLine(QPointF(5.5, y), QPointF(line % 2 == 0 ? 14.5 : 11.5, y));
  }
}

void drawGear(QPainter& p) {
  const QPointF centre(10, 10);
  constexpr int kTeeth = 8;
  QPainterPath gear;
  for (int i = 0; i < kTeeth; ++i) {
    const double tooth = 360.0 / kTeeth * i;
    for (const auto& [offset, radius] :
         {std::pair{-14.0, 6.6}, std::pair{-8.0, 9.3}, std::pair{8.0, 9.3}, std::pair{14.0, 6.6}}) {
      const double a = (tooth + offset) * std::numbers::pi / 180.0;
      const QPointF point = centre + radius * QPointF(std::cos(a), std::sin(a));
      if (gear.elementCount() == 0) {
        gear.moveTo(point);
      } else {
        gear.lineTo(point);
      }
    }
  }
  gear.closeSubpath();
  gear.addEllipse(centre, 2.6, 2.6);  // the hole: odd-even fill leaves it empty
  QLinearGradient steel(0, 1, 0, 19);
  steel.setColorAt(0, QColor(215, 220, 230));
  steel.setColorAt(1, QColor(110, 118, 135));
  p.setPen(QPen(QColor(55, 58, 70), 1));
  p.setBrush(steel);
  p.drawPath(gear);
}

// A chip body from above with `per_side` pins on each of its four sides.
void drawSquareChip(QPainter& p, const QRectF& body, int per_side) {
  const double pitch = body.width() / per_side;
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(175, 178, 185));
  for (int i = 0; i < per_side; ++i) {
    const double along = pitch * (i + 0.5) - 1;
    p.drawRect(QRectF(body.left() + along, body.top() - 3, 2, 3));
    p.drawRect(QRectF(body.left() + along, body.bottom(), 2, 3));
    p.drawRect(QRectF(body.left() - 3, body.top() + along, 3, 2));
    p.drawRect(QRectF(body.right(), body.top() + along, 3, 2));
  }
  QLinearGradient shade(body.topLeft(), body.bottomRight());
  shade.setColorAt(0, QColor(80, 82, 92));
  shade.setColorAt(1, QColor(25, 25, 30));
  p.setPen(QPen(QColor(10, 10, 10), 1));
  p.setBrush(shade);
  p.drawRoundedRect(body, 1, 1);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(150, 150, 160));
  p.drawEllipse(body.topLeft() + QPointF(2.6, 2.6), 1.1, 1.1);
}

// A row of package legs hanging from `top` (down) or standing on it (up).
void drawLegs(QPainter& p, double left, double pitch, int count, double top, double length) {
  QLinearGradient metal(0, top, 0, top + length);
  metal.setColorAt(0, QColor(225, 225, 228));
  metal.setColorAt(1, QColor(140, 140, 148));
  p.setPen(QPen(QColor(95, 95, 100), 0.8));
  p.setBrush(metal);
  for (int i = 0; i < count; ++i) p.drawRect(QRectF(left + pitch * i, top, 3, length));
}

// A dark package body with its bevel.
void drawBody(QPainter& p, const QRectF& body, double radius) {
  QLinearGradient shade(0, body.top(), 0, body.bottom());
  shade.setColorAt(0, QColor(72, 74, 84));
  shade.setColorAt(1, QColor(26, 26, 30));
  p.setPen(QPen(QColor(10, 10, 12), 1));
  p.setBrush(shade);
  p.drawRoundedRect(body, radius, radius);
  p.setPen(QPen(QColor(255, 255, 255, 40), 1));
  p.setBrush(Qt::NoBrush);
  p.drawLine(body.topLeft() + QPointF(radius, 1), body.topRight() + QPointF(-radius, 1));
}

QFont pictureFont(int pixels) {
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(pixels);
  font.setBold(true);
  return font;
}

void drawChip(QPainter& p) {
  drawLegs(p, 7.5, 6.5, 7, 2.5, 7);
  drawLegs(p, 7.5, 6.5, 7, 30.5, 7);
  const QRectF body(3.5, 8.5, 53, 23);
  drawBody(p, body, 2);
  // The notch at pin 1's end.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(12, 12, 14));
  p.drawPie(QRectF(0.5, 16.5, 7, 7), 90 * 16, -180 * 16);
  p.setPen(QColor(205, 205, 210));
  p.setFont(pictureFont(9));
  p.drawText(body.adjusted(4, 0, 0, 0), Qt::AlignCenter, QStringLiteral("TUKA-2"));
}

void drawProcessor(QPainter& p) {
  constexpr int kLegs = 20;
  drawLegs(p, 12.5, 6.5, kLegs, 0.5, 8);
  drawLegs(p, 12.5, 6.5, kLegs, 51.5, 8);
  const QRectF body(8.5, 7.5, 133, 45);
  drawBody(p, body, 3);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(95, 95, 105));
  p.drawEllipse(QPointF(13.5, 47.5), 1.6, 1.6);
}

// An arrow of pen width 2 from `from` to `to`, with a filled head at `to`.
void drawArrow(QPainter& p, QPointF from, QPointF to) {
  const QPointF way = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
  const QPointF side(-way.y(), way.x());
  p.setPen(QPen(QColor(30, 30, 30), 2));
  p.drawLine(from, to - 4 * way);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(30, 30, 30));
  p.drawPolygon(QPolygonF({to, to - 5 * way + 3.5 * side, to - 5 * way - 3.5 * side}));
}

void drawAlu(QPainter& p) {
  drawArrow(p, {30, 0}, {30, 10});
  drawArrow(p, {90, 0}, {90, 10});
  drawArrow(p, {60, 70}, {60, 80});
  const QPolygonF shape(
      {{4, 10}, {50, 10}, {60, 24}, {70, 10}, {116, 10}, {92, 70}, {28, 70}, {4, 10}});
  QLinearGradient face(0, 10, 0, 70);
  face.setColorAt(0, QColor(240, 242, 244));
  face.setColorAt(1, QColor(180, 188, 196));
  p.setPen(QPen(QColor(35, 35, 40), 1.5, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  p.setBrush(face);
  p.drawPolygon(shape);
  p.setPen(QColor(0, 80, 80));
  p.setFont(pictureFont(18));
  p.drawText(QRectF(28, 28, 64, 36), Qt::AlignCenter, QStringLiteral("ALU"));
}

void drawCable(QPainter& p, Pointing pointing, double length) {
  const double t = kCableThickness;
  switch (pointing) {
    case Pointing::Right:
      break;
    case Pointing::Left:
      p.translate(length, 0);
      p.scale(-1, 1);
      break;
    case Pointing::Up:
      p.translate(0, length);
      p.rotate(-90);
      break;
    case Pointing::Down:
      p.translate(t, 0);
      p.rotate(90);
      break;
  }
  // Drawn pointing right: a band 6 thick with a head the cable's thickness.
  const double neck = length - 8;
  const QPolygonF shape({{0.5, 3},
                         {neck, 3},
                         {neck, 0.5},
                         {length - 0.5, t / 2},
                         {neck, t - 0.5},
                         {neck, t - 3},
                         {0.5, t - 3}});
  QLinearGradient band(0, 0, 0, t);
  band.setColorAt(0, QColor(245, 245, 245));
  band.setColorAt(1, QColor(165, 170, 175));
  p.setPen(QPen(QColor(40, 40, 45), 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
  p.setBrush(band);
  p.drawPolygon(shape);
}

}  // namespace

QPixmap drawnPicture(const QString& key, QSize size, const std::function<void(QPainter&)>& draw) {
  // Drawn at the highest density of the screens, in whole device pixels.
  const qreal ratio = std::max<qreal>(1, std::ceil(qGuiApp->devicePixelRatio()));
  const QString full_key = QStringLiteral("orben/%1@%2").arg(key).arg(ratio);
  QPixmap pixmap;
  if (QPixmapCache::find(full_key, &pixmap)) return pixmap;
  pixmap = QPixmap(size * ratio);
  pixmap.setDevicePixelRatio(ratio);
  pixmap.fill(Qt::transparent);
  {
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    draw(painter);
  }
  QPixmapCache::insert(full_key, pixmap);
  return pixmap;
}

QPixmap lampPicture(LampColour colour, bool lit) {
  const QString key = QStringLiteral("lamp/%1/%2").arg(static_cast<int>(colour)).arg(lit);
  return drawnPicture(key, {kLampSize, kLampSize}, [&](QPainter& p) { drawLamp(p, colour, lit); });
}

QPixmap toolbarIcon(int index) {
  if (index < 0 || index >= kToolbarIconCount) return {};
  return drawnPicture(QStringLiteral("toolbar/%1").arg(index), {kToolbarIconSize, kToolbarIconSize},
                      [&](QPainter& p) {
                        if (index == 0) drawFolder(p);
                        if (index == 1) drawGear(p);
                        if (index == 2) drawSquareChip(p, QRectF(4.5, 4.5, 11, 11), 3);
                        if (index == 3) drawSourceSheet(p);
                      });
}

QPixmap chipPicture() {
  return drawnPicture(QStringLiteral("chip"), {60, 40}, drawChip);
}

QPixmap processorPicture() {
  return drawnPicture(QStringLiteral("processor"), {150, 60}, drawProcessor);
}

QPixmap aluPicture() {
  return drawnPicture(QStringLiteral("alu"), {120, 80}, drawAlu);
}

QPixmap cablePicture(Pointing pointing, int length) {
  length = std::max(length, 12);
  const bool across = pointing == Pointing::Left || pointing == Pointing::Right;
  const QSize size = across ? QSize(length, kCableThickness) : QSize(kCableThickness, length);
  return drawnPicture(QStringLiteral("cable/%1/%2").arg(static_cast<int>(pointing)).arg(length),
                      size, [&](QPainter& p) { drawCable(p, pointing, length); });
}

}  // namespace orben
