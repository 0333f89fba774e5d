// The File menu's commands: new, open, save, save as. The document holds no
// data of its own; the commands work on the session's store.
#pragma once

#include <functional>

#include <QCoreApplication>
#include <QString>

class QWidget;

namespace kvt {

class CKVT540MView;
class Session;

class CKVT540MDoc {
    Q_DECLARE_TR_FUNCTIONS(kvt::CKVT540MDoc)

public:
    // Runs a file dialog and returns the chosen full path, "" when cancelled.
    // save: the save-as dialog (overwrite question); otherwise the open one.
    using FileChooser = std::function<QString(bool save)>;

    // view: whose caption File new blanks and open, save and save as
    // repaint with the file's name (may be null).
    explicit CKVT540MDoc(Session& session, CKVT540MView* view = nullptr);

    void FileNew();     // 32774 "新規作成"
    void FileOpen();    // 32775 "開く"
    // Opens path as "開く" does once a file is chosen (the program's command
    // line names it): the same checks first, the same box when it cannot be
    // read.
    void OpenFile(const QString& path);
    void FileSave();    // 32776 "上書き保存"
    void FileSaveAs();  // 32777 "名前を付けて保存"

    // Replaces the Qt file dialogs (tests); an empty chooser restores them.
    void SetFileChooser(FileChooser chooser) { chooser_ = std::move(chooser); }
    // The Qt file dialogs: filter "ﾃﾞｰﾀ(*.dat)", default suffix "dat",
    // overwrite confirmation; open starts in the home folder.
    static QString RunFileDialog(bool save);

private:
    QString ChooseFile(bool save);
    // While a multi-step run is going on the file commands do nothing.
    bool RunInProgress() const;
    // The checks before a file is opened: no run, and no unsaved changes
    // or the user lets them go.
    bool MayOpen();
    void ReadFrom(const QString& path);
    void SaveTo(const QString& path);
    void RepaintView();

    Session& session_;
    CKVT540MView* view_;
    FileChooser chooser_;
};

}  // namespace kvt
