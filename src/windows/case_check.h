#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

#include "grader/cases.h"
#include "grader/grading.h"
#include "grader/program.h"

class QWidget;

namespace orben {

class MachineAdapter;
class SourceEditor;

// What one Comprobar con casos came to: the cases, the program as it was
// prepared for them and how every case went.
struct CaseCheckOutcome {
  std::uint64_t run = 0;  // which Comprobar it answers
  QString cases_name;     // the cases file's name, shown first
  grader::CaseFile cases;
  grader::Program program;
  grader::ProgramResult result;
};

// Comprobar con casos (.TOML)…: the program last loaded (the adapter
// knows which) graded on a cases file exactly as tuka2 test grades one
// program, on a thread of its own so that the windows stay live; the
// results, in Spanish as a student's report gives them, go to the source
// editor's messages, and activating a failed case prepares the machine
// for it so that Ejecutar and Continuar step through that very case.
class CaseCheck final : public QObject {
  Q_OBJECT

 public:
  CaseCheck(MachineAdapter& adapter, SourceEditor& editor, QWidget* dialog_parent);
  ~CaseCheck() override;

  // The menu item: the box when no program is loaded, else DAbrir_Casos
  // and run() of the file chosen.
  void chooseAndRun();
  // Grades the program last loaded on the cases of `path`; a check still
  // running is cancelled first.
  void run(const QString& path);
  // Ends a running check: its run at hand stops as its time limit would,
  // and nothing of it is shown.
  void cancel();

 signals:
  // From the grading thread, received on the windows' thread (queued).
  void graded(std::shared_ptr<const orben::CaseCheckOutcome> outcome);

 private:
  void show(const std::shared_ptr<const CaseCheckOutcome>& outcome);
  void showCasesErrors(const QString& name, const grader::ParsedCases& parsed);
  // Activating the items of case `index` of what is shown.
  void prepare(int index);

  MachineAdapter& adapter_;
  SourceEditor& editor_;
  QWidget* dialog_parent_;
  std::thread worker_;
  std::shared_ptr<std::atomic<bool>> cancel_;
  std::uint64_t runs_ = 0;
  std::shared_ptr<const CaseCheckOutcome> shown_;
};

}  // namespace orben

Q_DECLARE_METATYPE(std::shared_ptr<const orben::CaseCheckOutcome>)
