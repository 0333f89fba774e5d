#include "editor/text_page.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QLineEdit>
#include <QPushButton>

#include "widgets/dialog_units.h"
#include "protocol/command_set.h"
#include "session/session.h"
#include "settings/cp932.h"

namespace kvt {

namespace {
constexpr int kLineEditFontHeight = 16;  // character cell, pixels
}

CMyPropertyPage1::CMyPropertyPage1(Session& session, RunEngine& engine)
    : SettingsPage(session, 103, 254, 185), run_(session, engine, RunKind::TextPages) {
    for (int k = 0; k < kLineCount; ++k) {
        AddLabel(SettingsPage::tr("%1行目").arg(k + 1), 5, 10 + 25 * k, 18, 8);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::number(1000 + k));
        edit->setGeometry(Du(25, 5 + 25 * k, 135, 20));
        edit->setAttribute(Qt::WA_InputMethodEnabled);
        validators_[k] = new LineByteValidator(edit);
        connect(edit, &QLineEdit::textEdited, this, [this, k] { StoreTypedLine(k); });
        lines_[k] = edit;
    }
    AddPageNoGroup(185, 5, 190, 20);
    AddSlaveNoGroup(185, 55, 190, 70);
    connect(AddButton(1010, SettingsPage::tr("設定"), 190, 110, 50, 14), &QPushButton::clicked, this,
            [this] { SendPage('A'); });
    connect(AddButton(1011, QStringLiteral("Not memory"), 190, 135, 50, 14),
            &QPushButton::clicked, this, [this] { SendPage('N'); });
    connect(AddButton(1023, SettingsPage::tr("全Page設定"), 190, 160, 50, 14),
            &QPushButton::clicked, this, [this] { run_.Start(); });
    run_.Attach(this, slaveCombo_, AddNumberBox(1024, 240, 160, 10, 14));
}

void CMyPropertyPage1::OnInitDialog() {
    const QFont font = FixedGothicFont(kLineEditFontHeight);
    for (QLineEdit* edit : lines_) edit->setFont(font);
    InitCommonCombos();
    LoadControls();
    // Typing starts with the input method open; the sheet closes it.
    SetOwnerToActiveWindow(session_, this);
    QGuiApplication::inputMethod()->show();
}

void CMyPropertyPage1::LoadControls() {
    if (!ValidPage(session_.currentPage)) return;
    for (int k = 0; k < kLineCount; ++k) {
        const std::string& text = session_.panelSettings.lineText[session_.currentPage][k];
        validators_[k]->LoadText(QString::fromStdString(Cp932ToUtf8(text)));
        // Showing a line counts as a change of the edit: the store keeps its
        // bytes, and a non-empty line marks the settings modified.
        if (!text.empty()) session_.modified = 1;
    }
}

void CMyPropertyPage1::StoreTypedLine(int line) {
    if (!ValidPage(session_.currentPage)) return;
    const QString text = lines_[line]->text();
    std::string bytes;
    if (!Utf8ToCp932(text.toStdString(), &bytes)) {
        // Only a replacement character shown for a bad byte of a file line
        // gets here; it goes back as "?".
        QString printable = text;
        printable.replace(QChar(0xFFFD), QLatin1Char('?'));
        Utf8ToCp932(printable.toStdString(), &bytes);
    }
    session_.panelSettings.lineText[session_.currentPage][line] = bytes;
    if (!bytes.empty()) session_.modified = 1;
}

void CMyPropertyPage1::SendPage(char storeLetter) {
    PrepareSend(false, false);
    // A bad page is reported there.
    session_.Dispatch(BuildTextCommand(session_.panelSettings, storeLetter, session_.currentPage));
}

bool CMyPropertyPage1::CanLeave() {
    for (QLineEdit* edit : lines_) {
        const QString text = edit->text();
        if (Cp932Length(text) <= kMaxLineBytes) continue;
        int keep = 0;
        while (Cp932Length(text.left(keep + 1)) <= kMaxLineBytes) ++keep;
        edit->setFocus();
        edit->setSelection(keep, text.size() - keep);
        return false;
    }
    return true;
}

}  // namespace kvt
