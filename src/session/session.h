// One sign's world: its settings store, the run-time state beside it, the
// reply bookkeeping, the link to the sign and the message-box seam. The
// window program holds one; the command-line tool and the tests may hold
// several. Everything here runs on one thread (the window thread, or the
// tool's main thread); the link's reader thread only queues reply lines,
// and the bookkeeping words it could meet are atomics.
#pragma once

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "protocol/command_set.h"
#include "serial/command_port.h"
#include "serial/serial_link.h"
#include "session/message_box.h"
#include "settings/panel_settings.h"

namespace kvt {

// Told what happens on a session's line; the run engine, the reply time-out
// and the command-line tool's counters listen.
class SessionListener {
public:
    virtual ~SessionListener() = default;
    virtual void CommandSent() {}
    // A reply line has been interpreted (its box, if any, dismissed).
    virtual void ReplyInterpreted() {}
    // "No Connect" has been reported.
    virtual void NoConnect() {}
    // An error reply has been shown ("Command Error", ...); told before
    // ReplyInterpreted.
    virtual void ErrorReplied(SignError /*error*/) {}
    // A reply line that is none the sign gives (garbled, or from something
    // else on the line); it changes nothing. Told before ReplyInterpreted.
    virtual void ReplyNotUnderstood() {}
};

class Session {
public:
    // seam: where the boxes go; nullptr for standard error.
    explicit Session(MessageBoxSeam* seam = nullptr);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // --- The store and the run-time state beside it.
    PanelSettings panelSettings;
    int currentPage = 0;   // 0..31, the selected page; saved in the file
    int slaveNo = 0;       // 0..31, RS-485 address
    int comPortIndex = 0;  // 0 COM1, 1 COM2, 2 COM3
    int lineMode = 0;      // 0 RS-232C, non-zero RS-485
    int modified = 0;      // 1 when edited since the last reset, open or save
    std::string fileName;  // path of the settings file, "" when none
    int displayOn = 1;     // display on/off choice; not in the file
    int pageGroup = 0;     // eight-page group (0..3) of the settings sheet

    // --- Reply bookkeeping.
    std::atomic<int> replyPending{0};    // a command was written, no reply yet
    std::atomic<int> replyWaitTicks{0};  // time-out ticks counted while pending
    std::atomic<int> errorReply{0};      // the sign answered with an error
    std::atomic<int> transferStep{0};    // step of the multi-step run; 0 = none
    std::atomic<void*> messageOwner{nullptr};  // owner window of the message boxes

    // Defaults of a new store: see ResetPanelSettings; page 1, no file, not
    // modified. slaveNo, comPortIndex, lineMode and displayOn stay.
    void ResetSettings();
    // The five bookkeeping words back to 0.
    void ResetReplyState();

    // --- The link and the seams.
    SerialLink& link() { return link_; }
    // Where command lines go: the link, unless another port is set (a dry
    // run, a test); nullptr goes back to the link.
    void SetPort(CommandPort* port) { port_ = port ? port : &link_; }
    void SetSeam(MessageBoxSeam* seam) { seam_ = seam ? seam : &StderrSeam(); }
    MessageBoxSeam& seam() { return *seam_; }
    void AddListener(SessionListener* listener);
    void RemoveListener(SessionListener* listener);

    // --- Sending.
    // Writes one command line (ending in CR LF) with the slave prefix in
    // RS-485 mode, then sets replyPending, whatever the write's outcome. In
    // RS-485 mode with slaveNo outside 0..31 nothing is written: a Rejected
    // outcome tells why, replyPending stays, and the result is false.
    bool SendCommand(const std::string& text);
    // Reports a rejected command (a Rejected outcome; "Miss! Can't Set"
    // leaves the port open) or sends the line (an empty line sends
    // nothing). True when rejected.
    bool Dispatch(const Command& command);

    // --- Replies.
    // One complete reply line as the link framed it, CR LF included (and the
    // two-digit slave prefix in RS-485 mode). Clears replyPending and
    // replyWaitTicks; "GO" reports Success when no run is going on;
    // read-back replies go to their decoders; error replies set errorReply
    // and report their error; anything else is dropped. Bytes after a NUL
    // are ignored.
    void InterpretReply(const std::string& line);
    // One tick (500 ms) of the reply time-out: "No Connect" on the seventh
    // tick after a command that got no reply.
    void ReplyTimeoutTick();

    // --- What happened, and the windows' own boxes, through the seam.
    void Report(const Outcome& outcome);  // its box owned by messageOwner
    void WarningBox(const std::string& text);  // owned by messageOwner
    bool AskYesNo(const std::string& text);    // true for Yes
    void NoticeBox(const std::string& text);

private:
    template <typename Event, typename... Args>
    void Tell(Event event, const Args&... args);

    SerialLink link_;
    CommandPort* port_ = &link_;
    MessageBoxSeam* seam_;
    std::vector<SessionListener*> listeners_;
};

template <typename Event, typename... Args>
inline void Session::Tell(Event event, const Args&... args) {
    // A listener may remove itself while it is told.
    const std::vector<SessionListener*> listeners = listeners_;
    for (SessionListener* listener : listeners) {
        if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end())
            (listener->*event)(args...);
    }
}

}  // namespace kvt
