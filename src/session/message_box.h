// The one seam through which every message box of the program passes.
// The core never shows a box itself: it tells its session's MessageBoxSeam
// what happened (an Outcome), which shows it as its box unless the seam
// says it otherwise. The application installs one that shows Qt boxes on
// the window thread; the command-line tool one that prints what happened;
// tests one that records the boxes.
#pragma once

#include <string>

#include "session/outcome.h"

namespace kvt {

enum class BoxIcon { None, Hand, Exclamation, Question };
enum class BoxButtons { Ok, YesNo };
enum class BoxResult { Ok, Yes, No };
// The beep that goes before a box: none, the simple beep (-1), or the sound
// of the question icon (0x20).
enum class BoxBeep { None, Simple, Question };

struct BoxRequest {
    std::string text;      // UTF-8
    std::string caption;   // UTF-8
    BoxIcon icon = BoxIcon::None;
    BoxButtons buttons = BoxButtons::Ok;
    BoxBeep beep = BoxBeep::None;
    bool taskModal = false;
    // Owner window: messageOwner for the reply boxes, nullptr for the link's
    // own boxes ("no owner").
    void* owner = nullptr;
};

// The box of each outcome of the core: the one table of their texts,
// captions, icons and beeps.
BoxRequest OutcomeBox(const Outcome& outcome, void* owner);

class MessageBoxSeam {
public:
    virtual ~MessageBoxSeam() = default;
    // Shows the box and returns once it has been dismissed.
    virtual BoxResult Show(const BoxRequest& box) = 0;
    // An outcome of the core (owner: the window that owns its box, if it
    // has one): shown as its box unless the seam says it otherwise.
    virtual void Tell(const Outcome& outcome, void* owner) { Show(OutcomeBox(outcome, owner)); }
};

// The seam of a session that has none of its own: writes the text to
// standard error and answers Ok (or No for a question).
MessageBoxSeam& StderrSeam();

// The application title, caption of the framework-style boxes (questions).
extern const char* const kAppTitle;  // "KVT-540M"

// The boxes the program shows, as requests (owner: the window that owns
// the box, or nullptr).
BoxRequest ErrorBoxRequest(const std::string& text, void* owner);    // "Error", stop icon
BoxRequest WarningBoxRequest(const std::string& text, void* owner);  // "Error", warning icon
BoxRequest SuccessBoxRequest(void* owner);                            // "Success" / "設定完了"
// The link's box: no owner, caption "Error", stop icon.
BoxRequest PortStyleBoxRequest(const std::string& text);
// A Yes/No question under the application title with the question icon.
BoxRequest QuestionBoxRequest(const std::string& text);
// A plain box under the application title (the "already running" notice).
BoxRequest NoticeBoxRequest(const std::string& text);

}  // namespace kvt
