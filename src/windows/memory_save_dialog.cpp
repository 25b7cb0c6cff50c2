#include "windows/memory_save_dialog.h"

#include <QDialog>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include <string>

#include "session/memory_object.h"
#include "windows/dialogs.h"
#include "windows/machine_adapter.h"

namespace orben {

namespace {

QString fourDigits(std::uint16_t address) {
  return QStringLiteral("%1").arg(address, 4, 16, QLatin1Char('0')).toUpper();
}

class MemorySaveDialog final : public QDialog {
 public:
  MemorySaveDialog(MachineAdapter& adapter, QWidget* parent) : QDialog(parent), adapter_(adapter) {
    setObjectName(QStringLiteral("TDiag_Guardar_Memoria"));
    setWindowTitle(QStringLiteral("Guardar memoria como programa objeto"));
    setAccessibleName(windowTitle());
    setModal(true);
    setWindowModality(Qt::ApplicationModal);
    setAttribute(Qt::WA_QuitOnClose, false);

    const session::MemoryRange range = session::defaultMemoryRange(adapter_.sourceMap());
    first_ =
        addressField(QStringLiteral("Desde"), QStringLiteral("Primera dirección"), range.first);
    last_ = addressField(QStringLiteral("Hasta"), QStringLiteral("Última dirección"), range.last);
    auto* form = new QFormLayout;
    addRow(*form, QStringLiteral("Primera dirección:"), first_);
    addRow(*form, QStringLiteral("Última dirección:"), last_);

    auto* save = new QPushButton(QStringLiteral("Guardar…"), this);
    save->setObjectName(QStringLiteral("Guardar"));
    save->setAccessibleName(QStringLiteral("Guardar en un archivo"));
    save->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancelar"), this);
    cancel->setObjectName(QStringLiteral("Cancelar"));
    cancel->setAccessibleName(QStringLiteral("Cancelar"));
    for (QPushButton* button : {save, cancel}) button->setFocusPolicy(Qt::StrongFocus);
    connect(save, &QPushButton::clicked, this, &MemorySaveDialog::save);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    setTabOrder(first_, last_);
    setTabOrder(last_, save);
    setTabOrder(save, cancel);
    first_->setFocus();
    first_->selectAll();
  }

 private:
  QLineEdit* addressField(const QString& name, const QString& spoken, std::uint16_t address) {
    auto* field = new QLineEdit(fourDigits(address), this);
    field->setObjectName(name);
    field->setAccessibleName(spoken);
    field->setFont(QFont(QStringLiteral("Liberation Mono")));
    return field;
  }
  void addRow(QFormLayout& form, const QString& caption, QLineEdit* field) {
    auto* label = new QLabel(caption, this);
    label->setBuddy(field);
    form.addRow(label, field);
  }

  void save() {
    session::MemoryRange range;
    const session::RangeCheck check =
        session::checkMemoryRange(first_->text().toStdString(), last_->text().toStdString(), range);
    if (check != session::RangeCheck::Valid) return refuse(session::rangeCheckMessage(check));
    const QPointer<MemorySaveDialog> open = this;
    const QString path = runSaveMemoryDialog(this);
    if (!open || path.isEmpty()) return;
    std::string reason;
    switch (session::saveMemoryObject(adapter_.machine(), adapter_.sourceMap(), range,
                                      QFile::encodeName(path).toStdString(), reason)) {
      case session::MemorySave::Saved:
        accept();
        return;
      case session::MemorySave::FileError:
        showFileErrorBox(this, path.toStdString(), reason);
        return;
      case session::MemorySave::BadExtension:
      case session::MemorySave::NoStorage:
        showMessageBox(this, reason);
        return;
    }
  }
  void refuse(std::string_view message) {
    showMessageBox(this, message);
    first_->setFocus();
  }

  MachineAdapter& adapter_;
  QLineEdit* first_;
  QLineEdit* last_;
};

}  // namespace

void runMemorySaveDialog(MachineAdapter& adapter, QWidget* parent) {
  // Owned by the window; freed here unless the window went first while
  // the dialog was open.
  const QPointer<MemorySaveDialog> dialog = new MemorySaveDialog(adapter, parent);
  dialog->exec();
  delete dialog.data();
}

}  // namespace orben
