// Draws every picture of the program with QPainter on a 16-unit grid, scaled to the size asked for.
#include "widgets/icons_qt.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace gavrix {
namespace {

// Pens and fills used by several glyphs.
QPen Line(const QColor& c, qreal width = 1.0) {
  QPen pen(c, width);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  return pen;
}

QLinearGradient Vertical(qreal top, qreal bottom, const QColor& a, const QColor& b) {
  QLinearGradient g(0, top, 0, bottom);
  g.setColorAt(0, a);
  g.setColorAt(1, b);
  return g;
}

// A stroke drawn twice, dark and wide under light and narrow, so it stands out on any background.
void OutlinedStroke(QPainter& p, const QPainterPath& path, const QColor& dark, const QColor& light, qreal width) {
  p.strokePath(path, Line(dark, width + 1.2));
  p.strokePath(path, Line(light, width));
}

QPainterPath Star(QPointF centre, qreal outer, qreal inner) {
  QPainterPath path;
  for (int i = 0; i < 10; ++i) {
    qreal r = (i % 2 == 0) ? outer : inner;
    qreal a = qDegreesToRadians(-90.0 + 36.0 * i);
    QPointF pt(centre.x() + r * qCos(a), centre.y() + r * qSin(a));
    if (i == 0)
      path.moveTo(pt);
    else
      path.lineTo(pt);
  }
  path.closeSubpath();
  return path;
}

// Bold text as a path, centred on a point, so letters scale like the rest of a glyph.
QPainterPath Letters(const QString& text, QPointF centre, qreal pixelSize) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(qMax(1, qRound(pixelSize * 8)));  // drawn large, then scaled down for smooth outlines
  font.setBold(true);
  QPainterPath path;
  path.addText(0, 0, font, text);
  QTransform t;
  t.scale(1.0 / 8, 1.0 / 8);
  path = t.map(path);
  QRectF box = path.boundingRect();
  path.translate(centre - box.center());
  return path;
}

// Icons 0, 2, 3: a soldier's head and shoulders with a rifle across, on a coloured tile.
void Soldier(QPainter& p, const QColor& tile, const QColor& tileEdge, const QColor& body, const QColor& head,
             const QColor& eyes) {
  p.setPen(Line(tileEdge));
  p.setBrush(tile);
  p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 2.5, 2.5);
  // Shoulders.
  QPainterPath shoulders;
  shoulders.moveTo(2.2, 15.5);
  shoulders.cubicTo(2.4, 11.2, 4.8, 9.6, 8, 9.6);
  shoulders.cubicTo(11.2, 9.6, 13.6, 11.2, 13.8, 15.5);
  shoulders.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(body);
  p.drawPath(shoulders);
  // Head with a helmet brim.
  p.setBrush(head);
  p.drawEllipse(QPointF(8, 5.6), 3.0, 3.3);
  p.drawRoundedRect(QRectF(4.2, 3.2, 7.6, 1.6), 0.8, 0.8);
  // Goggles.
  p.setBrush(eyes);
  p.drawRoundedRect(QRectF(5.6, 5.3, 4.8, 1.5), 0.7, 0.7);
  // Rifle held across the chest.
  QPainterPath rifle;
  rifle.moveTo(2.6, 14.2);
  rifle.lineTo(13.4, 9.4);
  p.strokePath(rifle, Line(QColor(20, 20, 20), 1.6));
  QPainterPath barrel;
  barrel.moveTo(13.0, 9.6);
  barrel.lineTo(15.0, 8.7);
  p.strokePath(barrel, Line(QColor(20, 20, 20), 0.9));
}

QPainterPath LambdaPath() {
  QPainterPath path;
  path.moveTo(4.6, 3.2);
  path.cubicTo(6.2, 3.0, 7.0, 4.0, 7.8, 5.8);
  path.lineTo(11.6, 12.8);
  path.moveTo(8.2, 6.8);
  path.lineTo(4.6, 12.8);
  return path;
}

