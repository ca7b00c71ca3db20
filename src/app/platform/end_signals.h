// SIGTERM, SIGINT and SIGHUP (what a desktop session's end and `kill` send)
// become a Qt signal on the event loop: the handler only writes a byte to a
// socket pair, whose reading end a QSocketNotifier watches.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace gavrix {

class EndSignals : public QObject {
  Q_OBJECT

 public:
  // Installs the handlers; the previous ones come back on destruction. One at a time.
  explicit EndSignals(QObject* parent = nullptr);
  ~EndSignals() override;

 signals:
  void endRequested(int signalNumber);

 private:
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace gavrix
