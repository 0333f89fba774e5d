// The Telnet layer under a network serial server's RFC 2217 mode, without
// sockets: the decoder that takes commands, negotiations and
// subnegotiations out of the received stream, the doubling of 0xFF in data
// sent, and the answers to the server's option negotiation.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace kvt::telnet {

constexpr unsigned char kIac = 255;
constexpr unsigned char kDont = 254;
constexpr unsigned char kDo = 253;
constexpr unsigned char kWont = 252;
constexpr unsigned char kWill = 251;
constexpr unsigned char kSb = 250;
constexpr unsigned char kNop = 241;
constexpr unsigned char kSe = 240;

constexpr unsigned char kBinary = 0;
constexpr unsigned char kSuppressGoAhead = 3;
constexpr unsigned char kComPort = 44;

// What the decoder took out of the stream besides data.
struct Event {
    enum class Kind { Command, Negotiation, Subnegotiation };
    Kind kind = Kind::Command;
    unsigned char code = 0;    // the command (NOP, ...), the verb (WILL..DONT) or the
                               // subnegotiation's option
    unsigned char option = 0;  // the option negotiated
    std::string payload;       // a subnegotiation's bytes after its option, 0xFF undoubled

    bool operator==(const Event& other) const {
        return kind == other.kind && code == other.code && option == other.option &&
               payload == other.payload;
    }
};

// Takes Telnet out of a stream read by read: wherever a read ends, even
// inside a command, the decoder carries on with the next read, so the data
// and events do not depend on how the stream was split.
class Decoder {
public:
    // Longer than any COM-PORT-OPTION message (a server's signature text
    // included). A subnegotiation that grows beyond it without ending is
    // dropped and what follows is data again, so a server that never ends
    // one cannot swallow the stream or grow memory.
    static constexpr std::size_t kMaxSubnegotiation = 512;

    // Decodes count bytes into out, which may be in itself (it never gets
    // ahead of in), and appends what else it found to *events. Returns the
    // number of data bytes written.
    std::size_t Decode(const char* in, std::size_t count, char* out, std::vector<Event>* events);

private:
    enum class State { Data, Iac, Verb, SubOption, Sub, SubIac };
    // After IAC: one byte of a command.
    void AfterIac(unsigned char byte, std::vector<Event>* events);

    State state_ = State::Data;
    unsigned char verb_ = 0;
    Event sub_;  // the subnegotiation being gathered
};

// Data as it goes on the wire: every 0xFF doubled.
std::string Escape(const char* bytes, std::size_t count);

// Our answers to the server's negotiation, after RFC 1143 without its
// queues (we never turn an option off again): an option we asked for is
// agreed or refused by the answer; any other option the server asks for or
// offers is refused; an option turned off is acknowledged once. An answer
// never repeats the server's verb, so no two sides can loop.
class Negotiator {
public:
    enum class State : unsigned char { Off, Asked, On };

    // Asks for the option on our side (WILL) or on the server's (DO);
    // returns the request to send.
    std::string AskLocal(unsigned char option);
    std::string AskRemote(unsigned char option);
    // The answer to one negotiation of the server ("" when none is due).
    std::string Answer(unsigned char verb, unsigned char option);

    State local(unsigned char option) const { return local_[option]; }
    State remote(unsigned char option) const { return remote_[option]; }

private:
    struct Side {
        unsigned char agree, refuse;  // our verbs for this side
        std::array<State, 256>& state;
        const std::array<bool, 256>& wanted;
    };
    static std::string Turn(Side side, bool on, unsigned char option);

    std::array<State, 256> local_{};
    std::array<State, 256> remote_{};
    std::array<bool, 256> wantLocal_{};
    std::array<bool, 256> wantRemote_{};
};

// The three bytes IAC verb option.
std::string Command(unsigned char verb, unsigned char option);

}  // namespace kvt::telnet