void Monitor(QPainter& p, const QColor& screenTop, const QColor& screenBottom) {
  // Stand.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(90, 90, 96));
  p.drawRect(QRectF(6.5, 11.5, 3, 2));
  p.drawRoundedRect(QRectF(4, 13.3, 8, 1.8), 0.8, 0.8);
  // Case and screen.
  p.setPen(Line(QColor(60, 60, 66)));
  p.setBrush(Vertical(1.5, 12, QColor(235, 235, 238), QColor(185, 185, 192)));
  p.drawRoundedRect(QRectF(0.5, 1.5, 15, 10.5), 1.5, 1.5);
  p.setPen(Qt::NoPen);
  p.setBrush(Vertical(3, 10, screenTop, screenBottom));
  p.drawRect(QRectF(2, 3, 12, 7.5));
}

void Draw(QPainter& p, int index) {
  switch (index) {
    case 0:  // soldier on white
      Soldier(p, QColor(252, 252, 252), QColor(150, 150, 150), QColor(78, 84, 62), QColor(40, 40, 40),
              QColor(140, 200, 255));
      break;
    case 1: {  // orange lambda in a ring
      p.setPen(Line(QColor(200, 90, 0), 1.4));
      p.setBrush(QColor(255, 246, 230));
      p.drawEllipse(QPointF(8, 8), 7.0, 7.0);
      p.strokePath(LambdaPath(), Line(QColor(240, 120, 0), 2.1));
      break;
    }
    case 2:  // soldier on khaki
      Soldier(p, QColor(202, 180, 122), QColor(130, 110, 60), QColor(70, 72, 50), QColor(38, 36, 30),
              QColor(240, 220, 120));
      break;
    case 3: {  // the newer engine's soldier: steel tile, light figure
      QLinearGradient tile = Vertical(0, 16, QColor(70, 84, 100), QColor(28, 34, 42));
      p.setPen(Line(QColor(20, 24, 30)));
      p.setBrush(tile);
      p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 2.5, 2.5);
      p.setBrush(Qt::NoBrush);
      Soldier(p, Qt::transparent, Qt::transparent, QColor(200, 206, 214), QColor(225, 230, 236),
              QColor(255, 150, 40));
      break;
    }
    case 4: {  // monitor showing a broadcast (relay)
      Monitor(p, QColor(70, 150, 255), QColor(20, 70, 180));
      QPainterPath play;
      play.moveTo(6.6, 4.4);
      play.lineTo(10.4, 6.75);
      play.lineTo(6.6, 9.1);
      play.closeSubpath();
      p.setBrush(Qt::white);
      p.drawPath(play);
      break;
    }
    case 5: {  // lambda of the newer engine: orange on a dark disc
      p.setPen(Line(QColor(20, 20, 20)));
      QRadialGradient g(QPointF(6, 5), 10);
      g.setColorAt(0, QColor(80, 80, 84));
      g.setColorAt(1, QColor(24, 24, 26));
      p.setBrush(g);
      p.drawEllipse(QPointF(8, 8), 7.3, 7.3);
      p.strokePath(LambdaPath(), Line(QColor(255, 140, 26), 2.2));
      break;
    }
    case 6: {  // film strip
      p.setPen(Line(QColor(10, 10, 10)));
      p.setBrush(QColor(36, 36, 40));
      p.drawRect(QRectF(2.5, 0.5, 11, 15));
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(235, 235, 235));
      for (int y = 0; y < 5; ++y) {
        p.drawRect(QRectF(3.5, 1.5 + 3 * y, 1.4, 1.6));
        p.drawRect(QRectF(11.1, 1.5 + 3 * y, 1.4, 1.6));
      }
      p.setBrush(Vertical(1, 7, QColor(130, 200, 255), QColor(60, 120, 220)));
      p.drawRect(QRectF(5.8, 1.5, 4.4, 5.8));
      p.setBrush(Vertical(8.5, 14.5, QColor(255, 210, 120), QColor(220, 120, 40)));
      p.drawRect(QRectF(5.8, 8.7, 4.4, 5.8));
      break;
    }
    case 7: {  // globe
      QRadialGradient sea(QPointF(6, 5.5), 9);
      sea.setColorAt(0, QColor(120, 190, 255));
      sea.setColorAt(1, QColor(20, 90, 200));
      p.setPen(Line(QColor(15, 60, 140)));
      p.setBrush(sea);
      p.drawEllipse(QPointF(8, 8), 7.2, 7.2);
      QPainterPath land;
      land.moveTo(3.5, 5);
      land.cubicTo(5, 2.5, 8, 2.8, 8.4, 4.6);
      land.cubicTo(8.8, 6.2, 6.4, 6.4, 6.6, 8.6);
      land.cubicTo(6.8, 10.6, 4.2, 10.4, 3.6, 8.4);
      land.cubicTo(3.0, 7.0, 2.9, 6.0, 3.5, 5);
      land.moveTo(9.6, 8.4);
      land.cubicTo(11.2, 7.4, 13.6, 8.4, 13.0, 10.4);
      land.cubicTo(12.4, 12.6, 10.6, 13.8, 9.8, 12.4);
      land.cubicTo(9.2, 11.2, 8.6, 9.2, 9.6, 8.4);
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(70, 175, 70));
      p.drawPath(land);
      p.setPen(Line(QColor(255, 255, 255, 110), 0.6));
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(QPointF(8, 8), 3.2, 7.0);
      p.drawLine(QPointF(1.2, 8), QPointF(14.8, 8));
      break;
    }
    case 8: {  // green tick
      QPainterPath tick;
      tick.moveTo(3.0, 8.4);
      tick.lineTo(6.4, 11.8);
      tick.lineTo(13.0, 4.0);
      OutlinedStroke(p, tick, QColor(10, 100, 20), QColor(60, 200, 70), 2.4);
      break;
    }
    case 9: {  // red cross
      QPainterPath cross;
      cross.moveTo(4, 4);
      cross.lineTo(12, 12);
      cross.moveTo(12, 4);
      cross.lineTo(4, 12);
      OutlinedStroke(p, cross, QColor(130, 0, 0), QColor(235, 40, 40), 2.4);
      break;
    }
    case 10: {  // padlock
      QPainterPath shackle;
      shackle.moveTo(5, 8);
      shackle.lineTo(5, 5.2);
      shackle.arcTo(QRectF(5, 2.2, 6, 6), 180, -180);
      shackle.lineTo(11, 8);
      p.strokePath(shackle, Line(QColor(80, 80, 86), 2.6));
      p.strokePath(shackle, Line(QColor(190, 190, 198), 1.2));
      p.setPen(Line(QColor(130, 90, 10)));
      p.setBrush(Vertical(7.5, 15, QColor(255, 225, 100), QColor(205, 150, 25)));
      p.drawRoundedRect(QRectF(2.5, 7.5, 11, 7.5), 1.5, 1.5);
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(70, 45, 0));
      p.drawEllipse(QPointF(8, 10.4), 1.2, 1.2);
      p.drawRect(QRectF(7.4, 10.6, 1.2, 2.6));
      break;
    }
    case 11: {  // cartoon figure: round smiling head, blue body
      p.setPen(Line(QColor(20, 60, 140)));
      p.setBrush(Vertical(9, 16, QColor(90, 150, 240), QColor(30, 90, 200)));
      QPainterPath body;
      body.moveTo(2.5, 15.5);
      body.cubicTo(2.5, 11.0, 5.0, 9.6, 8, 9.6);
      body.cubicTo(11.0, 9.6, 13.5, 11.0, 13.5, 15.5);
      body.closeSubpath();
      p.drawPath(body);
      p.setPen(Line(QColor(170, 120, 0)));
      p.setBrush(QColor(255, 214, 60));
      p.drawEllipse(QPointF(8, 5.2), 4.2, 4.2);
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(40, 30, 0));
      p.drawEllipse(QPointF(6.5, 4.4), 0.7, 0.9);
      p.drawEllipse(QPointF(9.5, 4.4), 0.7, 0.9);
      p.setPen(Line(QColor(40, 30, 0), 0.8));
      p.setBrush(Qt::NoBrush);
      p.drawArc(QRectF(5.8, 4.2, 4.4, 3.4), 200 * 16, 140 * 16);
      break;
    }
    case 12: {  // marker pen, lying diagonally
      p.save();
      p.translate(8, 8);
      p.rotate(-45);
      p.setPen(Line(QColor(120, 100, 0)));
      p.setBrush(Vertical(-2.3, 2.3, QColor(255, 236, 90), QColor(230, 190, 0)));
      p.drawRoundedRect(QRectF(-6.5, -2.3, 9.5, 4.6), 1, 1);
      p.setBrush(QColor(90, 90, 96));
      p.drawRect(QRectF(-7.5, -2.3, 1.6, 4.6));
      QPainterPath nib;
      nib.moveTo(3, -1.8);
      nib.lineTo(6.6, -0.8);
      nib.lineTo(6.6, 0.8);
      nib.lineTo(3, 1.8);
      nib.closeSubpath();
      p.setBrush(QColor(50, 50, 50));
      p.drawPath(nib);
      p.restore();
      break;
    }
    case 13: {  // four coloured panes
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(232, 72, 48));
      p.drawRect(QRectF(1.5, 1.5, 6, 6));
      p.setBrush(QColor(110, 190, 40));
      p.drawRect(QRectF(8.5, 1.5, 6, 6));
      p.setBrush(QColor(30, 150, 230));
      p.drawRect(QRectF(1.5, 8.5, 6, 6));
      p.setBrush(QColor(250, 190, 20));
      p.drawRect(QRectF(8.5, 8.5, 6, 6));
      break;
    }
    case 14: {  // penguin
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(24, 24, 28));
      p.drawEllipse(QRectF(3.2, 1.0, 9.6, 14.0));
      p.setBrush(QColor(250, 250, 250));
      p.drawEllipse(QRectF(5.0, 5.6, 6.0, 8.8));
      p.drawEllipse(QPointF(6.6, 4.0), 1.2, 1.4);
      p.drawEllipse(QPointF(9.4, 4.0), 1.2, 1.4);
      p.setBrush(Qt::black);
      p.drawEllipse(QPointF(6.9, 4.2), 0.55, 0.7);
      p.drawEllipse(QPointF(9.1, 4.2), 0.55, 0.7);
      p.setBrush(QColor(255, 170, 20));
      QPainterPath beak;
      beak.moveTo(6.6, 5.6);
      beak.lineTo(9.4, 5.6);
      beak.lineTo(8, 7.2);
      beak.closeSubpath();
      p.drawPath(beak);
      p.drawEllipse(QRectF(3.6, 13.6, 3.8, 2.0));
      p.drawEllipse(QRectF(8.6, 13.6, 3.8, 2.0));
      break;
    }
    case 15: {  // computer box with a disc in front
      p.setPen(Line(QColor(90, 85, 70)));
      p.setBrush(Vertical(2, 14, QColor(240, 236, 220), QColor(195, 188, 165)));
      p.drawRoundedRect(QRectF(1.5, 2.5, 9, 12), 1, 1);
      p.setPen(Line(QColor(110, 105, 90), 0.8));
      p.drawLine(QPointF(3, 5), QPointF(9, 5));
      p.drawLine(QPointF(3, 7), QPointF(9, 7));
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(60, 200, 60));
      p.drawEllipse(QPointF(3.6, 12.6), 0.7, 0.7);
      QConicalGradient shine(QPointF(11, 10.5), 30);
      shine.setColorAt(0.0, QColor(230, 230, 240));
      shine.setColorAt(0.25, QColor(170, 220, 255));
      shine.setColorAt(0.5, QColor(245, 220, 250));
      shine.setColorAt(0.75, QColor(200, 255, 200));
      shine.setColorAt(1.0, QColor(230, 230, 240));
      p.setPen(Line(QColor(110, 110, 120), 0.8));
      p.setBrush(shine);
      p.drawEllipse(QPointF(11, 10.5), 4.5, 4.5);
      p.setBrush(Qt::white);
      p.drawEllipse(QPointF(11, 10.5), 1.2, 1.2);
      break;
    }
    case 16: {  // satellite dish on a tripod, facing up to the right, with signal waves
      p.setPen(Line(QColor(80, 80, 86), 1.3));
      p.drawLine(QPointF(6.2, 10), QPointF(3.6, 15));
      p.drawLine(QPointF(6.2, 10), QPointF(8.8, 15));
      p.drawLine(QPointF(2.6, 15), QPointF(9.8, 15));
      p.save();
      p.translate(7.2, 7.6);
      p.rotate(42);
      p.setPen(Line(QColor(60, 60, 68)));
      p.setBrush(Vertical(0, 4.5, QColor(200, 200, 208), QColor(120, 120, 130)));
      p.drawChord(QRectF(-6.2, -2.2, 12.4, 7.2), 180 * 16, 180 * 16);
      p.setBrush(Vertical(-1.8, 1.8, QColor(255, 255, 255), QColor(205, 210, 220)));
      p.drawEllipse(QRectF(-6.2, -1.8, 12.4, 3.6));
      p.setPen(Line(QColor(60, 60, 68), 0.9));
      p.drawLine(QPointF(0, 0), QPointF(0, -4.2));
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(220, 60, 40));
      p.drawEllipse(QPointF(0, -4.4), 1.0, 1.0);
      p.restore();
      p.setPen(Line(QColor(30, 140, 230), 1.0));
      p.setBrush(Qt::NoBrush);
      p.drawArc(QRectF(10.6 - 2.4, 4.4 - 2.4, 4.8, 4.8), 0, 90 * 16);
      p.drawArc(QRectF(10.6 - 4.2, 4.4 - 4.2, 8.4, 8.4), 0, 90 * 16);
      break;
    }
    case 17: {  // monitor showing lines of text (names)
      Monitor(p, QColor(255, 255, 255), QColor(215, 225, 240));
      p.setPen(Line(QColor(40, 70, 140), 1.0));
      p.drawLine(QPointF(3.5, 4.8), QPointF(11, 4.8));
      p.drawLine(QPointF(3.5, 6.8), QPointF(12.5, 6.8));
      p.drawLine(QPointF(3.5, 8.8), QPointF(9, 8.8));
      break;
    }
    case 18: {  // emblem: white star on an olive disc
      p.setPen(Line(QColor(40, 50, 18)));
      p.setBrush(Vertical(0, 16, QColor(120, 138, 64), QColor(70, 84, 34)));
      p.drawEllipse(QPointF(8, 8), 7.2, 7.2);
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(250, 250, 240));
      p.drawPath(Star(QPointF(8, 8.4), 5.4, 2.2));
      break;
    }
    case 19: {  // emblem: dark star on a sand badge with an orange rim
      p.setPen(Line(QColor(200, 100, 20), 1.2));
      p.setBrush(Vertical(0, 16, QColor(230, 205, 150), QColor(185, 150, 90)));
      p.drawRoundedRect(QRectF(0.8, 0.8, 14.4, 14.4), 3, 3);
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(60, 70, 30));
      p.drawPath(Star(QPointF(8, 8.4), 5.6, 2.3));
      break;
    }
    case 20: {  // emblem: white figure 2 on an orange disc
      p.setPen(Line(QColor(120, 50, 10)));
      p.setBrush(Vertical(0, 16, QColor(250, 150, 70), QColor(210, 90, 30)));
      p.drawEllipse(QPointF(8, 8), 7.2, 7.2);
      QPainterPath two = Letters(QStringLiteral("2"), QPointF(8, 8), 11);
      p.setPen(Qt::NoPen);
      p.setBrush(Qt::white);
      p.drawPath(two);
      break;
    }
    case 21: {  // red letter G
      QPainterPath g;
      g.arcMoveTo(QRectF(2.2, 2.2, 11.6, 11.6), 50);
      g.arcTo(QRectF(2.2, 2.2, 11.6, 11.6), 50, 290);
      g.lineTo(13.8, 8.2);
      g.lineTo(9.0, 8.2);
      QPen pen(QColor(215, 25, 25), 2.8);
      pen.setCapStyle(Qt::FlatCap);
      pen.setJoinStyle(Qt::MiterJoin);
      p.strokePath(g, pen);
      break;
    }
    case 22: {  // emblem: red and blue shield with the letters TF
      QPainterPath shield;
      shield.moveTo(1.5, 1.5);
      shield.lineTo(14.5, 1.5);
      shield.lineTo(14.5, 7.5);
      shield.cubicTo(14.5, 11.5, 11.0, 13.8, 8, 15.2);
      shield.cubicTo(5.0, 13.8, 1.5, 11.5, 1.5, 7.5);
      shield.closeSubpath();
      p.save();
      p.setClipPath(shield);
      p.fillRect(QRectF(0, 0, 8, 16), QColor(190, 45, 40));
      p.fillRect(QRectF(8, 0, 8, 16), QColor(50, 100, 185));
      p.restore();
      p.setPen(Line(QColor(40, 30, 30)));
      p.setBrush(Qt::NoBrush);
      p.drawPath(shield);
      p.setPen(Qt::NoPen);
      p.setBrush(Qt::white);
      p.drawPath(Letters(QStringLiteral("TF"), QPointF(8, 7.2), 7.5));
      break;
    }
    default:
      break;
  }
}

