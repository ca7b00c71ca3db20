// Window translucency through the window opacity; the state lives on the window itself.
#include "widgets/translucency_qt.h"

#include <QVariant>
#include <QWidget>
#include <algorithm>

namespace gavrix {

namespace {

constexpr const char* kOnProperty = "gavrixTranslucent";
constexpr const char* kLevelProperty = "gavrixTranslucencyLevel";

void Apply(QWidget* window) {
  window->setWindowOpacity(IsTranslucent(window) ? TranslucencyLevel(window) / 255.0 : 1.0);
}

}  // namespace

void SetTranslucent(QWidget* window, bool on) {
  if (!window) return;
  window->setProperty(kOnProperty, on);
  Apply(window);
}

void SetTranslucencyLevel(QWidget* window, int level) {
  if (!window) return;
  window->setProperty(kLevelProperty, std::clamp(level, 0, 255));
  Apply(window);
}

bool IsTranslucent(const QWidget* window) { return window && window->property(kOnProperty).toBool(); }

int TranslucencyLevel(const QWidget* window) {
  if (!window) return 255;
  const QVariant v = window->property(kLevelProperty);
  return v.isValid() ? v.toInt() : 255;
}

void ApplyTranslucencyOnShow(QWidget* window, bool trans, int level, ShowRule rule) {
  if (trans || rule == ShowRule::Follow) SetTranslucent(window, trans);
  SetTranslucencyLevel(window, level);
}

}  // namespace gavrix
