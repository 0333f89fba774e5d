// The main window's client area: a fixed picture of the sign's front panel
// and, under it, "File Name " with the path of the settings file in use.
#pragma once

#include <QWidget>

namespace kvt {

class RunEngine;
class Session;

class CKVT540MView : public QWidget {
    Q_OBJECT
public:
    // The caption shows the session's file name; the sheet edits its store.
    CKVT540MView(Session& session, RunEngine& engine, QWidget* parent = nullptr);

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
    Session& session_;
    RunEngine& engine_;
    bool blankPending_ = false;
};

}  // namespace kvt
