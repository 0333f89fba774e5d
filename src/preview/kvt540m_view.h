// The main window's client area: a fixed picture of the sign's front panel
// and, under it, "File Name " with the path of the settings file in use.
#pragma once

#include <QWidget>

namespace kvt {

class CKVT540MView : public QWidget {
    Q_OBJECT
public:
    explicit CKVT540MView(QWidget* parent = nullptr);

    // File new: the caption is blanked at once with "File Name" and 46
    // spaces, black on opaque white; the next ordinary repaint draws it as
    // usual again.
    void BlankCaption();

    // Command 32773 "KVTの設定": the settings sheet.
    void OnSettingsSheet();

signals:
    // An edit in the settings sheet has changed the store.
    void storeEdited();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool blankPending_ = false;
};

}  // namespace kvt
