// "フリート...": a sheet of signs (fleet_sheet.h), every line at once. A
// table of the signs with their progress and results, the differences of
// the sign selected, and the runs: deploy, verify, read into a folder, each
// over the selected rows or every row; stop; the JSON report of the last
// run. The run goes on elsewhere (FleetDriver) and the table takes what
// changed at most ten times a second, so that a thousand lines keep the
// window answering. A double-click opens a sign's file in the main window.
#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fleet/fleet_driver.h"
#include "fleet/fleet_table_model.h"
#include "session/message_box.h"
#include "settings/settings_file.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSortFilterProxyModel;
class QSpinBox;
class QTableView;

namespace kvt {

class CFleetDlg : public QDialog {
    Q_OBJECT
public:
    // What the window needs of the program around it.
    class Host {
    public:
        virtual ~Host() = default;
        virtual MessageBoxSeam& boxes() = 0;
        // The device of the program's own port while it is open, else "".
        virtual std::string OwnDevice() = 0;
        // The program's own port closed for a run on its device (lent), and
        // opened again after it.
        virtual void LendOwnPort(bool lent) = 0;
        // Opens a settings file as File → 開く does.
        virtual void OpenFile(const QString& path) = 0;
    };
    using DriverMaker = std::function<std::unique_ptr<FleetDriver>()>;
    // What a file dialog is asked for; "" when cancelled.
    enum class Choice { Sheet, ReadFolder, Report };
    using Chooser = std::function<QString(Choice)>;

    // fast: the starting choice of "高速転送".
    CFleetDlg(Host& host, DriverMaker drivers, bool fast, QWidget* parent = nullptr);
    ~CFleetDlg() override;

    // Reads the sheet for its signs; a refused sheet shows one box of its
    // problems and leaves no sign to run.
    bool OpenSheet(const QString& path);

    void OnOpenSheet();   // "シートを開く..."
    void OnDeploy();      // "送信"
    void OnVerify();      // "照合"
    void OnRead();        // "読出..."
    void OnStop();        // "中止"
    void OnSaveReport();  // "レポート保存..."
    // Takes what the run changed into the table; ten times a second while
    // a run goes on.
    void PickUp();

    bool running() const { return driver_ != nullptr; }
    FleetTableModel& model() { return model_; }
    QTableView* table() const { return table_; }
    // Replaces the Qt file dialogs (tests).
    void SetChooser(Chooser chooser) { chooser_ = std::move(chooser); }

    // Closing during a run asks whether to stop it.
    void done(int result) override;

private:
    void StartRun(BusJob job, const std::string& readDir);
    // The rows of the selected signs in the sheet's order, or every row.
    std::vector<size_t> ChosenRows() const;
    void EndRun();
    void SetRunning(bool running);
    void FitColumns();
    void UpdateSummary();
    void ShowDifferences();
    void OpenRowFile(const QModelIndex& index);
    void WriteRead(const FleetRead& read);
    void PutReadsInPlace();
    void FailFile(size_t row, const std::string& why);
    void Warn(const QString& text);
    QString Choose(Choice choice);
    void SaveSize() const;

    Host& host_;
    DriverMaker drivers_;
    Chooser chooser_;
    QString sheet_;
    std::vector<FleetLine> lines_;
    FleetTableModel model_;
    QSortFilterProxyModel* sorted_;
    QTableView* table_;
    QLabel* sheetName_;
    QLabel* summary_;
    QPlainTextEdit* differences_;
    QCheckBox* verify_;
    QCheckBox* fast_;
    QSpinBox* jobs_;
    QPushButton *open_, *deploy_, *verifyRun_, *read_, *stop_, *report_, *close_;
    QTimer pickUp_;

    // The run going on, or the last one.
    std::unique_ptr<FleetTracker> tracker_;
    std::unique_ptr<FleetDriver> driver_;
    BusJob job_ = BusJob::Deploy;
    std::vector<size_t> runRows_;
    std::string readDir_;
    // A read's files, put in place together as the run ends (one sync for
    // all of them), and the row of each.
    std::unique_ptr<SaveBatch> reads_;
    std::map<std::string, size_t> readRows_;
    bool portLent_ = false;
};

}  // namespace kvt
