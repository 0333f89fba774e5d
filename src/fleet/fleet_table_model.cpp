#include "fleet/fleet_table_model.h"

#include <QBrush>
#include <QColor>
#include <QDir>
#include <QFile>
#include <algorithm>

#include "exchange/run_report.h"
#include "protocol/slave_list.h"
#include "transfer/run_steps.h"
#include "widgets/result_words.h"

namespace kvt {

namespace {

using Stage = FleetSignState::Stage;

// Light enough for black text.
QColor VerdictColour(SignVerdict verdict) {
    switch (verdict) {
    case SignVerdict::Ok: return QColor(0xd4, 0xf0, 0xd4);
    case SignVerdict::Differences: return QColor(0xff, 0xec, 0xb8);
    case SignVerdict::Error: return QColor(0xf8, 0xcc, 0xcc);
    case SignVerdict::Interrupted:
    case SignVerdict::NotReached: return QColor(0xe0, 0xe0, 0xe0);
    }
    return QColor(Qt::white);
}

bool HasResult(const FleetTableModel::Row& row) { return row.state.stage == Stage::Done; }

}  // namespace

FleetTableModel::FleetTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void FleetTableModel::SetSheet(const std::vector<FleetLine>& lines, const QString& folder) {
    beginResetModel();
    rows_.clear();
    const QDir dir(folder);
    for (size_t i = 0; i < lines.size(); ++i)
        for (size_t k = 0; k < lines[i].signs.size(); ++k) {
            const FleetSign& sign = lines[i].signs[k];
            Row row;
            row.line = i;
            row.sign = k;
            row.name = QString::fromStdString(sign.name);
            row.port = QString::fromStdString(lines[i].name);
            row.slave = sign.slave;
            row.path = sign.file;
            row.file = dir.relativeFilePath(QFile::decodeName(sign.file.c_str()));
            rows_.push_back(row);
        }
    endResetModel();
}

void FleetTableModel::SetWaiting(const std::vector<size_t>& rows) {
    for (size_t i : rows) rows_[i].state = FleetSignState{FleetSignState::Stage::Waiting, 0, 0, {}};
    if (!rows.empty())
        RowsChanged(*std::min_element(rows.begin(), rows.end()),
                    *std::max_element(rows.begin(), rows.end()));
}

void FleetTableModel::SetStates(const std::vector<std::pair<size_t, FleetSignState>>& states) {
    if (states.empty()) return;
    size_t first = rows_.size(), last = 0;
    for (const auto& [i, state] : states) {
        rows_[i].state = state;
        first = std::min(first, i);
        last = std::max(last, i);
    }
    // One signal for every change of a pick-up.
    RowsChanged(first, last);
}

void FleetTableModel::RowsChanged(size_t first, size_t last) {
    emit dataChanged(index(static_cast<int>(first), 0),
                     index(static_cast<int>(last), kColumnCount - 1));
}

QString FleetTableModel::Summary(const std::vector<size_t>& rows) const {
    int counts[5] = {};  // by verdict
    int toGo = 0;
    for (size_t i : rows) {
        const Stage stage = rows_[i].state.stage;
        if (stage == Stage::Done)
            ++counts[static_cast<int>(VerdictOf(rows_[i].state.result))];
        else if (stage != Stage::Idle)
            ++toGo;
    }
    const QString words[5] = {tr("正常 %1"), tr("相違 %1"), tr("失敗 %1"), tr("中断 %1"),
                              tr("未到達 %1")};
    QStringList parts;
    for (int v = 0; v < 5; ++v)
        if (counts[v] > 0) parts << words[v].arg(counts[v]);
    if (toGo > 0) parts << tr("残り %1").arg(toGo);
    const QString signs = rows.size() == 1 ? tr("1 台") : tr("%1 台").arg(rows.size());
    return parts.isEmpty() ? signs : signs + ": " + parts.join(tr("、"));
}

QStringList FleetTableModel::LongestTexts(int column) const {
    if (column == kSeconds) return {QStringLiteral("9999.9")};
    QStringList texts;
    for (Stage stage : {Stage::Waiting, Stage::Opening, Stage::Sending, Stage::Verifying,
                        Stage::Reading, Stage::Done}) {
        Row row;
        row.state.stage = stage;
        row.state.step = row.state.lastStep = kAllItemsLastStep;
        texts << Text(row, kProgress);
    }
    return texts;
}

int FleetTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int FleetTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QString FleetTableModel::Text(const Row& row, int column) const {
    const FleetSignState& state = row.state;
    switch (column) {
    case kName: return row.name;
    case kPort: return row.port;
    case kSlave: return row.slave == kNoSlave ? QString() : QString::fromStdString(TwoDigits(row.slave));
    case kFile: return row.file;
    case kProgress:
        switch (state.stage) {
        case Stage::Idle: return QString();
        case Stage::Waiting: return tr("待機中");
        case Stage::Opening: return tr("接続中");
        case Stage::Sending: return tr("ステップ %1/%2").arg(state.step).arg(state.lastStep);
        case Stage::Verifying: return tr("照合中 %1/%2").arg(state.step).arg(state.lastStep);
        case Stage::Reading: return tr("読出中 %1/%2").arg(state.step).arg(state.lastStep);
        case Stage::Done:
            // A sign stopped half-way shows where; one never reached, nothing.
            if (state.result.notReached) return QString();
            if (state.result.problem == SignProblem::Interrupted)
                return tr("ステップ %1/%2").arg(state.step).arg(state.lastStep);
            return tr("完了");
        }
        return QString();
    case kResult: {
        if (!HasResult(row)) return QString();
        const QString words = ResultWords::Of(state.result);
        const QString reason = ResultWords::Reason(state.result);
        // Why a sign was not reached, when it is known.
        return state.result.notReached && !reason.isEmpty() ? words + ": " + reason : words;
    }
    case kSeconds:
        if (!HasResult(row) || state.result.notReached ||
            state.result.problem == SignProblem::Interrupted)
            return QString();
        return QString::number(SecondsToATenth(state.result.ms), 'f', 1);
    }
    return QString();
}

QVariant FleetTableModel::SortKey(const Row& row, int column) const {
    const FleetSignState& state = row.state;
    switch (column) {
    case kSlave: return row.slave;
    case kProgress: return static_cast<int>(state.stage) * 1000 + state.step;
    case kResult:
        if (!HasResult(row)) return -1;
        return static_cast<int>(VerdictOf(state.result)) * 100000 +
               static_cast<int>(std::min<size_t>(state.result.differences.size(), 99999));
    case kSeconds: return HasResult(row) ? static_cast<qlonglong>(state.result.ms) : -1;
    default: return Text(row, column);
    }
}

QVariant FleetTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || static_cast<size_t>(index.row()) >= rows_.size()) return QVariant();
    const Row& row = rows_[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole: return Text(row, index.column());
    case kSortRole: return SortKey(row, index.column());
    case Qt::ToolTipRole:  // a long result, whole
        return index.column() == kResult ? Text(row, kResult) : QVariant();
    case Qt::BackgroundRole:
        if (!HasResult(row)) return QVariant();
        return QBrush(VerdictColour(VerdictOf(row.state.result)));
    case Qt::ForegroundRole:
        if (!HasResult(row)) return QVariant();
        return QBrush(Qt::black);
    case Qt::TextAlignmentRole:
        if (index.column() == kSeconds || index.column() == kSlave)
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant();
    }
    return QVariant();
}

QVariant FleetTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
    switch (section) {
    case kName: return tr("名前");
    case kPort: return tr("ポート");
    case kSlave: return tr("スレーブ");
    case kFile: return tr("ファイル");
    case kProgress: return tr("進行");
    case kResult: return tr("結果");
    case kSeconds: return tr("秒");
    }
    return QVariant();
}

}  // namespace kvt
