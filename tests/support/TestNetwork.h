#pragma once

#include <QString>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

// Runs a command line without a shell; true when it exits 0. Output goes to errorText.
bool RunCommand(const QStringList& arguments, QString* errorText = nullptr);

// Runs fn on a fresh thread that has entered the named network namespace, and waits for it.
// False when the namespace could not be entered.
bool RunInNamespace(const std::string& name, const std::function<void()>& fn);

// Gives the calling thread a mount namespace of its own in which hostsFile is /etc/hosts, so its
// name look-ups see the test's names. Only for a thread made for it (RunInNamespace's).
bool UseHostsFile(const QString& hostsFile);

// A small test network of two namespaces joined by a veth pair:
//   client 10.201.1.1/24, fd00:201:1::1/64  <->  host 10.201.1.2-.8/24, fd00:201:1::2, ::8/64
// The host ignores echo requests (IPv4 and IPv6), routes 10.201.3.0/24 and fd00:201:3::/64 to
// "unreachable" (so it answers with ICMP errors) and drops 10.201.5.0/24 and fd00:201:5::/64
// silently (a blackhole).
class CTestNetwork {
public:
    CTestNetwork();
    ~CTestNetwork();
    bool Create(QString* errorText);
    void Destroy();
    // ping_group_range of the client namespace: ping sockets allowed or refused.
    bool AllowPingSockets(bool allow);

    std::string Client;
    std::string Host;

private:
    static void RemoveLeftovers();
    bool Created = false;
};

// Answers echo requests inside the host namespace from a raw socket, the way a hostile or broken
// host would: to 10.201.1.3 from another address (10.201.1.99), to 10.201.1.4 with other data,
// to 10.201.1.6 correctly, to 10.201.1.7 correctly after SlowReplyMs. To 10.201.1.8 and
// fd00:201:1::8 a router first sends a redirect that quotes the echo (ICMP type 5 from
// 10.201.1.2, ICMPv6 type 137 from fe80::99), and RedirectLeadMs later the host answers
// correctly. Other addresses stay silent.
class CEchoForger {
public:
    static constexpr int SlowReplyMs = 20;
    static constexpr int RedirectLeadMs = 50;
    explicit CEchoForger(std::string hostNamespace);
    ~CEchoForger();
    bool Start();
    void Stop();
    int Answered() const { return Count.load(); }
    int Redirected() const { return Redirects.load(); }

private:
    void Run();
    void AnswerV4(const std::uint8_t* in, std::size_t size);
    void AnswerV6(const std::uint8_t* in, std::size_t size, const void* source, const void* destination);
    std::string Namespace;
    std::thread Thread;
    std::atomic<bool> Stopping{false};
    std::atomic<int> Count{0};
    std::atomic<int> Redirects{0};
    int ListenFd = -1;
    int SendFd = -1;
    int ListenFd6 = -1;
    int SendFd6 = -1;
};
