// What every page of the settings sheet shares: the session it edits (with
// its eight-page group), the Page No. and Slave No. combos, the one-time initialisation when
// the page is first shown, and helpers that place controls at their
// dialog-unit rectangles.
#pragma once

#include <QStringList>
#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kvt {

class Session;

bool ValidPage(int page);
// "01".."32" style lists: count items from first, two digits each.
QStringList TwoDigitItems(int first, int count);
// Selects the item of that index, or no item when the value has none.
void SelectItem(QComboBox* combo, int value);
// Copies the combo's selection into *target; nothing when none is selected.
void CopySelection(const QComboBox* combo, int* target);
// messageOwner = the active window (the page's window when none is active).
void SetOwnerToActiveWindow(Session& session, QWidget* page);

class SettingsPage : public QWidget {
    Q_OBJECT
public:
    // widthDu x heightDu: the page's size in dialog units.
    SettingsPage(Session& session, int dialogId, int widthDu, int heightDu);

    // Builds the page's state from the store the first time the page is
    // shown in this opening of the sheet; later calls do nothing.
    void EnsureInitialised();
    bool initialised() const { return initialised_; }
    // False (and the offending control focused) when the page must not be
    // left as it is.
    virtual bool CanLeave() { return true; }

protected:
    // The page's own initialisation (after the common steps when
    // the page calls InitCommonCombos).
    virtual void OnInitDialog() = 0;
    // Sets every control from the store.
    virtual void LoadControls() {}

    QRect Du(int x, int y, int w, int h) const;
    QGroupBox* AddGroup(const QString& title, int x, int y, int w, int h);
    QLabel* AddLabel(const QString& text, int x, int y, int w, int h);
    // A drop-down list; its height is that of the closed box.
    QComboBox* AddCombo(int id, const QStringList& items, int x, int y, int w);
    QPushButton* AddButton(int id, const QString& text, int x, int y, int w, int h);
    // A read-only, right-aligned edit (run counters, page numbers).
    QLineEdit* AddNumberBox(int id, int x, int y, int w, int h);
    // Group "Page No." with combo 1008; a choice moves currentPage and
    // reloads the page.
    void AddPageNoGroup(int gx, int gy, int cx, int cy);
    // Group "Slave No." with combo 1009; a choice moves slaveNo.
    void AddSlaveNoGroup(int gx, int gy, int cx, int cy);
    // Slave No. selected at slaveNo in RS-485 mode, disabled otherwise
    // (showing the slave of the sheet's building); Page No. at currentPage.
    void InitCommonCombos();
    // Sends start here: copies the page's combos into the shared values
    // where the page's rule says so, then takes the message-box ownership.
    void PrepareSend(bool copyPage, bool copySlave);

    Session& session_;
    QComboBox* pageCombo_ = nullptr;
    QComboBox* slaveCombo_ = nullptr;

private:
    int seededSlave_;  // slaveNo when the sheet was built
    bool initialised_ = false;
};

}  // namespace kvt
