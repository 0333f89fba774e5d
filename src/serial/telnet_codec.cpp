#include "serial/telnet_codec.h"

namespace kvt::telnet {

std::size_t Decoder::Decode(const char* in, std::size_t count, char* out,
                            std::vector<Event>* events) {
    std::size_t written = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const auto byte = static_cast<unsigned char>(in[i]);
        switch (state_) {
        case State::Data:
            if (byte == kIac)
                state_ = State::Iac;
            else
                out[written++] = in[i];
            break;
        case State::Iac:
            if (byte == kIac) {
                out[written++] = in[i];
                state_ = State::Data;
            } else {
                AfterIac(byte, events);
            }
            break;
        case State::Verb:
            events->push_back({Event::Kind::Negotiation, verb_, byte, {}});
            state_ = State::Data;
            break;
        case State::SubOption:
            sub_ = {Event::Kind::Subnegotiation, byte, 0, {}};
            state_ = State::Sub;
            break;
        case State::Sub:
        case State::SubIac:
            if (state_ == State::Sub && byte == kIac) {
                state_ = State::SubIac;
            } else if (state_ == State::SubIac && byte == kSe) {
                events->push_back(std::move(sub_));
                state_ = State::Data;
            } else if (state_ == State::SubIac && byte != kIac) {
                // A command inside a subnegotiation ends it unfinished: the
                // subnegotiation is dropped, the command taken.
                AfterIac(byte, events);
            } else if (sub_.payload.size() < kMaxSubnegotiation) {
                sub_.payload += static_cast<char>(byte);
                state_ = State::Sub;
            } else {
                // Too long to be one: drop it; this byte is data again.
                sub_.payload.clear();
                out[written++] = in[i];
                state_ = State::Data;
            }
            break;
        }
    }
    return written;
}

void Decoder::AfterIac(unsigned char byte, std::vector<Event>* events) {
    if (byte >= kWill && byte <= kDont) {
        verb_ = byte;
        state_ = State::Verb;
    } else if (byte == kSb) {
        state_ = State::SubOption;
    } else {
        events->push_back({Event::Kind::Command, byte, 0, {}});
        state_ = State::Data;
    }
}

std::string Escape(const char* bytes, std::size_t count) {
    std::string out;
    out.reserve(count + 8);
    for (std::size_t i = 0; i < count; ++i) {
        out += bytes[i];
        if (static_cast<unsigned char>(bytes[i]) == kIac) out += bytes[i];
    }
    return out;
}

std::string Command(unsigned char verb, unsigned char option) {
    return {static_cast<char>(kIac), static_cast<char>(verb), static_cast<char>(option)};
}

std::string Negotiator::AskLocal(unsigned char option) {
    wantLocal_[option] = true;
    local_[option] = State::Asked;
    return Command(kWill, option);
}

std::string Negotiator::AskRemote(unsigned char option) {
    wantRemote_[option] = true;
    remote_[option] = State::Asked;
    return Command(kDo, option);
}

std::string Negotiator::Answer(unsigned char verb, unsigned char option) {
    const Side local{kWill, kWont, local_, wantLocal_};
    const Side remote{kDo, kDont, remote_, wantRemote_};
    switch (verb) {
    case kDo: return Turn(local, true, option);
    case kDont: return Turn(local, false, option);
    case kWill: return Turn(remote, true, option);
    case kWont: return Turn(remote, false, option);
    default: return "";
    }
}

std::string Negotiator::Turn(Side side, bool on, unsigned char option) {
    State& state = side.state[option];
    const State was = state;
    if (!on) {
        state = State::Off;
        return was == State::On ? Command(side.refuse, option) : "";
    }
    if (was == State::Asked) state = State::On;  // the answer to our request
    if (was != State::Off) return "";
    if (!side.wanted[option]) return Command(side.refuse, option);
    state = State::On;
    return Command(side.agree, option);
}

}  // namespace kvt::telnet
