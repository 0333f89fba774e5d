#include "loop/event_loop.h"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <functional>

namespace kvt {

namespace {

constexpr Millis kStopCheckMs = 200;
constexpr int kEventsAtOnce = 256;
constexpr std::uint32_t kWakeGeneration = 0;

std::uint64_t Key(int fd, std::uint32_t generation) {
    return (static_cast<std::uint64_t>(generation) << 32) | static_cast<std::uint32_t>(fd);
}

}  // namespace

EventLoop::EventLoop() {
    epoll_ = ::epoll_create1(EPOLL_CLOEXEC);
    if (epoll_ < 0) {
        failure_ = std::strerror(errno);
        return;
    }
    wake_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u64 = Key(wake_, kWakeGeneration);
    if (wake_ < 0 || ::epoll_ctl(epoll_, EPOLL_CTL_ADD, wake_, &event) != 0) {
        failure_ = std::strerror(errno);
        if (wake_ >= 0) ::close(wake_);
        wake_ = -1;
    }
}

EventLoop::~EventLoop() {
    if (wake_ >= 0) ::close(wake_);
    if (epoll_ >= 0) ::close(epoll_);
}

Millis EventLoop::Now() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

struct EventLoop::TimerState {
    std::function<void()> fire;
    std::uint64_t start = 0;  // the current start's number; 0 when not armed
};

bool EventLoop::Start::Current() const { return timer->start == number; }

class EventLoop::HeapTimer : public Timer {
public:
    HeapTimer(EventLoop& loop, std::function<void()> fire)
        : loop_(loop), state_(std::make_shared<TimerState>()) {
        state_->fire = std::move(fire);
        ++loop_.timerCount_;
    }
    ~HeapTimer() override {
        state_->start = 0;
        --loop_.timerCount_;
    }
    void StartAt(Millis when) override {
        state_->start = ++loop_.startNumbers_;
        loop_.starts_.push_back({when, state_->start, state_});
        std::push_heap(loop_.starts_.begin(), loop_.starts_.end(), std::greater<>());
        // Starts made stale by restarts are dropped now and then.
        if (loop_.starts_.size() > 4 * loop_.timerCount_ + 1024) loop_.Compact();
    }
    void Stop() override { state_->start = 0; }

private:
    EventLoop& loop_;
    std::shared_ptr<TimerState> state_;
};

std::unique_ptr<Timer> EventLoop::NewTimer(std::function<void()> fire) {
    return std::make_unique<HeapTimer>(*this, std::move(fire));
}

void EventLoop::Compact() {
    starts_.erase(std::remove_if(starts_.begin(), starts_.end(),
                                 [](const Start& s) { return !s.Current(); }),
                  starts_.end());
    std::make_heap(starts_.begin(), starts_.end(), std::greater<>());
}

const EventLoop::Start* EventLoop::NextStart() {
    while (!starts_.empty() && !starts_.front().Current()) {
        std::pop_heap(starts_.begin(), starts_.end(), std::greater<>());
        starts_.pop_back();
    }
    return starts_.empty() ? nullptr : &starts_.front();
}

void EventLoop::PostTask(std::function<void()> task) {
    {
        std::lock_guard<std::mutex> lock(postedMutex_);
        posted_.push_back(std::move(task));
    }
    const std::uint64_t one = 1;
    // A counter that is already non-zero holds a wake-up: nothing is lost.
    if (wake_ >= 0) (void)!::write(wake_, &one, sizeof one);
}

bool EventLoop::Watch(int fd, std::uint32_t events, Handler handler) {
    if (!ok()) {
        errno = EBADF;
        return false;
    }
    // Generation 0 is the wake-up's.
    const std::uint32_t generation = ++generations_ == kWakeGeneration ? ++generations_ : generations_;
    epoll_event event{};
    event.events = events;
    event.data.u64 = Key(fd, generation);
    if (::epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &event) != 0) return false;
    watched_[fd] = {generation, std::make_shared<Handler>(std::move(handler))};
    return true;
}

void EventLoop::Change(int fd, std::uint32_t events) {
    auto found = watched_.find(fd);
    if (found == watched_.end()) return;
    epoll_event event{};
    event.events = events;
    event.data.u64 = Key(fd, found->second.generation);
    ::epoll_ctl(epoll_, EPOLL_CTL_MOD, fd, &event);
}

void EventLoop::Forget(int fd) {
    if (watched_.erase(fd) == 0) return;
    ::epoll_ctl(epoll_, EPOLL_CTL_DEL, fd, nullptr);
}

void EventLoop::RunPosted() {
    std::uint64_t count;
    while (::read(wake_, &count, sizeof count) > 0) {
    }
    std::vector<std::function<void()>> tasks;
    {
        std::lock_guard<std::mutex> lock(postedMutex_);
        tasks.swap(posted_);
    }
    for (auto& task : tasks) task();
}

void EventLoop::FireDueTimers() {
    // Only the starts made before now, each once: a timer that starts
    // itself again for now fires on the next round, after the descriptors
    // had their turn.
    const Millis now = Now();
    const std::uint64_t last = startNumbers_;
    for (const Start* next = NextStart(); next && next->due <= now && next->number <= last;
         next = NextStart()) {
        std::shared_ptr<TimerState> timer = next->timer;
        std::pop_heap(starts_.begin(), starts_.end(), std::greater<>());
        starts_.pop_back();
        timer->start = 0;
        // The timer may go in its own call: its state (and function) lives
        // until it returns.
        timer->fire();
    }
}

void EventLoop::RunOnce(Millis until) {
    const Start* next = NextStart();
    const Millis wakeAt = next ? std::min(until, next->due) : until;
    const Millis wait = std::max<Millis>(0, wakeAt - Now());
    epoll_event events[kEventsAtOnce];
    const int n = ok() ? ::epoll_wait(epoll_, events, kEventsAtOnce, static_cast<int>(wait)) : 0;
    if (!ok()) ::usleep(static_cast<useconds_t>(wait * 1000));
    for (int i = 0; i < n; ++i) {
        const int fd = static_cast<int>(events[i].data.u64 & 0xffffffffu);
        const std::uint32_t generation = static_cast<std::uint32_t>(events[i].data.u64 >> 32);
        if (generation == kWakeGeneration && fd == wake_) {
            RunPosted();
            continue;
        }
        auto found = watched_.find(fd);
        if (found == watched_.end() || found->second.generation != generation) continue;
        // The handler may forget its descriptor: it lives until it returns.
        const std::shared_ptr<Handler> handler = found->second.handler;
        (*handler)(events[i].events);
    }
    FireDueTimers();
}

bool EventLoop::RunUntil(const std::function<bool()>& done, Millis until,
                         const std::atomic<bool>* stop) {
    while (!(stop && *stop) && !done()) {
        const Millis now = Now();
        if (now >= until) return true;
        RunOnce(std::min(until, now + kStopCheckMs));
    }
    return !(stop && *stop);
}

}  // namespace kvt
