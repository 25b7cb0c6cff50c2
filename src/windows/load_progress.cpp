#include "windows/load_progress.h"

#include <QApplication>
#include <QProgressDialog>

namespace orben {

namespace {
// The dialog counts in thousandths of the file.
constexpr int kSteps = 1000;
}  // namespace

LoadProgress::~LoadProgress() {
  end();
}

bool LoadProgress::report(QWidget* parent, std::uint64_t done, std::uint64_t total) {
  if (done == 0) {
    clock_.start();
    cancelled_ = false;
  }
  if (cancelled_) return false;
  if (!dialog_ && clock_.isValid() && clock_.hasExpired(delay_ms_)) {
    dialog_ = new QProgressDialog(QStringLiteral("Cargando programa objeto…"),
                                  QStringLiteral("Cancelar"), 0, total > 0 ? kSteps : 0, parent);
    dialog_->setObjectName(QStringLiteral("Progreso_Carga"));
    dialog_->setWindowTitle(QApplication::applicationName());
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setMinimumDuration(0);
    dialog_->setAutoReset(false);
    dialog_->setAutoClose(false);
    dialog_->show();
  }
  if (!dialog_) return true;
  // A modal progress dialog lets the events through while it is set: the
  // windows repaint, the step timer ticks and Cancelar can be pressed.
  const int value =
      total > 0 ? static_cast<int>(std::min<std::uint64_t>(done, total) * kSteps / total) : 0;
  dialog_->setValue(value);
  if (dialog_ && dialog_->wasCanceled()) cancelled_ = true;
  return !cancelled_;
}

void LoadProgress::end() {
  clock_.invalidate();
  if (dialog_) {
    dialog_->hide();
    dialog_->deleteLater();
  }
  dialog_ = nullptr;
}

void LoadProgress::cancel() {
  cancelled_ = true;
  if (dialog_) dialog_->cancel();
}

}  // namespace orben
