// The one seam through which every message box of the program passes.
// The core never shows a box itself: it describes the box and hands it to the
// installed MessageBoxSeam. The application installs one that shows Qt boxes
// on the window thread; the command-line tool one that prints the text; tests
// one that records the boxes.
#pragma once

#include <string>

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

class MessageBoxSeam {
public:
    virtual ~MessageBoxSeam() = default;
    // Shows the box and returns once it has been dismissed.
    virtual BoxResult Show(const BoxRequest& box) = 0;
};

// Installs the seam; nullptr restores the default, which writes the text to
// standard error and answers Ok (or No for a question).
void InstallMessageBoxSeam(MessageBoxSeam* seam);
BoxResult ShowMessageBox(const BoxRequest& box);

// The application title, caption of the framework-style boxes (questions).
extern const char* const kAppTitle;  // "KVT-540M"

// Beep, then a box owned by messageOwner, caption "Error", stop icon.
void ErrorBox(const std::string& text);
// Beep, then a box owned by messageOwner, caption "Error", warning icon.
void WarningBox(const std::string& text);
// Simple beep, then "Success" under "設定完了", owned by messageOwner.
void SuccessBox();
// Beep, then a box with no owner, caption "Error", stop icon. This is the
// serial link's box; PortErrorBox (command_port.h) shows it and then closes
// the port. "Miss! Can't Set" uses it without closing the port.
void PortStyleBox(const std::string& text);
// A Yes/No question under the application title with the question icon.
// Returns true for Yes.
bool AskYesNo(const std::string& text);
// A plain box under the application title (the "already running" notice).
void NoticeBox(const std::string& text);

}  // namespace kvt
