#include "tools/cli/bus_report.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "settings/settings_file.h"
#include "text/clipped.h"

namespace kvt::cli {

bool WriteBusReport(const std::string& path, const std::string& command,
                    const std::vector<SlaveResult>& results, std::string* error) {
    QJsonArray slaves;
    bool allOk = true;
    for (const SlaveResult& r : results) {
        QJsonArray differences;
        for (const std::string& d : r.differences) differences.append(QString::fromStdString(d));
        QJsonObject slave;
        slave["slave"] = r.slave;
        slave["result"] = !r.error.empty() ? "error" : r.differences.empty() ? "OK" : "differences";
        slave["error"] = QString::fromStdString(r.error);
        slave["differences"] = differences;
        slave["seconds"] = static_cast<double>((r.ms + 50) / 100) / 10;
        slaves.append(slave);
        allOk = allOk && r.ok();
    }
    QJsonObject report;
    report["command"] = QString::fromStdString(command);
    report["ok"] = allOk;
    report["slaves"] = slaves;
    if (SaveWholeFile(path, QJsonDocument(report).toJson().toStdString()) == SaveResult::Ok)
        return true;
    *error = "cannot write the report " + Clipped(path);
    return false;
}

}  // namespace kvt::cli
