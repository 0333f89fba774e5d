// The preview window ("プレビュー"): the page selected in the settings sheet
// as the sign shows it, following every edit of the store, with the lines
// that blink blinking; "再生" shows the pages as the sign runs them. A timer
// runs only while something blinks or plays. Its place and size are kept in
// the profile.
#pragma once

#include <cstdint>
#include <functional>

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include "render/dot_font.h"
#include "render/preview_timeline.h"

class QLabel;
class QPushButton;

namespace kvt {

class LedPanelView;

class PagePreviewWindow : public QWidget {
    Q_OBJECT
public:
    using Clock = std::function<int64_t()>;  // milliseconds, monotonic

    // settings and selectedPage are what the window shows; it reads the
    // store through them only. Both must outlive the window.
    PagePreviewWindow(const PanelSettings& settings, const int& selectedPage,
                      QWidget* parent = nullptr);

    // Replaces the monotonic clock (tests: a virtual one); what shows
    // starts afresh on it.
    void SetClock(Clock clock);

    // Shows the window where it was last closed (the profile keeps the
    // place), or beside the main window the first time, and brings it up.
    void Open();

    // The store has changed: shows the change at the next paint.
    void Refresh();
    // What the timer calls when the picture changes by itself.
    void Wake();
    void SetPlaying(bool playing);

    bool playing() const { return timeline_.playing(); }
    int shownPage() const { return timeline_.page(); }
    bool blinkLit() const { return blinkLit_; }
    const QTimer& wakeTimer() const { return wake_; }
    int wakeCount() const { return wakeCount_; }
    LedPanelView* panel() const { return panel_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void OnPlayToggled(bool playing);
    int64_t Now() const;
    void Draw(int64_t now);
    void ShowStatus();
    void RestoreGeometry();
    void SaveGeometry() const;

    const PanelSettings& settings_;
    const int& selectedPage_;
    Clock clock_;
    QElapsedTimer monotonic_;
    QTimer wake_;
    int wakeCount_ = 0;
    PreviewTimeline timeline_;
    bool blinkLit_ = true;
    DotFont font_;
    LedPanelView* panel_;
    QPushButton* play_;
    QLabel* status_;
    bool placed_ = false;  // the profile's place was taken over
};

}  // namespace kvt
