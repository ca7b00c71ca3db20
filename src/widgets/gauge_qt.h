// A vertical progress gauge that fills from the bottom and shows its percentage.
#pragma once

#include <QWidget>

namespace gavrix {

class Gauge : public QWidget {
  Q_OBJECT

 public:
  explicit Gauge(QWidget* parent = nullptr);

  // The minimum is always 0; a negative maximum counts as 0. Lowering the maximum cuts the progress.
  void setMaxValue(int maxValue);
  int maxValue() const { return max_; }
  // Progress is kept between 0 and the maximum: larger values are cut to the maximum.
  void setProgress(int progress);
  int progress() const { return progress_; }
  void addProgress(int amount);
  // Whole-number percentage shown: progress * 100 / maximum rounded down, 0 when the maximum is 0.
  int percent() const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int max_ = 100;
  int progress_ = 0;
};

}  // namespace gavrix
