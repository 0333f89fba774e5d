#include "widgets/result_words.h"

namespace kvt {

QString ResultWords::Of(const SlaveResult& r) {
    if (r.notReached) return tr("未到達");
    if (r.problem != SignProblem::None) return Reason(r);
    const int n = static_cast<int>(r.differences.size());
    if (n == 0) return tr("正常");
    return n == 1 ? tr("相違 1 件") : tr("相違 %1 件").arg(n);
}

QString ResultWords::Reason(const SlaveResult& r) {
    switch (r.problem) {
    case SignProblem::None: return QString();
    case SignProblem::SignError: return QString::fromUtf8(SignErrorText(r.signError));
    case SignProblem::NoConnect: return QStringLiteral("No Connect");
    case SignProblem::NotUnderstood: return tr("応答を解釈できません");
    case SignProblem::PortNotOpened:
        return r.detail.empty() ? tr("ポートが開きません") : QString::fromStdString(r.detail);
    case SignProblem::LineFailed: return tr("回線のポートが失われました");
    case SignProblem::FileNotWritten: return QString::fromStdString(r.detail);
    case SignProblem::Interrupted: return tr("中断");
    }
    return QString::fromStdString(r.detail);
}

}  // namespace kvt
