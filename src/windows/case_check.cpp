#include "windows/case_check.h"

#include <QFile>
#include <QFileInfo>

#include <string>
#include <vector>

#include "assembler/source_file.h"
#include "grader/case_check_lines.h"
#include "grader/case_start.h"
#include "windows/dialogs.h"
#include "windows/machine_adapter.h"
#include "windows/source_editor.h"

namespace orben {

namespace {

QString utf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The grader's lines as the editor's group shows them.
std::vector<SourceEditor::GroupItem> groupItems(const std::vector<grader::CheckLine>& lines) {
  std::vector<SourceEditor::GroupItem> items;
  for (const grader::CheckLine& line : lines) {
    items.push_back({utf8(line.text), line.case_index, line.failed});
  }
  return items;
}

}  // namespace

CaseCheck::CaseCheck(MachineAdapter& adapter, SourceEditor& editor, QWidget* dialog_parent)
    : QObject(dialog_parent), adapter_(adapter), editor_(editor), dialog_parent_(dialog_parent) {
  qRegisterMetaType<std::shared_ptr<const CaseCheckOutcome>>();
  connect(this, &CaseCheck::graded, this, &CaseCheck::show, Qt::QueuedConnection);
}

CaseCheck::~CaseCheck() {
  cancel();
}

void CaseCheck::cancel() {
  if (cancel_) cancel_->store(true);
  // Cancelled, the case at hand stops within a few thousand steps.
  if (worker_.joinable()) worker_.join();
}

void CaseCheck::chooseAndRun() {
  if (!adapter_.lastProgram()) {
    showMessageBox(dialog_parent_, grader::kLoadAProgramFirst);
    return;
  }
  const QString path = runOpenCasesDialog(dialog_parent_);
  if (!path.isEmpty()) run(path);
}

void CaseCheck::run(const QString& path) {
  cancel();
  shown_.reset();
  const auto& loaded = adapter_.lastProgram();
  if (!loaded) return;
  const std::string file = QFile::encodeName(path).toStdString();
  const QString cases_name = QFileInfo(path).fileName();
  std::string reason;
  const auto text = assembler::ReadSourceFile(file, reason);
  if (!text) {
    showFileErrorBox(dialog_parent_, path.toStdString(), reason);
    return;
  }
  const grader::ParsedCases parsed = grader::ParseCases(*text, file);
  if (!parsed.cases) {
    showCasesErrors(cases_name, parsed);
    return;
  }
  auto outcome = std::make_shared<CaseCheckOutcome>();
  outcome->run = ++runs_;
  outcome->cases_name = cases_name;
  outcome->cases = *parsed.cases;
  editor_.showMessageGroup(
      groupItems(grader::checkingLines(cases_name.toStdString(), outcome->cases, loaded->name)),
      {});
  cancel_ = std::make_shared<std::atomic<bool>>(false);
  worker_ = std::thread([this, outcome, program = *loaded, cancel = cancel_]() mutable {
    outcome->program = program.kind == MachineAdapter::ProgramKind::Source
                           ? grader::PrepareProgram(program.name, std::move(program.text))
                           : grader::PrepareProgram(program.name);
    outcome->result =
        grader::GradeProgram(outcome->program, program.name, outcome->cases, cancel.get());
    // A check cancelled half-way has nothing right to show.
    if (!cancel->load()) emit graded(std::move(outcome));
  });
}

void CaseCheck::showCasesErrors(const QString& name, const grader::ParsedCases& parsed) {
  editor_.showMessageGroup(groupItems(grader::casesErrorLines(name.toStdString(), parsed)), {});
}

void CaseCheck::show(const std::shared_ptr<const CaseCheckOutcome>& outcome) {
  if (outcome->run != runs_) return;  // a later Comprobar replaced it
  shown_ = outcome;
  editor_.showMessageGroup(groupItems(grader::resultLines(outcome->cases_name.toStdString(),
                                                          outcome->cases, outcome->result)),
                           [this](int index) { prepare(index); });
}

void CaseCheck::prepare(int index) {
  // Held: the load's boxes may let a later check replace what is shown.
  const std::shared_ptr<const CaseCheckOutcome> outcome = shown_;
  if (!outcome || index < 0 || static_cast<std::size_t>(index) >= outcome->cases.cases.size()) {
    return;
  }
  grader::PrepareCase(adapter_.tuka(), outcome->program,
                      outcome->cases.cases[static_cast<std::size_t>(index)], outcome->cases);
}

}  // namespace orben
