#include "session/message_box.h"

#include <cstdio>

#include "settings/translatable.h"

namespace kvt {

const char* const kAppTitle = "KVT-540M";

namespace {

class StderrBoxes : public MessageBoxSeam {
public:
    BoxResult Show(const BoxRequest& box) override {
        std::fprintf(stderr, "%s\n", box.text.c_str());
        return box.buttons == BoxButtons::YesNo ? BoxResult::No : BoxResult::Ok;
    }
};

BoxRequest OwnedBox(const std::string& text, const char* caption, BoxIcon icon, BoxBeep beep,
                    void* owner) {
    BoxRequest box;
    box.text = text;
    box.caption = caption;
    box.icon = icon;
    box.beep = beep;
    box.taskModal = true;
    box.owner = owner;
    return box;
}

}  // namespace

MessageBoxSeam& StderrSeam() {
    static StderrBoxes seam;  // keeps no state
    return seam;
}

BoxRequest OutcomeBox(const Outcome& outcome, void* owner) {
    switch (outcome.kind) {
    case OutcomeKind::Success: return SuccessBoxRequest(owner);
    case OutcomeKind::SignError: return ErrorBoxRequest(SignErrorText(outcome.signError), owner);
    case OutcomeKind::NoConnect: return ErrorBoxRequest("No Connect", owner);
    case OutcomeKind::LinkMessage: return PortStyleBoxRequest(outcome.message);
    case OutcomeKind::Rejected:
        // A line whose colours are both blank is shown like the link's own
        // errors; the others warn.
        return outcome.rejection == Rejection::BlankColour ? PortStyleBoxRequest(outcome.message)
                                                           : WarningBoxRequest(outcome.message, owner);
    }
    return ErrorBoxRequest(outcome.message, owner);
}

BoxRequest ErrorBoxRequest(const std::string& text, void* owner) {
    return OwnedBox(text, "Error", BoxIcon::Hand, BoxBeep::Question, owner);
}

BoxRequest WarningBoxRequest(const std::string& text, void* owner) {
    return OwnedBox(text, "Error", BoxIcon::Exclamation, BoxBeep::Question, owner);
}

BoxRequest SuccessBoxRequest(void* owner) {
    return OwnedBox("Success", QT_TRANSLATE_NOOP("kvt::Box", "設定完了"), BoxIcon::None, BoxBeep::Simple, owner);
}

BoxRequest PortStyleBoxRequest(const std::string& text) {
    return OwnedBox(text, "Error", BoxIcon::Hand, BoxBeep::Question, nullptr);
}

BoxRequest QuestionBoxRequest(const std::string& text) {
    BoxRequest box;
    box.text = text;
    box.caption = kAppTitle;
    box.icon = BoxIcon::Question;
    box.buttons = BoxButtons::YesNo;
    return box;
}

BoxRequest NoticeBoxRequest(const std::string& text) {
    BoxRequest box;
    box.text = text;
    box.caption = kAppTitle;
    return box;
}

}  // namespace kvt
