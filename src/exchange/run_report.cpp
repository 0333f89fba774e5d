#include "exchange/run_report.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "settings/settings_file.h"
#include "text/clipped.h"

namespace kvt {

namespace {

QJsonObject Entry(ResultsOf of, const SignRow& row) {
    const SlaveResult& r = row.result;
    QJsonObject entry;
    if (of == ResultsOf::Fleet) {
        entry["name"] = QString::fromStdString(row.name);
        entry["line"] = QString::fromStdString(row.line);
    }
    entry["slave"] = r.slave == kNoSlave ? QJsonValue() : QJsonValue(r.slave);
    QJsonArray differences;
    for (const std::string& d : r.differences) differences.append(QString::fromStdString(d));
    entry["result"] = ReportResult(r);
    entry["error"] = QString::fromStdString(ProblemText(r));
    entry["differences"] = differences;
    entry["seconds"] = SecondsToATenth(r.ms);
    return entry;
}

}  // namespace

std::string ProblemText(const SlaveResult& result) {
    switch (result.problem) {
    case SignProblem::None: return "";
    case SignProblem::SignError: return SignErrorText(result.signError);
    case SignProblem::NoConnect: return "No Connect";
    case SignProblem::NotUnderstood: return "Reply Not Understood";
    case SignProblem::PortNotOpened:
        return result.detail.empty() ? "the port did not open" : result.detail;
    case SignProblem::LineFailed: return "the line's port failed";
    case SignProblem::FileNotWritten: return result.detail;
    case SignProblem::Interrupted: return "interrupted";
    }
    return result.detail;
}

const char* ReportResult(const SlaveResult& result) {
    switch (VerdictOf(result)) {
    case SignVerdict::Ok: return "OK";
    case SignVerdict::Differences: return "differences";
    case SignVerdict::Error: return "error";
    case SignVerdict::Interrupted: return "interrupted";
    case SignVerdict::NotReached: return "not reached";
    }
    return "error";
}

double SecondsToATenth(Millis ms) { return static_cast<double>((ms + 50) / 100) / 10; }

bool WriteResultsReport(ResultsOf of, const std::string& path, const std::string& command,
                        const std::vector<SignRow>& rows, std::string* error) {
    QJsonArray list;
    bool allOk = true;
    for (const SignRow& row : rows) {
        list.append(Entry(of, row));
        allOk = allOk && row.result.ok();
    }
    QJsonObject report;
    report["command"] = QString::fromStdString(command);
    report["ok"] = allOk;
    report[of == ResultsOf::Bus ? "slaves" : "signs"] = list;
    if (SaveWholeFile(path, QJsonDocument(report).toJson().toStdString()) == SaveResult::Ok)
        return true;
    *error = "cannot write the report " + Clipped(path);
    return false;
}

}  // namespace kvt
