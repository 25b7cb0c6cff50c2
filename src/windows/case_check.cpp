#include "windows/case_check.h"

#include <QFile>
#include <QFileInfo>

#include <string>
#include <vector>

#include "assembler/source_file.h"
#include "grader/case_start.h"
#include "grader/grade_reports.h"
#include "text/language.h"
#include "windows/dialogs.h"
#include "windows/machine_adapter.h"
#include "windows/source_editor.h"

namespace orben {

namespace {

// The windows speak Spanish, as a student's report does.
constexpr Language kShown = Language::Spanish;

QString utf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString heading(const QString& cases_name, const std::string& title) {
  const QString named = QStringLiteral("Casos de %1").arg(cases_name);
  return title.empty() ? named : QStringLiteral("%1: %2").arg(named, utf8(title));
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
    showMessageBox(dialog_parent_,
                   "Cargue antes un programa: Ensamblar y cargar o Cargar programa objeto.");
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
      {{heading(cases_name, outcome->cases.title)},
       {QStringLiteral("Comprobando %1…").arg(QFileInfo(utf8(loaded->name)).fileName())}},
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
  std::vector<SourceEditor::GroupItem> items{{heading(name, {})}};
  for (const grader::CasesError& e : parsed.errors) {
    const QString message = utf8(e.message.in(kShown));
    items.push_back(
        {e.line == 0 ? message : QStringLiteral("%1:%2: %3").arg(e.line).arg(e.column).arg(message),
         -1, true});
  }
  editor_.showMessageGroup(items, {});
}

void CaseCheck::show(const std::shared_ptr<const CaseCheckOutcome>& outcome) {
  if (outcome->run != runs_) return;  // a later Comprobar replaced it
  shown_ = outcome;
  const grader::ProgramResult& result = outcome->result;
  std::vector<SourceEditor::GroupItem> items{{heading(outcome->cases_name, outcome->cases.title)}};
  for (const std::string& line : linesIn(grader::programProblems(result), kShown)) {
    items.push_back({utf8(line), -1, result.trouble != grader::Trouble::None});
  }
  for (std::size_t i = 0; i < result.cases.size(); ++i) {
    const grader::CaseResult& c = result.cases[i];
    // A hidden case's inputs are not shown, not even on the machine.
    const bool open = !c.passed && !c.hidden && result.trouble == grader::Trouble::None;
    const int key = open ? static_cast<int>(i) : -1;
    items.push_back({utf8(grader::caseLine(c, kShown)), key, !c.passed});
    for (const std::string& difference :
         grader::differenceLines(result, c, grader::Reader::Student, kShown)) {
      items.push_back({utf8(difference), key, true});
    }
  }
  items.push_back({utf8(grader::totalLine(outcome->cases, result, kShown))});
  editor_.showMessageGroup(items, [this](int index) { prepare(index); });
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
