// The fleet window's table: a row per sign of the sheet (name, port, slave,
// file, progress, result, seconds), coloured by result, with a key to sort
// each column by (kSortRole).
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <string>
#include <utility>
#include <vector>

#include "fleet/fleet_tracker.h"

namespace kvt {

class FleetTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kName, kPort, kSlave, kFile, kProgress, kResult, kSeconds, kColumnCount };
    static constexpr int kSortRole = Qt::UserRole;

    struct Row {
        size_t line = 0, sign = 0;  // in the sheet's lines
        QString name, port;
        int slave = kNoSlave;
        std::string path;  // its settings file
        QString file;      // the same as the sheet's folder sees it
        FleetSignState state;
    };

    explicit FleetTableModel(QObject* parent = nullptr);

    // A row per sign of the lines, files shown relative to folder.
    void SetSheet(const std::vector<FleetLine>& lines, const QString& folder);
    size_t size() const { return rows_.size(); }
    const Row& row(size_t i) const { return rows_[i]; }

    // The rows of a run about to start: waiting, their last results gone.
    void SetWaiting(const std::vector<size_t>& rows);
    void SetStates(const std::vector<std::pair<size_t, FleetSignState>>& states);

    // "8 signs: 6 OK, 1 differences, 1 not reached" over the given rows,
    // with those still to go; "8 signs" before any has run.
    QString Summary(const std::vector<size_t>& rows) const;

    // The longest texts of each kind the column shows during a run
    // (progress, seconds).
    QStringList LongestTexts(int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QString Text(const Row& row, int column) const;
    QVariant SortKey(const Row& row, int column) const;
    void RowsChanged(size_t first, size_t last);

    std::vector<Row> rows_;
};

}  // namespace kvt
