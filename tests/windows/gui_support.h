#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVariant>

#include <algorithm>
#include <deque>
#include <functional>
#include <utility>

#include "windows/machine_adapter.h"
#include "windows/main.h"
#include "windows/main_window.h"

namespace orben::testing {

// Looks for a widget or action by name in every top-level window.
template <typename T>
T* find(const QString& name) {
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top->objectName() == name) {
      if (auto* self = qobject_cast<T*>(top)) return self;
    }
    if (auto* found = top->findChild<T*>(name)) return found;
  }
  return nullptr;
}

// Answers the modal boxes and dialogs of a test as they open, from inside
// their own event loop: each scripted answer takes the next modal widget;
// with no answer left, a message box is answered OK and its text noted,
// and anything else is noted as unexpected and rejected. At the end of the
// test every answer must have been taken, every noted message read with
// takeMessages(), and no dialog come unexpected.
class ModalScript : public QObject {
 public:
  using Answer = std::function<void(QWidget*)>;

  ModalScript() {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { look(); });
    timer_.start();
  }
  ~ModalScript() override {
    if (QTest::currentTestFailed() || (done() && unexpected.isEmpty() && messages.isEmpty())) {
      return;
    }
    const QString left = QStringLiteral("%1 answers left; unread messages: %2; unexpected: %3")
                             .arg(answers_.size())
                             .arg(messages.join(u'|'), unexpected.join(u','));
    QTest::qFail(qPrintable(left), __FILE__, __LINE__);
  }

  void then(Answer answer) { answers_.push_back({std::move(answer), false}); }
  // An answer that leaves its dialog open on purpose: what it started (a
  // button's click queued) runs in the dialog's own event loop, where the
  // next answers take the boxes and dialogs it opens; the dialog, when it
  // comes back to the front, takes the answer after those.
  void thenLeaveOpen(Answer answer) { answers_.push_back({std::move(answer), true}); }
  bool done() const { return answers_.empty(); }
  QStringList takeMessages() { return std::exchange(messages, {}); }

  QStringList messages;    // texts of the boxes answered OK by default
  QStringList unexpected;  // names of dialogs nobody expected

 private:
  void look() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || modal == handled_) return;
    handled_ = modal;
    if (!answers_.empty()) {
      Scripted next = std::move(answers_.front());
      answers_.pop_front();
      QPointer<QWidget> open = modal;
      next.answer(modal);
      // An answer that failed half-way must not leave its dialog open.
      if (open && open->isVisible() && (!next.leave_open || QTest::currentTestFailed())) {
        if (auto* dialog = qobject_cast<QDialog*>(open.data())) dialog->reject();
      }
      return;
    }
    if (auto* box = qobject_cast<QMessageBox*>(modal); box && box->button(QMessageBox::Ok)) {
      messages << box->text();
      box->button(QMessageBox::Ok)->click();
      return;
    }
    unexpected << modal->objectName();
    if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
  }

  struct Scripted {
    Answer answer;
    bool leave_open;
  };
  QTimer timer_;
  std::deque<Scripted> answers_;
  QPointer<QWidget> handled_;
};

