#include "platform/linux/NetErrors.h"
#include "types/MonitorStatus.h"
#include "types/SocketErrors.h"

#include <QTest>
#include <cerrno>
#include <netdb.h>

class TestMonitorStatus : public QObject {
    Q_OBJECT
private slots:
    void statusNames_data();
    void statusNames();
    void payload_data();
    void payload();
    void errnoToStatus_data();
    void errnoToStatus();
    void resolverToStatus_data();
    void resolverToStatus();
    void socketCodeTable_data();
    void socketCodeTable();
};

void TestMonitorStatus::statusNames_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("method");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("wordWithChecking");
    QTest::addColumn<QString>("boxText");

    QTest::newRow("nostatus") << 0 << MethodPing << "NoStatus"
                              << ""
                              << ""
                              << "";
    QTest::newRow("down ping") << 1 << MethodPing << "Down"
                               << "Down"
                               << "Down"
                               << "";
    QTest::newRow("down tcp") << 1 << MethodTcp << "Down"
                              << "Down"
                              << "Down"
                              << "";
    QTest::newRow("2 ping is Up") << 2 << MethodPing << "Up"
                                  << "Up"
                                  << "Up"
                                  << "";
    QTest::newRow("2 tcp is Open") << 2 << MethodTcp << "Open"
                                   << "Open"
                                   << "Open"
                                   << "";
    QTest::newRow("2 other method has no word") << 2 << 0 << "Up"
                                                << ""
                                                << ""
                                                << "";
    QTest::newRow("neterror") << 4 << MethodPing << "NETERROR"
                              << "NETERROR"
                              << "NETERROR"
                              << "NET ERROR";
    QTest::newRow("iperror") << 5 << MethodTcp << "IPERROR"
                             << "IPERROR"
                             << "IPERROR"
                             << "IP ERROR";
    QTest::newRow("checking only for double-click") << 6 << MethodPing << "CHECKING"
                                                    << ""
                                                    << "CHECKING"
                                                    << "CHECKING";
    QTest::newRow("close") << 7 << MethodTcp << "Close"
                           << "Close"
                           << "Close"
                           << "";
    QTest::newRow("3 is unused") << 3 << MethodPing << ""
                                 << ""
                                 << ""
                                 << "";
}

void TestMonitorStatus::statusNames() {
    QFETCH(int, status);
    QFETCH(int, method);
    QFETCH(QString, name);
    QFETCH(QString, word);
    QFETCH(QString, wordWithChecking);
    QFETCH(QString, boxText);
    const auto s = static_cast<MonitorStatus>(status);
    QCOMPARE(QString::fromLatin1(StatusName(s, method)), name);
    QCOMPARE(QString::fromLatin1(StatusWord(s, method, false)), word);
    QCOMPARE(QString::fromLatin1(StatusWord(s, method, true)), wordWithChecking);
    const char* text = ErrorStatusText(s);
    QCOMPARE(text ? QString::fromLatin1(text) : QString(), boxText);
}

void TestMonitorStatus::payload_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("index");
    QTest::addColumn<uint>("wParam");
    QTest::addColumn<int>("indexBack");

    QTest::newRow("up slot 0") << 2 << 0 << 0x00020000u << 0;
    QTest::newRow("close slot 59") << 7 << 59 << 0x0007003Bu << 59;
    QTest::newRow("checking slot 1") << 6 << 1 << 0x00060001u << 1;
    QTest::newRow("destroyed marker") << 1 << 0xFFFF << 0x0001FFFFu << 0xFFFF;
    QTest::newRow("only low 16 bits travel") << 4 << 0x12345 << 0x00042345u << 0x2345;
    QTest::newRow("negative index keeps low bits") << 5 << -1 << 0x0005FFFFu << 0xFFFF;
}

void TestMonitorStatus::payload() {
    QFETCH(int, status);
    QFETCH(int, index);
    QFETCH(uint, wParam);
    QFETCH(int, indexBack);
    const std::uint32_t packed = MakeBoxStatusWParam(static_cast<MonitorStatus>(status), index);
    QCOMPARE(packed, static_cast<std::uint32_t>(wParam));
    QCOMPARE(static_cast<int>(BoxStatusOf(packed)), status);
    QCOMPARE(BoxIndexOf(packed), indexBack);
    QCOMPARE(WM_BOX_STATUS, 1028u);
}

void TestMonitorStatus::errnoToStatus_data() {
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("status");

    QTest::newRow("refused") << ECONNREFUSED << 10061 << 7;
    QTest::newRow("net down") << ENETDOWN << 10050 << 4;
    QTest::newRow("address not available") << EADDRNOTAVAIL << 10049 << 5;
    QTest::newRow("invalid") << EINVAL << 10022 << 5;
    QTest::newRow("interrupted") << EINTR << 10004 << 1;
    QTest::newRow("timed out") << ETIMEDOUT << 10060 << 1;
    QTest::newRow("net unreachable") << ENETUNREACH << 10051 << 1;
    QTest::newRow("host unreachable") << EHOSTUNREACH << 10065 << 1;
    QTest::newRow("reset") << ECONNRESET << 10054 << 1;
    QTest::newRow("unlisted errno") << EPIPE << -1 << 1;
}

void TestMonitorStatus::errnoToStatus() {
    QFETCH(int, error);
    QFETCH(int, code);
    QFETCH(int, status);
    QCOMPARE(SocketErrorFromErrno(error), code);
    QCOMPARE(static_cast<int>(StatusFromSocketError(SocketErrorFromErrno(error))), status);
}

void TestMonitorStatus::resolverToStatus_data() {
    QTest::addColumn<int>("eai");
    QTest::addColumn<int>("systemError");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("status");

    QTest::newRow("no such name") << EAI_NONAME << 0 << 11001 << 5;
    QTest::newRow("no address for name") << EAI_NODATA << 0 << 11001 << 5;
    QTest::newRow("no name server reachable") << EAI_AGAIN << 0 << 11001 << 5;
    QTest::newRow("bad flags") << EAI_BADFLAGS << 0 << 10022 << 5;
    QTest::newRow("system error uses errno") << EAI_SYSTEM << ENETDOWN << 10050 << 4;
    QTest::newRow("resolver failure") << EAI_FAIL << 0 << 11003 << 1;
    QTest::newRow("memory") << EAI_MEMORY << 0 << 10055 << 1;
}

void TestMonitorStatus::resolverToStatus() {
    QFETCH(int, eai);
    QFETCH(int, systemError);
    QFETCH(int, code);
    QFETCH(int, status);
    QCOMPARE(SocketErrorFromResolver(eai, systemError), code);
    QCOMPARE(static_cast<int>(StatusFromSocketError(code)), status);
}

void TestMonitorStatus::socketCodeTable_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("status");

    QTest::newRow("host not found") << 11001 << 5;
    QTest::newRow("einval") << 10022 << 5;
    QTest::newRow("addr not avail") << 10049 << 5;
    QTest::newRow("net down") << 10050 << 4;
    QTest::newRow("refused") << 10061 << 7;
    QTest::newRow("eintr is the time-out") << 10004 << 1;
    QTest::newRow("any other") << 10060 << 1;
    QTest::newRow("zero is no listed error") << 0 << 1;
}

void TestMonitorStatus::socketCodeTable() {
    QFETCH(int, code);
    QFETCH(int, status);
    QCOMPARE(static_cast<int>(StatusFromSocketError(code)), status);
}

QTEST_APPLESS_MAIN(TestMonitorStatus)
#include "tst_MonitorStatus.moc"
