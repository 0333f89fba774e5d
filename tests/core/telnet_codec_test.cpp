// The Telnet layer without sockets: decoding wherever the reads split the
// stream, subnegotiations that end badly or never, our answers to the
// server's negotiation, and the COM-PORT-OPTION requests and their answers.
#include <gtest/gtest.h>

#include "serial/com_port_control.h"
#include "serial/telnet_codec.h"

namespace kvt::telnet {
namespace {

using Kind = Event::Kind;

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out += static_cast<char>(v);
    return out;
}

struct Decoded {
    std::string data;
    std::vector<Event> events;
};

// Decodes the stream in reads that end at the given offsets.
Decoded DecodeInReads(const std::string& stream, std::vector<std::size_t> ends) {
    Decoder decoder;
    Decoded result;
    ends.push_back(stream.size());
    std::size_t start = 0;
    for (std::size_t end : ends) {
        std::string read = stream.substr(start, end - start);
        const std::size_t n = decoder.Decode(read.data(), read.size(), read.data(), &result.events);
        EXPECT_LE(n, read.size());
        result.data += read.substr(0, n);
        start = end;
    }
    return result;
}

// A reply as a server in RFC 2217 mode may pass it on: a NOP before it, a
// notification in it, a doubled 0xFF, a negotiation and a subnegotiation
// with a doubled 0xFF of its own after it.
const std::string kStream = Bytes({kIac, kNop}) + "G" +
                            Bytes({kIac, kSb, kComPort, 106, 0x60, kIac, kSe}) + "O" +
                            Bytes({kIac, kIac}) + "\r\n" + Bytes({kIac, kWill, 1}) +
                            Bytes({kIac, kSb, kComPort, 107, kIac, kIac, 0x30, kIac, kSe});

const std::vector<Event> kEvents = {
    {Kind::Command, kNop, 0, ""},
    {Kind::Subnegotiation, kComPort, 0, Bytes({106, 0x60})},
    {Kind::Negotiation, kWill, 1, ""},
    {Kind::Subnegotiation, kComPort, 0, Bytes({107, 0xFF, 0x30})},
};

TEST(TelnetDecoder, GivesTheSameDataAndEventsWhereverTheReadsSplitTheStream) {
    const Decoded whole = DecodeInReads(kStream, {});
    EXPECT_EQ(whole.data, "GO\xFF\r\n");
    EXPECT_EQ(whole.events, kEvents);
    for (std::size_t split = 1; split < kStream.size(); ++split) {
        const Decoded two = DecodeInReads(kStream, {split});
        EXPECT_EQ(two.data, whole.data) << "split at " << split;
        EXPECT_EQ(two.events, whole.events) << "split at " << split;
    }
    std::vector<std::size_t> everyByte;
    for (std::size_t end = 1; end < kStream.size(); ++end) everyByte.push_back(end);
    const Decoded single = DecodeInReads(kStream, everyByte);
    EXPECT_EQ(single.data, whole.data);
    EXPECT_EQ(single.events, whole.events);
}

TEST(TelnetDecoder, ASubnegotiationThatEndsBadlyOrNeverSwallowsNoMoreThanItsBound) {
    // A command inside a subnegotiation ends it: it is dropped, the command
    // is taken and the data goes on.
    Decoded cut = DecodeInReads(Bytes({kIac, kSb, kComPort, 6, kIac, kWont, 44}) + "GO\r\n", {});
    EXPECT_EQ(cut.data, "GO\r\n");
    EXPECT_EQ(cut.events, (std::vector<Event>{{Kind::Negotiation, kWont, 44, ""}}));

    // One that never ends is given up at its bound; what follows is data.
    const std::string endless = Bytes({kIac, kSb, kComPort}) +
                                std::string(Decoder::kMaxSubnegotiation + 88, 'x') + "GO\r\n";
    const Decoded dropped = DecodeInReads(endless, {100, 400});
    EXPECT_EQ(dropped.data, std::string(88, 'x') + "GO\r\n");
    EXPECT_TRUE(dropped.events.empty());
}

TEST(TelnetEscape, DoublesEach0xFFAndDecodesBackToEveryByte) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const std::string wire = Escape(all.data(), all.size());
    EXPECT_EQ(wire.size(), 257u);
    EXPECT_EQ(wire.substr(255), Bytes({kIac, kIac}));
    const Decoded back = DecodeInReads(wire, {255});  // a read ends between the two halves
    EXPECT_EQ(back.data, all);
    EXPECT_TRUE(back.events.empty());
}

