// The client's side of RFC 2217's COM-PORT-OPTION, without sockets: the
// sign's line settings as subnegotiations for the server, and what the
// server confirmed of them.
//
// The line is 38400 bit/s, 8 data bits, even parity, 1 stop bit, as on a
// serial device of our own. RFC 2217 takes one flow-control mode at a time
// where a device of our own has RTS/CTS and XON/XOFF both; hardware flow
// control is the one chosen: it works beside the data instead of in it,
// and it is the handshake the sign's cable carries for a device of ours
// too. Then both of the server's buffers are purged, as a device of ours
// starts with empty queues.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kvt {

class ComPortControl {
public:
    // COM-PORT-OPTION commands (a server answers with the command + 100).
    enum Command : unsigned char {
        kSetBaudRate = 1,
        kSetDataSize = 2,
        kSetParity = 3,
        kSetStopSize = 4,
        kSetControl = 5,
        // The server asks us to stop sending data and to go on again.
        kFlowControlSuspend = 8,
        kFlowControlResume = 9,
        kPurgeData = 12,
    };
    static constexpr unsigned char kAnswerOffset = 100;

    struct Setting {
        Command command;
        std::uint32_t value;
        int size;          // bytes of the value: 4 for the speed, 1 for the others
        const char* name;  // as a warning names it
    };
    static constexpr std::size_t kSettingCount = 6;
    // What the sign needs, in the order sent.
    static const std::array<Setting, kSettingCount>& Settings();

    // Every setting as IAC SB COM-PORT-OPTION ... IAC SE.
    static std::string Requests();
    // One subnegotiation payload of the server (after the option byte);
    // answers to other commands (notifications) are left alone.
    void TakeAnswer(const std::string& payload);
    // True when every setting has been answered.
    bool AllAnswered() const;
    // The settings not confirmed, with what the server answered ("" when
    // all were): "hardware flow control (no answer), even parity
    // (answered 1)".
    std::string Unconfirmed() const;

private:
    struct Answer {
        bool seen = false;
        std::uint32_t value = 0;
    };
    std::array<Answer, kSettingCount> answers_{};
};

}  // namespace kvt
