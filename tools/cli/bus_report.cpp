#include "tools/cli/bus_report.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "settings/settings_file.h"
#include "text/clipped.h"
#include "tools/cli/outcome_table.h"

namespace kvt::cli {

namespace {

// "result", "error", "differences" and "seconds" (to a tenth, rounded) of a
// sign into its entry.
void PutResult(const SlaveResult& r, QJsonObject* entry) {
    QJsonArray differences;
    for (const std::string& d : r.differences) differences.append(QString::fromStdString(d));
    (*entry)["result"] = ReportResult(r);
    (*entry)["error"] = QString::fromStdString(ProblemText(r));
    (*entry)["differences"] = differences;
    (*entry)["seconds"] = static_cast<double>((r.ms + 50) / 100) / 10;
}

bool WriteReport(const std::string& path, const std::string& command, bool ok, const char* listName,
                 const QJsonArray& list, std::string* error) {
    QJsonObject report;
    report["command"] = QString::fromStdString(command);
    report["ok"] = ok;
    report[listName] = list;
    if (SaveWholeFile(path, QJsonDocument(report).toJson().toStdString()) == SaveResult::Ok)
        return true;
    *error = "cannot write the report " + Clipped(path);
    return false;
}

}  // namespace

bool WriteBusReport(const std::string& path, const std::string& command,
                    const std::vector<SlaveResult>& results, std::string* error) {
    QJsonArray slaves;
    bool allOk = true;
    for (const SlaveResult& r : results) {
        QJsonObject slave;
        slave["slave"] = r.slave;
        PutResult(r, &slave);
        slaves.append(slave);
        allOk = allOk && r.ok();
    }
    return WriteReport(path, command, allOk, "slaves", slaves, error);
}

bool WriteFleetReport(const std::string& path, const std::string& command,
                      const std::vector<FleetSignResult>& results, std::string* error) {
    QJsonArray signs;
    bool allOk = true;
    for (const FleetSignResult& r : results) {
        QJsonObject sign;
        sign["name"] = QString::fromStdString(r.name);
        sign["line"] = QString::fromStdString(r.line);
        sign["slave"] = r.result.slave == kNoSlave ? QJsonValue() : QJsonValue(r.result.slave);
        PutResult(r.result, &sign);
        signs.append(sign);
        allOk = allOk && r.result.ok();
    }
    return WriteReport(path, command, allOk, "signs", signs, error);
}

}  // namespace kvt::cli
