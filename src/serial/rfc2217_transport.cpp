#include "serial/rfc2217_transport.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace kvt {

namespace {

// Negotiation answers held back while the server reads nothing: beyond
// this, further ones are dropped rather than kept without bound.
constexpr std::size_t kMaxUnsent = 4096;
// The caller's bytes escaped and sent at a time.
constexpr std::size_t kWriteChunk = 4096;

}  // namespace

bool Rfc2217Transport::Open(const Report& report) {
    using telnet::Negotiator;
    if (!tcp_.Open(report)) return false;
    const auto deadline = Clock::now() + std::chrono::milliseconds(answerWaitMs_);
    const std::string server = "The serial server at " + tcp_.where();
    auto closed = [&] {
        report(server + " ended the connection");
        return false;
    };
    SendControl(negotiator_.AskLocal(telnet::kComPort) + negotiator_.AskLocal(telnet::kBinary) +
                negotiator_.AskRemote(telnet::kBinary) +
                negotiator_.AskLocal(telnet::kSuppressGoAhead) +
                negotiator_.AskRemote(telnet::kSuppressGoAhead));
    if (!AwaitServer([this] { return negotiator_.local(telnet::kComPort) != Negotiator::State::Asked; },
                     deadline))
        return closed();
    switch (negotiator_.local(telnet::kComPort)) {
    case Negotiator::State::Asked:
        report(server + " did not answer for RFC 2217 (COM-PORT-OPTION) within " +
               std::to_string(answerWaitMs_) + " ms: its own line settings apply");
        return true;
    case Negotiator::State::Off:
        report(server + " refuses RFC 2217 (COM-PORT-OPTION): its own line settings apply");
        return true;
    case Negotiator::State::On:
        break;
    }
    SendControl(ComPortControl::Requests());
    if (!AwaitServer([this] { return control_.AllAnswered(); }, deadline)) return closed();
    const std::string unconfirmed = control_.Unconfirmed();
    if (!unconfirmed.empty()) report(server + " did not confirm " + unconfirmed + "; the link goes on");
    return true;
}

template <typename Done>
bool Rfc2217Transport::AwaitServer(Done done, Clock::time_point deadline) {
    char chunk[512];
    while (!done()) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return true;
        pollfd in{fd(), POLLIN, 0};
        const int ready = ::poll(&in, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno != EINTR) return false;
        if (ready <= 0) continue;
        // Data before the server's buffers are purged belongs to no
        // command of ours: dropped, as a device of ours starts empty.
        const ssize_t n = ReadDecoded(chunk, sizeof chunk);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) return false;
    }
    return true;
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
        if (event.code == telnet::kComPort) control_.TakeAnswer(event.payload);
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
    while (!unsent_.empty()) {
        const ssize_t sent = tcp_.Write(unsent_.data(), unsent_.size());
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return false;
        unsent_.erase(0, static_cast<std::size_t>(sent));
    }
    return true;
}

}  // namespace kvt
