#include "platform/linux/IcmpEcho.h"

#include <QByteArray>
#include <QTest>
#include <algorithm>

namespace {

constexpr std::uint16_t Id = 0x4A21;
constexpr std::uint16_t Seq = 7;

QByteArray Echo(std::uint8_t type, std::uint16_t id, std::uint16_t seq, const QByteArray& data = {}) {
    QByteArray p(8, '\0');
    p[0] = static_cast<char>(type);
    p[4] = static_cast<char>(id >> 8);
    p[5] = static_cast<char>(id & 0xFF);
    p[6] = static_cast<char>(seq >> 8);
    p[7] = static_cast<char>(seq & 0xFF);
    return p + data;
}

QByteArray Ip4(const QByteArray& body, int ihlWords = 5, std::uint8_t protocol = 1) {
    QByteArray h(std::max(ihlWords * 4, 20), '\0');
    h[0] = static_cast<char>(0x40 | ihlWords);
    h[9] = static_cast<char>(protocol);
    return h + body;
}

QByteArray Ip6(const QByteArray& body, std::uint8_t next = 58) {
    QByteArray h(40, '\0');
    h[0] = 0x60;
    h[6] = static_cast<char>(next);
    return h + body;
}

const QByteArray Payload("Pylarix\0\0\0\0", 11);

const auto* Bytes(const QByteArray& a) {
    return reinterpret_cast<const std::uint8_t*>(a.constData());
}

} // namespace

class TestIcmpPackets : public QObject {
    Q_OBJECT
private slots:
    void classifyV4_data();
    void classifyV4();
    void classifyV6_data();
    void classifyV6();
    void errorQueue_data();
    void errorQueue();
    void errorQueueOrigin_data();
    void errorQueueOrigin();
    void payloadText_data();
    void payloadText();
    void checksum();
    void echoRequest_data();
    void echoRequest();
};

void TestIcmpPackets::classifyV4_data() {
    QTest::addColumn<QByteArray>("packet");
    QTest::addColumn<bool>("raw");
    QTest::addColumn<int>("verdict");
    QTest::addColumn<QByteArray>("data");

    const int ignore = static_cast<int>(EchoVerdict::Ignore);
    const int reply = static_cast<int>(EchoVerdict::Reply);
    const int error = static_cast<int>(EchoVerdict::Error);
    const QByteArray none;

    QTest::newRow("ping socket reply") << Echo(0, 999, Seq, Payload) << false << reply << Payload;
    QTest::newRow("ping socket reply, id is the kernel's")
        << Echo(0, 1, Seq, Payload) << false << reply << Payload;
    QTest::newRow("ping socket late reply") << Echo(0, 999, Seq - 1, Payload) << false << ignore << none;
    QTest::newRow("raw reply") << Ip4(Echo(0, Id, Seq, Payload)) << true << reply << Payload;
    QTest::newRow("raw reply behind ip options")
        << Ip4(Echo(0, Id, Seq, "abc"), 7) << true << reply << QByteArray("abc");
    QTest::newRow("raw reply of another process")
        << Ip4(Echo(0, Id + 1, Seq, Payload)) << true << ignore << none;
    QTest::newRow("raw reply of another sequence")
        << Ip4(Echo(0, Id, Seq + 1, Payload)) << true << ignore << none;
    QTest::newRow("raw echo request looped back") << Ip4(Echo(8, Id, Seq, Payload)) << true << ignore << none;
    QTest::newRow("reply without data") << Ip4(Echo(0, Id, Seq)) << true << reply << none;
    QTest::newRow("unreachable about our echo")
        << Ip4(Echo(3, 0, 0) + Ip4(Echo(8, Id, Seq))) << true << error << none;
    QTest::newRow("time exceeded about our echo")
        << Ip4(Echo(11, 0, 0) + Ip4(Echo(8, Id, Seq))) << true << error << none;
    // A redirect is advice about the route, not an answer about the host.
    QTest::newRow("redirect about our echo")
        << Ip4(Echo(5, 0, 0) + Ip4(Echo(8, Id, Seq, Payload))) << true << ignore << none;
    QTest::newRow("unreachable about another id")
        << Ip4(Echo(3, 0, 0) + Ip4(Echo(8, Id + 9, Seq))) << true << ignore << none;
    QTest::newRow("unreachable about another sequence")
        << Ip4(Echo(3, 0, 0) + Ip4(Echo(8, Id, Seq + 9))) << true << ignore << none;
    QTest::newRow("unreachable about a udp datagram")
        << Ip4(Echo(3, 0, 0) + Ip4(Echo(8, Id, Seq), 5, 17)) << true << ignore << none;
    QTest::newRow("unreachable about an echo reply")
        << Ip4(Echo(3, 0, 0) + Ip4(Echo(0, Id, Seq))) << true << ignore << none;
    QTest::newRow("quoted echo cut short")
        << Ip4(Echo(3, 0, 0) + Ip4(Echo(8, Id, Seq)).left(24)) << true << ignore << none;
    QTest::newRow("unknown icmp type") << Ip4(Echo(13, Id, Seq)) << true << ignore << none;
    QTest::newRow("not ipv4") << QByteArray(28, '\x60') << true << ignore << none;
    QTest::newRow("ip header length below minimum") << Ip4(Echo(0, Id, Seq), 2) << true << ignore << none;
    QTest::newRow("ip header longer than packet")
        << Ip4(Echo(0, Id, Seq), 15).left(30) << true << ignore << none;
    QTest::newRow("shorter than an ip header") << Ip4(QByteArray()).left(12) << true << ignore << none;
    QTest::newRow("shorter than an icmp header") << Echo(0, Id, Seq).left(7) << false << ignore << none;
    QTest::newRow("empty") << QByteArray() << false << ignore << none;
}

