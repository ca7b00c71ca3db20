// Vertical progress gauge: value bookkeeping and painting.
#include "widgets/gauge_qt.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>

namespace gavrix {

Gauge::Gauge(QWidget* parent) : QWidget(parent) {}

void Gauge::setMaxValue(int maxValue) {
  maxValue = std::max(0, maxValue);
  if (maxValue == max_) return;
  max_ = maxValue;
  progress_ = std::min(progress_, max_);
  update();
}

void Gauge::setProgress(int progress) {
  progress = std::clamp(progress, 0, max_);
  if (progress == progress_) return;
  progress_ = progress;
  update();
}

void Gauge::addProgress(int amount) {
  // Computed wide so that a step near INT_MAX cuts at the maximum rather than wrapping.
  long long next = static_cast<long long>(progress_) + amount;
  setProgress(static_cast<int>(std::clamp<long long>(next, 0, max_)));
}

int Gauge::percent() const {
  if (max_ == 0) return 0;
  return static_cast<int>(static_cast<long long>(progress_) * 100 / max_);
}

QSize Gauge::sizeHint() const { return {34, 41}; }

QSize Gauge::minimumSizeHint() const { return {16, 20}; }

void Gauge::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect outer = rect();
  const QPalette& pal = palette();

  // Sunken well.
  p.setPen(pal.color(QPalette::Dark));
  p.setBrush(pal.color(QPalette::Base));
  p.drawRect(outer.adjusted(0, 0, -1, -1));
  const QRect well = outer.adjusted(1, 1, -1, -1);

  // Filled part, from the bottom up, in proportion to progress / maximum.
  int filled = max_ == 0 ? 0 : static_cast<int>(static_cast<long long>(well.height()) * progress_ / max_);
  QRect bar(well.left(), well.bottom() - filled + 1, well.width(), filled);
  if (filled > 0) {
    QColor base = pal.color(QPalette::Highlight);
    QLinearGradient g(bar.topLeft(), bar.topRight());
    g.setColorAt(0, base.lighter(125));
    g.setColorAt(0.5, base);
    g.setColorAt(1, base.darker(115));
    p.fillRect(bar, g);
  }

  // The percentage, in the text colour over the empty part and the highlighted text colour over the bar.
  const QString text = QString::number(percent()) + QLatin1Char('%');
  QFont f = font();
  int px = QFontInfo(f).pixelSize();
  f.setPixelSize(px);
  while (px > 6 && QFontMetrics(f).horizontalAdvance(text) > well.width() - 2) f.setPixelSize(--px);
  p.setFont(f);
  p.setClipRect(well.adjusted(0, 0, 0, -filled));
  p.setPen(pal.color(QPalette::Text));
  p.drawText(well, Qt::AlignCenter, text);
  p.setClipRect(bar);
  p.setPen(pal.color(QPalette::HighlightedText));
  p.drawText(well, Qt::AlignCenter, text);
}

}  // namespace gavrix
