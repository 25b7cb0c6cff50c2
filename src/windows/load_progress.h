#pragma once

#include <QElapsedTimer>
#include <QPointer>

#include <cstdint>

class QProgressDialog;
class QWidget;

namespace orben {

// The progress of a long load: once a load has gone on for `delay_ms`, a
// modal QProgressDialog "Cargando programa objeto…" with Cancelar shows how
// far it has read, and keeps the windows answering while it reads.
class LoadProgress {
 public:
  static constexpr int kDelayMs = 500;

  explicit LoadProgress(int delay_ms = kDelayMs) : delay_ms_(delay_ms) {}
  ~LoadProgress();
  LoadProgress(const LoadProgress&) = delete;
  LoadProgress& operator=(const LoadProgress&) = delete;

  // `done` of `total` bytes read (total 0 when unknown); a load starts at
  // done 0. False once the user has pressed Cancelar.
  bool report(QWidget* parent, std::uint64_t done, std::uint64_t total);
  // The load has ended: the dialog goes.
  void end();
  // Stops the waiting at once (the program is closing): the next report
  // answers false.
  void cancel();

 private:
  const int delay_ms_;
  QElapsedTimer clock_;
  QPointer<QProgressDialog> dialog_;
  bool cancelled_ = false;
};

}  // namespace orben
