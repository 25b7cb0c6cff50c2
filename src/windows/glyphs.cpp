// The glyphs of the push-buttons, normal and disabled.

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

#include "windows/pictures.h"

namespace orben {

namespace {

const QColor kGreen(40, 165, 40);
const QColor kDarkGreen(0, 95, 0);

QPen roundPen(const QColor& colour, double width) {
  return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A green shape shaded from the top, as the play glyphs are.
void fillGreen(QPainter& p, const QPolygonF& shape) {
  QLinearGradient shade(0, 2, 0, 18);
  shade.setColorAt(0, QColor(120, 220, 120));
  shade.setColorAt(1, QColor(0, 130, 0));
  p.setPen(QPen(kDarkGreen, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(shade);
  p.drawPolygon(shape);
}

void drawPower(QPainter& p) {
  p.setPen(roundPen(QColor(200, 30, 30), 2.2));
  p.drawArc(QRectF(3.5, 4, 13, 13), 125 * 16, 290 * 16);
  p.drawLine(QPointF(10, 2.2), QPointF(10, 9.5));
}

// One footprint: the sole with its toes at the top, the heel below it.
void drawFoot(QPainter& p, QPointF at, double tilt) {
  p.save();
  p.translate(at);
  p.rotate(tilt);
  p.drawEllipse(QRectF(-2.6, -4.5, 5.2, 7.4));
  p.drawEllipse(QRectF(-1.8, 3.6, 3.6, 3.4));
  p.restore();
}

void drawStep(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(70, 70, 75));
  drawFoot(p, {6, 12}, -10);
  drawFoot(p, {14, 5.5}, 10);
}

// Three memory words stacked, the middle one marked.
void drawWords(QPainter& p, const QRectF& stack, bool mark_middle) {
  const double row = stack.height() / 3;
  p.setPen(QPen(QColor(80, 80, 90), 1));
  p.setBrush(QColor(248, 248, 248));
  p.drawRect(stack);
  if (mark_middle) {
    p.setBrush(QColor(255, 222, 90));
    p.drawRect(QRectF(stack.left(), stack.top() + row, stack.width(), row));
  }
  p.drawLine(QPointF(stack.left(), stack.top() + row), QPointF(stack.right(), stack.top() + row));
  p.drawLine(QPointF(stack.left(), stack.top() + 2 * row),
             QPointF(stack.right(), stack.top() + 2 * row));
}

void drawAddress(QPainter& p) {
  drawWords(p, QRectF(9.5, 2.5, 9, 15), true);
  const QColor blue(0, 70, 190);
  p.setPen(roundPen(blue, 2));
  p.drawLine(QPointF(1.5, 10), QPointF(5, 10));
  p.setPen(QPen(blue, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(blue);
  p.drawPolygon(QPolygonF({{4.5, 6.5}, {8.5, 10}, {4.5, 13.5}}));
}

// Three registers, each a row of four digit cells.
void drawRegisters(QPainter& p) {
  const QColor edge(0, 90, 90);
  for (int r = 0; r < 3; ++r) {
    const QRectF row(1.5, 2.5 + 5.5 * r, 17, 4);
    p.setPen(QPen(edge, 1));
    p.setBrush(r == 1 ? QColor(120, 215, 215) : QColor(215, 240, 240));
    p.drawRect(row);
    for (int cell = 1; cell < 4; ++cell) {
      const double x = row.left() + row.width() * cell / 4;
      p.drawLine(QPointF(x, row.top()), QPointF(x, row.bottom()));
    }
  }
}

void drawLoad(QPainter& p) {
  drawWords(p, QRectF(4.5, 11.5, 11, 7.2), false);
  fillGreen(p, QPolygonF({{8, 1.5}, {12, 1.5}, {12, 6}, {15.5, 6}, {10, 11.5}, {4.5, 6}, {8, 6}}));
}

void drawExecute(QPainter& p) {
  fillGreen(p, QPolygonF({{5, 2.5}, {16.5, 10}, {5, 17.5}}));
}

void drawContinue(QPainter& p) {
  fillGreen(p, QPolygonF({{2.5, 2.5}, {13, 10}, {2.5, 17.5}}));
  fillGreen(p, QPolygonF({{14, 3}, {17.5, 3}, {17.5, 17}, {14, 17}}));
}

void drawOk(QPainter& p) {
  p.setPen(roundPen(kGreen, 3));
  p.drawPolyline(QPolygonF({{3.5, 10.5}, {8, 15}, {16.5, 4.5}}));
}

void drawCancel(QPainter& p) {
  p.setPen(roundPen(QColor(205, 20, 20), 3));
  p.drawLine(QPointF(4.5, 4.5), QPointF(15.5, 15.5));
  p.drawLine(QPointF(15.5, 4.5), QPointF(4.5, 15.5));
}

void drawGlyph(QPainter& p, Glyph which) {
  switch (which) {
    case Glyph::Power:
      return drawPower(p);
    case Glyph::Step:
      return drawStep(p);
    case Glyph::Address:
      return drawAddress(p);
    case Glyph::Registers:
      return drawRegisters(p);
    case Glyph::Load:
      return drawLoad(p);
    case Glyph::Execute:
      return drawExecute(p);
    case Glyph::Continue:
      return drawContinue(p);
    case Glyph::Ok:
      return drawOk(p);
    case Glyph::Cancel:
      return drawCancel(p);
  }
}

// The glyph's dark parts in one colour: the lighter a pixel, the more
// transparent, so that pale fillings vanish and outlines stay.
QImage silhouette(const QImage& image, const QColor& colour) {
  QImage shape = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < shape.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(shape.scanLine(y));
    for (int x = 0; x < shape.width(); ++x) {
      const QRgb pixel = line[x];
      const double darkness = 1.0 - qGray(pixel) / 255.0;
      const int alpha = static_cast<int>(qAlpha(pixel) * std::min(1.0, 1.6 * darkness));
      line[x] = qRgba(colour.red(), colour.green(), colour.blue(), alpha);
    }
  }
  return shape;
}

// The disabled look: the silhouette embossed, grey with a white edge below
// and to the right.
void drawEmbossed(QPainter& p, const QPixmap& normal) {
  const QImage image = normal.toImage();
  p.drawImage(QPointF(1, 1), silhouette(image, Qt::white));
  p.drawImage(QPointF(0, 0), silhouette(image, QColor(128, 128, 128)));
}

}  // namespace

QPixmap glyph(Glyph which, bool disabled) {
  const int index = static_cast<int>(which);
  const QPixmap normal =
      drawnPicture(QStringLiteral("glyph/%1").arg(index), {kGlyphSize, kGlyphSize},
                   [which](QPainter& p) { drawGlyph(p, which); });
  if (!disabled) return normal;
  return drawnPicture(QStringLiteral("glyph/%1/disabled").arg(index), {kGlyphSize, kGlyphSize},
                      [&normal](QPainter& p) { drawEmbossed(p, normal); });
}

}  // namespace orben