TEST(TelnetNegotiator, AgreesToWhatWeAskedRefusesTheRestAndNeverEchoes) {
    Negotiator n;
    EXPECT_EQ(n.AskLocal(kComPort), Bytes({kIac, kWill, kComPort}));
    EXPECT_EQ(n.AskRemote(kBinary), Bytes({kIac, kDo, kBinary}));
    EXPECT_EQ(n.local(kComPort), Negotiator::State::Asked);

    struct Case {
        int verb, option;
        std::string answer;
    };
    const Case cases[] = {
        {kDo, kComPort, ""},                         // agreed to our WILL
        {kDo, kComPort, ""},                         // said again: nothing more
        {kWill, kBinary, ""},                        // agreed to our DO
        {kWill, 1, Bytes({kIac, kDont, 1})},         // ECHO offered: refused
        {kDo, 24, Bytes({kIac, kWont, 24})},         // asked for TERMINAL-TYPE: refused
        {kDo, 24, Bytes({kIac, kWont, 24})},         // each time
        {kWont, 1, ""},                              // already off
        {kDont, kComPort, Bytes({kIac, kWont, kComPort})},  // turned off: acknowledged once
        {kDont, kComPort, ""},
        {kDo, kComPort, Bytes({kIac, kWill, kComPort})},    // wanted again: agreed
        {kWont, kBinary, Bytes({kIac, kDont, kBinary})},
    };
    for (const Case& c : cases)
        EXPECT_EQ(n.Answer(c.verb, c.option), c.answer) << c.verb << " " << c.option;
    EXPECT_EQ(n.local(kComPort), Negotiator::State::On);
    EXPECT_EQ(n.remote(kBinary), Negotiator::State::Off);

    // A refusal of what we asked for turns it off without an answer.
    Negotiator refused;
    refused.AskLocal(kComPort);
    EXPECT_EQ(refused.Answer(kDont, kComPort), "");
    EXPECT_EQ(refused.local(kComPort), Negotiator::State::Off);

    // Whatever the server says, an answer never repeats its verb.
    for (int verb : {kWill, kWont, kDo, kDont})
        for (int option = 0; option < 256; ++option) {
            const std::string answer = refused.Answer(verb, option);
            ASSERT_TRUE(answer.empty() || (answer.size() == 3 && answer[1] != static_cast<char>(verb)))
                << verb << " " << option;
        }
}

TEST(ComPortControl, AsksForTheSignsLineAndNamesWhatTheServerDidNotConfirm) {
    // 38400 (0x00009600), 8 data bits, even parity (3), 1 stop bit,
    // hardware flow control (3), purge both buffers (3).
    auto sb = [](std::initializer_list<int> body) {
        return Bytes({kIac, kSb, kComPort}) + Bytes(body) + Bytes({kIac, kSe});
    };
    EXPECT_EQ(ComPortControl::Requests(), sb({1, 0, 0, 0x96, 0}) + sb({2, 8}) + sb({3, 3}) +
                                              sb({4, 1}) + sb({5, 3}) + sb({12, 3}));

    ComPortControl control;
    for (const std::string& answer : {Bytes({101, 0, 0, 0x96, 0}), Bytes({102, 8}), Bytes({103, 1}),
                                      Bytes({104, 1}), Bytes({107, 0}), Bytes({112, 3}), Bytes({})})
        control.TakeAnswer(answer);
    EXPECT_FALSE(control.AllAnswered());
    EXPECT_EQ(control.Unconfirmed(), "even parity (answered 1), hardware flow control (no answer)");
    control.TakeAnswer(Bytes({105, 3}));
    control.TakeAnswer(Bytes({103, 3}));
    EXPECT_TRUE(control.AllAnswered());
    EXPECT_EQ(control.Unconfirmed(), "");
}

}  // namespace
}  // namespace kvt::telnet