void TestIcmpPackets::classifyV4() {
    QFETCH(QByteArray, packet);
    QFETCH(bool, raw);
    QFETCH(int, verdict);
    QFETCH(QByteArray, data);
    const EchoPacket p =
        ClassifyEchoPacketV4(Bytes(packet), static_cast<std::size_t>(packet.size()), raw, raw, Id, Seq);
    QCOMPARE(static_cast<int>(p.Verdict), verdict);
    if (p.Verdict == EchoVerdict::Reply)
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(p.Data), static_cast<qsizetype>(p.DataSize)), data);
}

void TestIcmpPackets::classifyV6_data() {
    QTest::addColumn<QByteArray>("packet");
    QTest::addColumn<bool>("raw");
    QTest::addColumn<int>("verdict");

    const int ignore = static_cast<int>(EchoVerdict::Ignore);
    const int reply = static_cast<int>(EchoVerdict::Reply);
    const int error = static_cast<int>(EchoVerdict::Error);

    QTest::newRow("ping socket reply") << Echo(129, 5, Seq) << false << reply;
    QTest::newRow("raw reply") << Echo(129, Id, Seq) << true << reply;
    QTest::newRow("raw reply of another process") << Echo(129, Id + 1, Seq) << true << ignore;
    QTest::newRow("late reply") << Echo(129, Id, Seq - 1) << true << ignore;
    QTest::newRow("echo request") << Echo(128, Id, Seq) << true << ignore;
    QTest::newRow("unreachable about our echo") << Echo(1, 0, 0) + Ip6(Echo(128, Id, Seq)) << true << error;
    QTest::newRow("hop limit exceeded about our echo")
        << Echo(3, 0, 0) + Ip6(Echo(128, Id, Seq)) << true << error;
    QTest::newRow("unreachable about another echo")
        << Echo(1, 0, 0) + Ip6(Echo(128, Id + 1, Seq)) << true << ignore;
    QTest::newRow("unreachable about udp") << Echo(1, 0, 0) + Ip6(Echo(128, Id, Seq), 17) << true << ignore;
    QTest::newRow("quoted echo cut short")
        << (Echo(1, 0, 0) + Ip6(Echo(128, Id, Seq))).left(50) << true << ignore;
    QTest::newRow("neighbour solicitation") << Echo(135, Id, Seq) << true << ignore;
    QTest::newRow("redirect quoting our echo")
        << Echo(137, 0, 0) + QByteArray(32, '\0') + Ip6(Echo(128, Id, Seq)) << true << ignore;
    QTest::newRow("redirect laid out as an error")
        << Echo(137, 0, 0) + Ip6(Echo(128, Id, Seq)) << true << ignore;
    QTest::newRow("short") << Echo(129, Id, Seq).left(6) << true << ignore;
}

void TestIcmpPackets::classifyV6() {
    QFETCH(QByteArray, packet);
    QFETCH(bool, raw);
    QFETCH(int, verdict);
    const EchoPacket p =
        ClassifyEchoPacketV6(Bytes(packet), static_cast<std::size_t>(packet.size()), raw, Id, Seq);
    QCOMPARE(static_cast<int>(p.Verdict), verdict);
}

void TestIcmpPackets::errorQueue_data() {
    QTest::addColumn<QByteArray>("original");
    QTest::addColumn<bool>("v6");
    QTest::addColumn<bool>("matches");

    QTest::newRow("v4 our echo") << Echo(8, 1, Seq, Payload) << false << true;
    QTest::newRow("v4 earlier echo") << Echo(8, 1, Seq - 1, Payload) << false << false;
    QTest::newRow("v4 header only") << Echo(8, 1, Seq) << false << true;
    QTest::newRow("v4 cut short") << Echo(8, 1, Seq).left(6) << false << false;
    QTest::newRow("v6 our echo") << Echo(128, 1, Seq) << true << true;
    QTest::newRow("v6 given a v4 echo") << Echo(8, 1, Seq) << true << false;
}

