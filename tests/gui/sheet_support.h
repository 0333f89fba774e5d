// Helpers shared by the settings sheet tests: their rig, ways to act on
// controls by their ids, and typing as an input method does.
#pragma once

#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QtTest>

#include "editor/my_property_sheet.h"
#include "editor/page_common.h"
#include "protocol/command_set.h"
#include "session_rig.h"

namespace kvt::test {

// What each sheet test starts afresh with (NewRig in its init): a session
// on a stand-in sign on a virtual clock.
class SheetRig {
protected:
    void NewRig() { rig_ = std::make_unique<SessionRig>(); }
    Session& session() { return rig_->session; }
    SignOnClock& sign() { return rig_->sign; }
    RecordingSeam& boxes() { return rig_->boxes; }

    std::unique_ptr<SessionRig> rig_;
};

template <typename T = QWidget>
T* Control(QWidget* page, int id) {
    T* w = page->findChild<T*>(QString::number(id));
    if (!w) qFatal("control %d not found", id);
    return w;
}

// What the user's choice in a drop-down list does.
inline void Choose(QWidget* page, int id, int index) {
    auto* combo = Control<QComboBox>(page, id);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

inline void Click(QWidget* page, int id) {
    QTest::mouseClick(Control<QWidget>(page, id), Qt::LeftButton);
}

// Shows tab `index` of the sheet and returns its page.
inline QWidget* ShowTab(CMyPropertySheet& sheet, int index) {
    sheet.tabs()->setCurrentIndex(index);
    return sheet.page(index);
}

// Types text one character at a time as an input method commits it (how
// Japanese text arrives in a line edit).
inline void Type(QWidget* edit, const QString& text) {
    for (int i = 0; i < text.size(); ++i) {
        const int width = text.at(i).isHighSurrogate() ? 2 : 1;
        QInputMethodEvent commit;
        commit.setCommitString(text.mid(i, width));
        QApplication::sendEvent(edit, &commit);
        i += width - 1;
    }
}

inline std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

}  // namespace kvt::test