// The running program, started as a user starts it (with a file to open,
// as a file manager starts it) and closed at the end, with the script that
// answers its dialogs.
class Program {
 public:
  explicit Program(const QString& file = QString()) : window_(StartOrben(file)) {
    QVERIFY(QTest::qWaitForWindowExposed(window_));
  }
  ~Program() {
    if (window_) window_->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  ModalScript script;
  QMainWindow* window() const { return window_; }
  // The machine behind the windows, for what no display shows (memory, the
  // listing's lines).
  Tuka2& tuka() const { return static_cast<MainWindow*>(window_.data())->adapter().tuka(); }
  const Machine& machine() const { return tuka().machine; }
  QStringList listing() const {
    QStringList lines;
    for (int i = 0; i < tuka().listing.count(); ++i)
      lines << QString::fromStdString(tuka().listing.line(i));
    return lines;
  }

 private:
  QPointer<QMainWindow> window_;
};

// The whole internal panel lies inside the main window, which is no wider
// than the panel needs (a few pixels of frame aside) and at least 929 wide.
inline void checkInternalPanelWhole(const QMainWindow& main) {
  const QWidget* panel = find<QWidget>(QStringLiteral("Panel_Interno"));
  QVERIFY(panel && panel->isVisible());
  const int right = panel->mapTo(&main, QPoint(panel->width(), 0)).x();
  QVERIFY2(right <= main.width(),
           qPrintable(QStringLiteral("%1 > %2").arg(right).arg(main.width())));
  QVERIFY(main.width() >= 929);
  QVERIFY2(main.width() <= std::max(929, right + 4), qPrintable(QString::number(main.width())));
  const QWidget* ports = find<QWidget>(QStringLiteral("Panel_Puertos"));
  QVERIFY(ports->mapTo(&main, QPoint(ports->width(), 0)).x() <= right);
}

inline QString value(const QString& display) {
  return find<QWidget>(display)->property("Value").toString();
}
// A lamp is lit exactly while its on image is not hidden.
inline bool lit(const QString& on_image) {
  return !find<QWidget>(on_image)->isHidden();
}
inline void click(const QString& name) {
  QWidget* widget = find<QWidget>(name);
  QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}
inline void trigger(const QString& action) {
  find<QAction>(action)->trigger();
}
// Clicks the keypad's keys, one per digit.
inline void key(const QString& digits) {
  for (QChar digit : digits) click(QStringLiteral("T") + digit);
}
// Clicks a button of a dialog.
inline void press(QWidget* dialog, const char* button) {
  auto* found = dialog->findChild<QAbstractButton*>(QString::fromLatin1(button));
  QVERIFY2(found, button);
  found->click();
}
// An answer for the value entry dialog: types `keys` and presses ¡Vale!, or
// Cancelar when `vale` is false.
inline ModalScript::Answer typeValue(const QString& keys, bool vale = true) {
  return [keys, vale](QWidget* dialog) {
    QCOMPARE(dialog->objectName(), QStringLiteral("TDiag_Editar_Registro"));
    QTest::keyClicks(dialog, keys);
    press(dialog, vale ? "LiveButton1" : "LiveButton2");
  };
}

// A timed run at Rápida from `address`: Rápida marked in the speed dialog
// TForm4, the step-mode switch (LPP goes dark), the address keyed, Ejecutar.
inline void startTimedRun(Program& program, const QString& address) {
  program.script.then([](QWidget* dialog) {
    QCOMPARE(dialog->objectName(), QStringLiteral("TForm4"));
    dialog->findChild<QAbstractButton*>("RadioGroup1_0")->setChecked(true);
    press(dialog, "LiveButton1");
  });
  trigger("VelocidaddeejecucinenmodoPP1");
  click("BPasoPaso");
  QVERIFY(!lit("LPP"));
  key(address);
  click("BEjecutar");
}
// The name of `path` written into `files`' name field, in `path`'s folder,
// as a user types it there. QFileDialog::selectFile leaves that field as it
// is while it has the focus (it takes the user to be typing), and whether
// the focus has reached it when a script answers depends on when the
// dialog's activation came in: the field is filled whatever the focus.
inline void nameFile(QFileDialog* files, const QString& path) {
  auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  QVERIFY2(name, "the file dialog has no name field");
  files->setDirectory(QFileInfo(path).absolutePath());
  name->setText(QFileInfo(path).fileName());
}
// An answer for DAbrir: chooses the file `path`; the dialog must take it.
inline ModalScript::Answer chooseFile(const QString& path) {
  return [path](QWidget* dialog) {
    auto* files = qobject_cast<QFileDialog*>(dialog);
    QVERIFY(files && files->objectName() == QStringLiteral("DAbrir"));
    nameFile(files, path);
    QMetaObject::invokeMethod(files, "accept");
    QCOMPARE(files->result(), int(QDialog::Accepted));
  };
}
// Writes `bytes` to the file `name` in `folder`; its full name.
inline QString writeFile(const QTemporaryDir& folder, const QString& name,
                         const QByteArray& bytes) {
  QFile file(folder.filePath(name));
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
    QTest::qFail("cannot write the file", __FILE__, __LINE__);
  }
  return file.fileName();
}
// Writes `bytes` to the file `name` in `folder` and loads it through the
// menu, choosing it in DAbrir; `then` answers what the load shows next.
inline void loadFile(Program& program, const QTemporaryDir& folder, const QString& name,
                     const QByteArray& bytes, ModalScript::Answer then = {}) {
  program.script.then(chooseFile(writeFile(folder, name, bytes)));
  if (then) program.script.then(std::move(then));
  trigger("Cargarprogramaobjeto1");
}

// The source editor's text Texto_Fuente.
inline QPlainTextEdit* sourceText() {
  return find<QPlainTextEdit>(QStringLiteral("Texto_Fuente"));
}
// Replaces the editor's whole text as a user types it.
inline void typeSource(const QString& text) {
  QPlainTextEdit* edit = sourceText();
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Delete);
  const QStringList lines = text.split(u'\n');
  for (qsizetype i = 0; i < lines.size(); ++i) {
    QTest::keyClicks(edit, lines[i]);
    if (i + 1 < lines.size()) QTest::keyClick(edit, Qt::Key_Return);
  }
}
// Declared after the program, it goes first: a test that failed half-way
// leaves no unsaved source whose question would hold the program open.
struct UnsavedLeftBehind {
  ~UnsavedLeftBehind() {
    if (QPlainTextEdit* edit = sourceText()) edit->document()->setModified(false);
  }
};

}  // namespace orben::testing