QImage Canvas(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

// The tray and program picture: a radar screen; `sweep` is the beam's angle in degrees, `lit` lights the blip.
QImage Radar(int size, qreal sweep, bool lit) {
  QImage image = Canvas(size);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 16.0, size / 16.0);
  QRadialGradient screen(QPointF(8, 8), 7.5);
  screen.setColorAt(0, QColor(20, 110, 50));
  screen.setColorAt(1, QColor(6, 40, 18));
  p.setPen(Line(QColor(30, 40, 34), 1.2));
  p.setBrush(screen);
  p.drawEllipse(QPointF(8, 8), 7.2, 7.2);
  // Beam: a fading wedge behind the sweep line.
  QConicalGradient beam(QPointF(8, 8), sweep);
  beam.setColorAt(0.0, QColor(120, 255, 140, 200));
  beam.setColorAt(0.18, QColor(120, 255, 140, 0));
  beam.setColorAt(1.0, QColor(120, 255, 140, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(beam);
  p.drawEllipse(QPointF(8, 8), 6.6, 6.6);
  p.setPen(Line(QColor(120, 230, 140, 150), 0.6));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QPointF(8, 8), 4.4, 4.4);
  p.drawEllipse(QPointF(8, 8), 2.2, 2.2);
  qreal a = qDegreesToRadians(sweep);
  p.setPen(Line(QColor(190, 255, 200), 1.0));
  p.drawLine(QPointF(8, 8), QPointF(8 + 6.6 * qCos(a), 8 - 6.6 * qSin(a)));
  p.setPen(Qt::NoPen);
  p.setBrush(lit ? QColor(255, 230, 60) : QColor(240, 170, 40));
  p.drawEllipse(QPointF(10.9, 5.4), lit ? 1.5 : 1.1, lit ? 1.5 : 1.1);
  return image;
}

struct Pictures {
  QList<QIcon> icons;
  QList<QPixmap> games;
  QIcon tray[kTrayImageCount];
  QIcon app;
};

const Pictures& All() {
  // Built on first use and kept until the process ends, so no pixmap outlives the application object
  // through a static destructor.
  static const Pictures* pictures = [] {
    auto* all = new Pictures;
    for (int i = 0; i < kServerIconCount; ++i) {
      QIcon icon;
      icon.addPixmap(QPixmap::fromImage(RenderServerIcon(i, 16)));
      icon.addPixmap(QPixmap::fromImage(RenderServerIcon(i, 32)));
      all->icons.append(icon);
    }
    for (int p = 0; p < kGamePictureCount; ++p)
      all->games.append(QPixmap::fromImage(RenderServerIcon(p <= 6 ? p : p + 11, 32)));
    for (int t = 0; t < kTrayImageCount; ++t) {
      all->tray[t].addPixmap(QPixmap::fromImage(Radar(16, t == 0 ? 45 : 200, t == 1)));
      all->tray[t].addPixmap(QPixmap::fromImage(Radar(32, t == 0 ? 45 : 200, t == 1)));
    }
    for (int size : {16, 24, 32, 48, 64, 128}) all->app.addPixmap(QPixmap::fromImage(RenderAppIcon(size)));
    return all;
  }();
  return *pictures;
}

}  // namespace

QImage RenderServerIcon(int index, int size) {
  QImage image = Canvas(size);
  if (index < 0 || index >= kServerIconCount) return image;
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 16.0, size / 16.0);
  Draw(p, index);
  return image;
}

QImage RenderAppIcon(int size) { return Radar(size, 45, false); }

const QList<QIcon>& ServerIcons() { return All().icons; }

QIcon ServerIcon(int index) {
  const auto& icons = All().icons;
  if (index < 0 || index >= icons.size()) return {};
  return icons[index];
}

QPixmap GamePicture(int picture) {
  const auto& games = All().games;
  if (picture < 0 || picture >= games.size()) return {};
  return games[picture];
}

int GamePictureForIcon(int icon) {
  if (icon >= 18 && icon <= 22) return icon - 11;
  return icon;
}

QIcon TrayImage(int index) {
  if (index < 0 || index >= kTrayImageCount) return {};
  return All().tray[index];
}

QIcon AppIcon() { return All().app; }

}  // namespace gavrix