void TestIcmpPackets::errorQueue() {
    QFETCH(QByteArray, original);
    QFETCH(bool, v6);
    QFETCH(bool, matches);
    QCOMPARE(ErrorQueueEntryMatches(Bytes(original), static_cast<std::size_t>(original.size()), v6, Seq),
             matches);
}

void TestIcmpPackets::errorQueueOrigin_data() {
    QTest::addColumn<int>("origin");
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("answer");
    const int local = 1, icmp = 2, icmp6 = 3;
    QTest::newRow("v4 unreachable") << icmp << 3 << true;
    QTest::newRow("v4 time exceeded") << icmp << 11 << true;
    QTest::newRow("v4 parameter problem") << icmp << 12 << true;
    QTest::newRow("v4 source quench") << icmp << 4 << true;
    QTest::newRow("v4 redirect") << icmp << 5 << false;
    QTest::newRow("v6 unreachable") << icmp6 << 1 << true;
    QTest::newRow("v6 hop limit exceeded") << icmp6 << 3 << true;
    QTest::newRow("v6 redirect") << icmp6 << 137 << false;
    QTest::newRow("local error") << local << 0 << false;
    QTest::newRow("no origin") << 0 << 3 << false;
}

void TestIcmpPackets::errorQueueOrigin() {
    QFETCH(int, origin);
    QFETCH(int, type);
    QFETCH(bool, answer);
    QCOMPARE(ErrorQueueEntryIsAnswer(static_cast<std::uint8_t>(origin), static_cast<std::uint8_t>(type)),
             answer);
}

void TestIcmpPackets::payloadText_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("matches");

    QTest::newRow("as sent") << Payload << true;
    QTest::newRow("text without its zeros") << QByteArray("Pylarix") << true;
    QTest::newRow("other bytes after the zero") << QByteArray("Pylarix\0junk", 12) << true;
    QTest::newRow("one letter changed") << QByteArray("Pylarik\0\0\0\0", 11) << false;
    QTest::newRow("longer text") << QByteArray("Pylarixx\0\0\0", 11) << false;
    QTest::newRow("shorter text") << QByteArray("Pylari\0\0\0\0\0", 11) << false;
    QTest::newRow("all zeros") << QByteArray(11, '\0') << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void TestIcmpPackets::payloadText() {
    QFETCH(QByteArray, data);
    QFETCH(bool, matches);
    QCOMPARE(EchoPayloadMatches(Bytes(data), static_cast<std::size_t>(data.size())), matches);
}

void TestIcmpPackets::checksum() {
    // The worked example of the Internet checksum's definition.
    const std::uint8_t sample[] = {0x00, 0x01, 0xf2, 0x03, 0xf4, 0xf5, 0xf6, 0xf7};
    QCOMPARE(InternetChecksum(sample, sizeof sample), std::uint16_t(0x220d));
    const std::uint8_t odd[] = {0x01};
    QCOMPARE(InternetChecksum(odd, sizeof odd), std::uint16_t(0xfeff));
}

void TestIcmpPackets::echoRequest_data() {
    QTest::addColumn<bool>("v6");
    QTest::addColumn<QByteArray>("payload");
    QTest::newRow("v4 with the payload") << false << Payload;
    QTest::newRow("v6 without payload") << true << QByteArray();
    QTest::newRow("v4 odd length") << false << QByteArray("abc");
}

void TestIcmpPackets::echoRequest() {
    QFETCH(bool, v6);
    QFETCH(QByteArray, payload);
    const auto packet =
        BuildEchoRequest(v6, 0xBEEF, 0x0102, Bytes(payload), static_cast<std::size_t>(payload.size()));
    QCOMPARE(packet.size(), static_cast<std::size_t>(8 + payload.size()));
    QCOMPARE(int(packet[0]), v6 ? 128 : 8);
    QCOMPARE(int(packet[1]), 0);
    QCOMPARE(int(packet[4]), 0xBE);
    QCOMPARE(int(packet[5]), 0xEF);
    QCOMPARE(int(packet[6]), 0x01);
    QCOMPARE(int(packet[7]), 0x02);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(packet.data()) + 8, payload.size()), payload);
    if (!v6)
        QCOMPARE(InternetChecksum(packet.data(), packet.size()), std::uint16_t(0));
    // The reply to it, as a ping socket would return it, is recognised as ours.
    QByteArray reply(reinterpret_cast<const char*>(packet.data()), static_cast<qsizetype>(packet.size()));
    reply[0] = static_cast<char>(v6 ? 129 : 0);
    const EchoPacket p = v6 ? ClassifyEchoPacketV6(Bytes(reply), reply.size(), true, 0xBEEF, 0x0102)
                            : ClassifyEchoPacketV4(Bytes(reply), reply.size(), false, true, 0xBEEF, 0x0102);
    QCOMPARE(static_cast<int>(p.Verdict), static_cast<int>(EchoVerdict::Reply));
}

QTEST_APPLESS_MAIN(TestIcmpPackets)
#include "tst_IcmpPackets.moc"
