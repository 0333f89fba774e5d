// Helpers shared by the settings sheet tests: a clean store, a port that
// answers like the sign, and ways to act on controls by their ids.
#pragma once

#include <QComboBox>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <functional>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

#include "editor/my_property_sheet.h"
#include "editor/page_common.h"
#include "protocol/command_set.h"
#include "serial/reply_interpreter.h"
#include "serial/reply_state.h"
#include "settings/panel_settings.h"
#include "support/recording_seam.h"

namespace kvt::test {

inline void ResetAll() {
    ResetSettings();
    ResetReplyState();
    slaveNo = 0;
    lineMode = 0;
    pageGroup = 0;
    displayOn = 1;
}

// Records every line with the time it was written, and answers each with
// `reply` (if any) from the event loop, as the window thread does with the
// lines of the read thread.
class AnsweringPort : public RecordingPort {
public:
    void WritePort(const std::string& bytes) override {
        RecordingPort::WritePort(bytes);
        times.push_back(clock.elapsed());
        const std::string text = replyFor ? replyFor(lines.size()) : reply;
        if (text.empty()) return;
        const std::string answer = SlavePrefix() + text;
        QTimer::singleShot(0, [answer] { InterpretReply(answer); });
    }
    std::string reply;  // e.g. "GO\r\n"; empty: the sign stays silent
    // When set: the reply to the n-th line written (1-based).
    std::function<std::string(size_t)> replyFor;
    std::vector<qint64> times;
    QElapsedTimer clock;
    AnsweringPort() { clock.start(); }
};

// Records boxes like RecordingSeam; a box whose text is `text` stays open
// for holdMs, with the event loop running as under a real box.
class HoldingSeam : public RecordingSeam {
public:
    HoldingSeam(std::string text, int holdMs) : text_(std::move(text)), holdMs_(holdMs) {}
    BoxResult Show(const BoxRequest& box) override {
        BoxResult result = RecordingSeam::Show(box);
        if (box.text == text_) {
            QEventLoop loop;
            QTimer::singleShot(holdMs_, &loop, &QEventLoop::quit);
            loop.exec();
        }
        return result;
    }

private:
    std::string text_;
    int holdMs_;
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

inline std::string Utf8(const QString& s) { return s.toStdString(); }

}  // namespace kvt::test
