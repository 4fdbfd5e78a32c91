// What the user and the log are told about a change of address or a restore: one report per
// step and the reason for a refusal. The status texts are translated, the log lines stay
// English. Widget-free.
#pragma once

#include "transmitter/readdress.h"

#include "services/settings/window_text.h"

#include <QString>
#include <optional>

namespace readdress_texts {

using window_text::Translate;

struct StepReport {
    QString left;   // short status text
    QString middle; // long status text
    QString logLine;
};
// None for a step that is not told on its own (the check, the confirmation).
std::optional<StepReport> step_report(readdress::Step step, bool ok, const Translate &tr);

struct Report {
    QString text; // in the user's language
    QString logLine;
};
using RefusalReport = Report;
using WhereReport = Report;

// Why nothing was written; `matching` names the transmitters of a TwoMatch.
RefusalReport refusal_report(readdress::Refusal why, const Translate &tr, const QList<int> &matching = {});

// Where the transmitter answers after a procedure that failed on the bus: an address,
// readdress::AnswersNowhere or readdress::AnswersUnknown.
WhereReport where_it_answers(int answersAt, const Translate &tr);

// After a failure once the write had begun: the memory may be damaged, and the way back.
Report written_report(const Translate &tr);

// A finished change or restore, and where the transmitter answers now.
Report done_report(bool restore, int from, int to, const Translate &tr);

} // namespace readdress_texts
