#include "serial/message_box.h"

#include <cstdio>

#include "serial/reply_state.h"

namespace kvt {

const char* const kAppTitle = "KVT-540M";

namespace {

class StderrSeam : public MessageBoxSeam {
public:
    BoxResult Show(const BoxRequest& box) override {
        std::fprintf(stderr, "%s\n", box.text.c_str());
        return box.buttons == BoxButtons::YesNo ? BoxResult::No : BoxResult::Ok;
    }
};

StderrSeam stderrSeam;
MessageBoxSeam* installedSeam = &stderrSeam;

BoxRequest OwnedBox(const std::string& text, const char* caption, BoxIcon icon, BoxBeep beep) {
    BoxRequest box;
    box.text = text;
    box.caption = caption;
    box.icon = icon;
    box.beep = beep;
    box.taskModal = true;
    box.owner = messageOwner.load();
    return box;
}

}  // namespace

void InstallMessageBoxSeam(MessageBoxSeam* seam) {
    installedSeam = seam ? seam : &stderrSeam;
}

BoxResult ShowMessageBox(const BoxRequest& box) { return installedSeam->Show(box); }

void ErrorBox(const std::string& text) {
    ShowMessageBox(OwnedBox(text, "Error", BoxIcon::Hand, BoxBeep::Question));
}

void WarningBox(const std::string& text) {
    ShowMessageBox(OwnedBox(text, "Error", BoxIcon::Exclamation, BoxBeep::Question));
}

void SuccessBox() {
    ShowMessageBox(OwnedBox("Success", "設定完了", BoxIcon::None, BoxBeep::Simple));
}

void PortStyleBox(const std::string& text) {
    BoxRequest box = OwnedBox(text, "Error", BoxIcon::Hand, BoxBeep::Question);
    box.owner = nullptr;
    ShowMessageBox(box);
}

bool AskYesNo(const std::string& text) {
    BoxRequest box;
    box.text = text;
    box.caption = kAppTitle;
    box.icon = BoxIcon::Question;
    box.buttons = BoxButtons::YesNo;
    return ShowMessageBox(box) == BoxResult::Yes;
}

void NoticeBox(const std::string& text) {
    BoxRequest box;
    box.text = text;
    box.caption = kAppTitle;
    ShowMessageBox(box);
}

}  // namespace kvt
