#include "app/qt_message_seam.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <QWidget>

namespace kvt {

namespace {

QMessageBox::Icon ToQtIcon(BoxIcon icon) {
    switch (icon) {
    case BoxIcon::Hand: return QMessageBox::Critical;
    case BoxIcon::Exclamation: return QMessageBox::Warning;
    case BoxIcon::Question: return QMessageBox::Question;
    case BoxIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

// The owner only when it is still a live widget: messageOwner may name a
// window that has closed since it was stored.
QWidget* LiveOwner(void* owner) {
    if (!owner) return nullptr;
    const QWidgetList widgets = QApplication::allWidgets();
    for (QWidget* w : widgets)
        if (w == owner) return w;
    return nullptr;
}

}  // namespace

QString BoxText(const std::string& text) {
    return QCoreApplication::translate("kvt::Box", text.c_str());
}

BoxResult QtMessageSeam::Show(const BoxRequest& box) {
    if (QThread::currentThread() == thread()) return ShowHere(box);
    std::lock_guard<std::mutex> caller(callerMutex_);
    std::unique_lock<std::mutex> lock(mutex_);
    pending_ = &box;
    done_ = false;
    // The request travels under the mutex; the queued call only wakes the
    // window thread.
    QMetaObject::invokeMethod(this, "ShowHandedOver", Qt::QueuedConnection);
    answered_.wait(lock, [this] { return done_; });
    pending_ = nullptr;
    return result_;
}

void QtMessageSeam::ShowHandedOver() {
    BoxRequest box;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!pending_) return;
        box = *pending_;
    }
    const BoxResult result = ShowHere(box);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        result_ = result;
        done_ = true;
    }
    answered_.notify_all();
}

BoxResult QtMessageSeam::ShowHere(const BoxRequest& box) {
    if (box.beep != BoxBeep::None) QApplication::beep();
    QMessageBox msg(LiveOwner(box.owner));
    msg.setWindowTitle(BoxText(box.caption));
    msg.setText(BoxText(box.text));
    msg.setIcon(ToQtIcon(box.icon));
    if (box.buttons == BoxButtons::YesNo) {
        msg.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        msg.setDefaultButton(QMessageBox::Yes);
    } else {
        msg.setStandardButtons(QMessageBox::Ok);
    }
    // Task-modal and plain boxes alike block every window of the program.
    msg.setWindowModality(Qt::ApplicationModal);
    int answer = msg.exec();
    if (box.buttons == BoxButtons::YesNo) return answer == QMessageBox::Yes ? BoxResult::Yes : BoxResult::No;
    return BoxResult::Ok;
}

}  // namespace kvt
