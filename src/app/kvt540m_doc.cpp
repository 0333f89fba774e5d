#include "app/kvt540m_doc.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>

#include "app/app_icons.h"
#include "preview/kvt540m_view.h"
#include "serial/message_box.h"
#include "serial/reply_state.h"
#include "settings/panel_settings.h"
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

CKVT540MDoc::FileChooser& Chooser() {
    static CKVT540MDoc::FileChooser chooser;
    return chooser;
}

QString ChooseFile(bool save) {
    return Chooser() ? Chooser()(save) : CKVT540MDoc::RunFileDialog(save);
}

// While a multi-step run is going on the file commands do nothing.
bool RunInProgress() { return transferStep != 0; }

}  // namespace

CKVT540MDoc::CKVT540MDoc(CKVT540MView* view) : view_(view) {}

void CKVT540MDoc::SetFileChooser(FileChooser chooser) { Chooser() = std::move(chooser); }

QString CKVT540MDoc::RunFileDialog(bool save) {
    DatIconProvider icons;  // outlives the dialog that uses it
    QFileDialog dialog(nullptr);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setIconProvider(&icons);
    dialog.setNameFilter(QStringLiteral("ﾃﾞｰﾀ(*.dat)"));
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
    if (modified == 1 && !AskYesNo("データを保存せずに新規作成しますか？")) return;
    ResetSettings();
    if (view_) view_->BlankCaption();
}

void CKVT540MDoc::FileOpen() {
    if (RunInProgress()) return;
    if (modified == 1 && !AskYesNo("データを保存せずに別のファイルを開きますか？")) return;
    QString path = ChooseFile(false);
    if (path.isEmpty()) return;
    fileName = QFile::encodeName(path).toStdString();
    std::string message;
    const bool read = ReadSettingsFile(fileName, &message);
    RepaintView();  // the caption shows the new name, read or not
    if (!read) {
        WarningBox(message);
        return;
    }
    modified = 0;
}

void CKVT540MDoc::FileSave() {
    if (RunInProgress()) return;
    SaveTo(QFile::decodeName(fileName.c_str()));
}

void CKVT540MDoc::FileSaveAs() {
    if (RunInProgress()) return;
    QString path = ChooseFile(true);
    if (path.isEmpty()) return;
    fileName = QFile::encodeName(path).toStdString();
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
        WarningBox("Can't file open");
        return;
    }
    std::string message;
    SaveResult result = WriteSettingsFile(QFile::encodeName(path).toStdString(), &message);
    if (result != SaveResult::Ok) {
        // modified stays as it was: the changes are not on disk.
        WarningBox(message.empty() ? "Can't file write" : message);
        return;
    }
    modified = 0;
}

}  // namespace kvt
