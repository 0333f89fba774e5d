#include "app/kvt540m_doc.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>

#include "app/app_icons.h"
#include "app/kvt540m_view.h"
#include "session/session.h"
#include "settings/settings_file.h"

namespace kvt {

namespace {

// Shows the program's document icon for settings files in the dialogs.
class DatIconProvider : public QFileIconProvider {
public:
    QIcon icon(const QFileInfo& info) const override {
        if (info.isFile() && info.suffix().compare("dat", Qt::CaseInsensitive) == 0) return DocumentIcon();
        return QFileIconProvider::icon(info);
    }
};

}  // namespace

CKVT540MDoc::CKVT540MDoc(Session& session, CKVT540MView* view)
    : session_(session), view_(view) {}

QString CKVT540MDoc::ChooseFile(bool save) {
    return chooser_ ? chooser_(save) : RunFileDialog(save);
}

bool CKVT540MDoc::RunInProgress() const { return session_.transferStep != 0; }

QString CKVT540MDoc::RunFileDialog(bool save) {
    DatIconProvider icons;  // outlives the dialog that uses it
    QFileDialog dialog(nullptr);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setIconProvider(&icons);
    dialog.setNameFilter(tr("ﾃﾞｰﾀ(*.dat)"));
    dialog.setDefaultSuffix(QStringLiteral("dat"));
    if (save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        // The open dialog does not insist on an existing file: a missing one
        // is reported as "Can't file open" and remembered as the file name.
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDirectory(QDir::home());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().first();
}

void CKVT540MDoc::FileNew() {
    if (RunInProgress()) return;
    if (session_.modified == 1 &&
        !session_.AskYesNo(QT_TRANSLATE_NOOP("kvt::Box", "データを保存せずに新規作成しますか？")))
        return;
    session_.ResetSettings();
    if (view_) view_->BlankCaption();
}

bool CKVT540MDoc::MayOpen() {
    if (RunInProgress()) return false;
    return session_.modified != 1 ||
           session_.AskYesNo(
               QT_TRANSLATE_NOOP("kvt::Box", "データを保存せずに別のファイルを開きますか？"));
}

void CKVT540MDoc::FileOpen() {
    if (!MayOpen()) return;
    QString path = ChooseFile(false);
    if (path.isEmpty()) return;
    ReadFrom(path);
}

void CKVT540MDoc::OpenFile(const QString& path) {
    if (MayOpen()) ReadFrom(path);
}

void CKVT540MDoc::ReadFrom(const QString& path) {
    session_.fileName = QFile::encodeName(path).toStdString();
    std::string message;
    const bool read = ReadSettingsFile(session_.fileName, &session_.panelSettings,
                                       &session_.currentPage, &message);
    RepaintView();  // the caption shows the new name, read or not
    if (!read) {
        session_.WarningBox(message);
        return;
    }
    session_.modified = 0;
}

void CKVT540MDoc::FileSave() {
    if (RunInProgress()) return;
    SaveTo(QFile::decodeName(session_.fileName.c_str()));
}

void CKVT540MDoc::FileSaveAs() {
    if (RunInProgress()) return;
    QString path = ChooseFile(true);
    if (path.isEmpty()) return;
    session_.fileName = QFile::encodeName(path).toStdString();
    SaveTo(path);
}

void CKVT540MDoc::RepaintView() {
    // Covering and uncovering the window shows what the window system kept
    // of it, so without this the caption would keep the old name.
    if (view_) view_->update();
}

void CKVT540MDoc::SaveTo(const QString& path) {
    RepaintView();
    if (path.isEmpty()) {
        session_.WarningBox("Can't file open");
        return;
    }
    std::string message;
    SaveResult result = WriteSettingsFile(QFile::encodeName(path).toStdString(),
                                          session_.panelSettings, session_.currentPage, &message);
    if (result != SaveResult::Ok) {
        // modified stays as it was: the changes are not on disk.
        session_.WarningBox(message.empty() ? "Can't file write" : message);
        return;
    }
    session_.modified = 0;
}

}  // namespace kvt
