#include "serial/rfc2217_transport.h"

#include <sys/epoll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "loop/event_loop.h"
#include "serial/link_error.h"

namespace kvt {

namespace {

// Negotiation answers held back while the server reads nothing: beyond
// this, further ones are dropped rather than kept without bound.
constexpr std::size_t kMaxUnsent = 4096;
// The caller's bytes escaped and sent at a time.
constexpr std::size_t kWriteChunk = 4096;

}  // namespace

Rfc2217Transport::~Rfc2217Transport() {
    if (negotiation_) negotiation_->loop->Forget(fd());
}

bool Rfc2217Transport::Open(const Report& report) { return OpenOnOwnLoop(report); }

void Rfc2217Transport::OpenOn(EventLoop& loop, Report report, Opened done) {
    tcp_.OpenOn(loop, report, [this, &loop, report, done](bool connected) {
        if (!connected) {
            done(false);
            return;
        }
        Negotiate(loop, report, done);
    });
}

void Rfc2217Transport::Negotiate(EventLoop& loop, Report report, Opened done) {
    negotiation_.reset(new Negotiation{&loop, std::move(report), std::move(done), Phase::ComPort,
                                       loop.NewTimer([this] { Advance(true); })});
    negotiation_->deadline->StartAt(loop.Now() + answerWaitMs_);
    const bool watched = loop.Watch(fd(), EPOLLIN, [this](std::uint32_t) {
        // Data before the server's buffers are purged belongs to no
        // command of ours: dropped, as a device of ours starts empty.
        char chunk[512];
        const ssize_t n = ReadDecoded(chunk, sizeof chunk);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
            negotiation_->report("The serial server at " + tcp_.where() + " ended the connection");
            Negotiated(false);
            return;
        }
        Advance(false);
    });
    if (!watched) {
        negotiation_->report("Cannot connect to " + tcp_.where() + ": " + LinkErrorReason(errno));
        Negotiated(false);
        return;
    }
    SendControl(negotiator_.AskLocal(telnet::kComPort) + negotiator_.AskLocal(telnet::kBinary) +
                negotiator_.AskRemote(telnet::kBinary) +
                negotiator_.AskLocal(telnet::kSuppressGoAhead) +
                negotiator_.AskRemote(telnet::kSuppressGoAhead));
}

void Rfc2217Transport::Advance(bool outOfTime) {
    using telnet::Negotiator;
    const std::string server = "The serial server at " + tcp_.where();
    Negotiation& n = *negotiation_;
    if (n.phase == Phase::ComPort) {
        switch (negotiator_.local(telnet::kComPort)) {
        case Negotiator::State::Asked:
            if (!outOfTime) return;
            n.report(server + " did not answer for RFC 2217 (COM-PORT-OPTION) within " +
                     std::to_string(answerWaitMs_) + " ms: its own line settings apply");
            Negotiated(true);
            return;
        case Negotiator::State::Off:
            n.report(server + " refuses RFC 2217 (COM-PORT-OPTION): its own line settings apply");
            Negotiated(true);
            return;
        case Negotiator::State::On:
            n.phase = Phase::Settings;
            SendControl(ComPortControl::Requests());
            break;
        }
    }
    if (!control_.AllAnswered() && !outOfTime) return;
    const std::string unconfirmed = control_.Unconfirmed();
    if (!unconfirmed.empty()) n.report(server + " did not confirm " + unconfirmed + "; the link goes on");
    Negotiated(true);
}

void Rfc2217Transport::Negotiated(bool usable) {
    std::unique_ptr<Negotiation> n = std::move(negotiation_);
    n->loop->Forget(fd());
    n->deadline.reset();
    n->done(usable);
}

ssize_t Rfc2217Transport::Read(char* buffer, size_t size) { return ReadDecoded(buffer, size); }

ssize_t Rfc2217Transport::ReadDecoded(char* buffer, size_t size) {
    const ssize_t n = ::read(fd(), buffer, size);
    if (n <= 0) return n;
    std::vector<telnet::Event> events;
    const std::size_t data = decoder_.Decode(buffer, static_cast<std::size_t>(n), buffer, &events);
    for (const telnet::Event& event : events) Take(event);
    if (data > 0) return static_cast<ssize_t>(data);
    errno = EAGAIN;  // Telnet alone: nothing for the caller, no hang-up
    return -1;
}

void Rfc2217Transport::Take(const telnet::Event& event) {
    switch (event.kind) {
    case telnet::Event::Kind::Negotiation:
        if (const std::string answer = negotiator_.Answer(event.code, event.option); !answer.empty())
            SendControl(answer);
        break;
    case telnet::Event::Kind::Subnegotiation:
        if (event.code != telnet::kComPort || event.payload.empty()) break;
        switch (static_cast<unsigned char>(event.payload[0])) {
        case ComPortControl::kAnswerOffset + ComPortControl::kFlowControlSuspend:
            suspended_ = true;
            break;
        case ComPortControl::kAnswerOffset + ComPortControl::kFlowControlResume: {
            suspended_ = false;
            std::lock_guard<std::mutex> lock(sendMutex_);
            FlushLocked();
            break;
        }
        default:
            control_.TakeAnswer(event.payload);
        }
        break;
    case telnet::Event::Kind::Command:
        break;  // NOP, a break, ...: nothing to do for a sign's line
    }
}

ssize_t Rfc2217Transport::Write(const char* bytes, size_t size) {
    std::lock_guard<std::mutex> lock(sendMutex_);
    if (!FlushLocked()) return -1;
    const std::size_t take = std::min(size, kWriteChunk);
    const std::string wire = telnet::Escape(bytes, take);
    if (suspended_ || !held_.empty()) {
        // Held in order behind what is held already; what does not fit
        // goes nowhere.
        if (held_.size() + wire.size() <= kMaxHeld) held_ += wire;
        return static_cast<ssize_t>(take);
    }
    const ssize_t sent = tcp_.Write(wire.data(), wire.size());
    if (sent <= 0) return sent;
    // The caller's bytes whose escaped form went out; a 0xFF of which only
    // the first half did is taken too, and its second half is owed.
    std::size_t taken = 0;
    std::size_t out = 0;
    while (taken < take && out < static_cast<std::size_t>(sent))
        out += static_cast<unsigned char>(bytes[taken++]) == telnet::kIac ? 2 : 1;
    if (out > static_cast<std::size_t>(sent)) unsent_.assign(1, static_cast<char>(telnet::kIac));
    return static_cast<ssize_t>(taken);
}

void Rfc2217Transport::SendControl(const std::string& bytes) {
    std::lock_guard<std::mutex> lock(sendMutex_);
    if (unsent_.size() + bytes.size() <= kMaxUnsent) unsent_ += bytes;
    FlushLocked();
}

bool Rfc2217Transport::FlushLocked() {
    for (std::string* queue : {&unsent_, &held_}) {
        if (queue == &held_ && suspended_) break;
        while (!queue->empty()) {
            const ssize_t sent = tcp_.Write(queue->data(), queue->size());
            if (sent < 0 && errno == EINTR) continue;
            if (sent <= 0) return false;
            queue->erase(0, static_cast<std::size_t>(sent));
        }
    }
    return true;
}

}  // namespace kvt
