#include "session/session.h"

#include <algorithm>

namespace kvt {

Session::Session(MessageBoxSeam* seam) : seam_(seam ? seam : &StderrSeam()) {
    ResetPanelSettings(&panelSettings);
    link_.SetErrorSink([this](const std::string& text) { Report(Outcome::Link(text)); });
}

void Session::ResetSettings() {
    ResetPanelSettings(&panelSettings);
    fileName.clear();
    currentPage = 0;
    modified = 0;
}

void Session::ResetReplyState() {
    replyPending = 0;
    replyWaitTicks = 0;
    errorReply = 0;
    transferStep = 0;
    messageOwner = nullptr;
}

void Session::AddListener(SessionListener* listener) { listeners_.push_back(listener); }

void Session::RemoveListener(SessionListener* listener) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener),
                     listeners_.end());
}

bool Session::SendCommand(const std::string& text) {
    if (lineMode != 0 && (slaveNo < 0 || slaveNo > kLastSlave)) {
        // No sign answers to it: refused like a value out of its range.
        Report(Outcome::Refused(Rejection::OutOfRange, "Value out of range: slave number is " +
                                                           std::to_string(slaveNo) + " (0.." +
                                                           std::to_string(kLastSlave) + ")"));
        return false;
    }
    port_->WritePort(SlavePrefix(lineMode, slaveNo) + text);
    replyPending = 1;
    Tell(&SessionListener::CommandSent);
    return true;
}

bool Session::Dispatch(const Command& command) {
    if (command.rejected()) {
        Report(Outcome::Refused(command.rejection, command.message));
        return true;
    }
    if (!command.line.empty()) SendCommand(command.line);
    return false;
}

void Session::Report(const Outcome& outcome) { seam_->Tell(outcome, messageOwner.load()); }

void Session::WarningBox(const std::string& text) {
    seam_->Show(WarningBoxRequest(text, messageOwner.load()));
}


bool Session::AskYesNo(const std::string& text) {
    return seam_->Show(QuestionBoxRequest(text)) == BoxResult::Yes;
}

void Session::NoticeBox(const std::string& text) { seam_->Show(NoticeBoxRequest(text)); }

}  // namespace kvt
