#pragma once

#include "platform/NetProbes.h"

#include <cstddef>
#include <cstdint>
#include <sys/socket.h>
#include <vector>

// The 11-byte payload of an IPv4 echo: the product name, then zero bytes.
constexpr std::size_t EchoPayloadV4Size = 11;
extern const std::uint8_t EchoPayloadV4[EchoPayloadV4Size];

std::uint16_t InternetChecksum(const std::uint8_t* data, std::size_t size);
// ICMP (v6: ICMPv6) echo request: 8-byte header, then the payload. The IPv4 checksum is filled
// in; for ICMPv6 the kernel computes it.
std::vector<std::uint8_t> BuildEchoRequest(bool v6, std::uint16_t id, std::uint16_t sequence,
                                           const std::uint8_t* payload, std::size_t payloadSize);

enum class EchoVerdict {
    Ignore, // not about our echo
    Reply,  // the echo reply to our echo
    Error,  // an ICMP error about our echo
};

struct EchoPacket {
    EchoVerdict Verdict = EchoVerdict::Ignore;
    const std::uint8_t* Data = nullptr; // reply payload (Reply only)
    std::size_t DataSize = 0;
};

// Classifies a packet read from an ICMP socket. Raw IPv4 sockets deliver the IP header first
// (withIpHeader); raw sockets must match the identifier (checkId), ping sockets have the kernel
// do that. The sequence always has to match, so a late reply to an earlier echo never counts.
EchoPacket ClassifyEchoPacketV4(const std::uint8_t* packet, std::size_t size, bool withIpHeader, bool checkId,
                                std::uint16_t id, std::uint16_t sequence);
EchoPacket ClassifyEchoPacketV6(const std::uint8_t* packet, std::size_t size, bool checkId, std::uint16_t id,
                                std::uint16_t sequence);
// An error-queue entry of a ping socket carries (the start of) the echo it is about.
bool ErrorQueueEntryMatches(const std::uint8_t* original, std::size_t size, bool v6, std::uint16_t sequence);
// An error-queue entry of that origin (SO_EE_ORIGIN_*) and ICMP type answers an echo: an ICMP
// or ICMPv6 error, a redirect excepted.
bool ErrorQueueEntryIsAnswer(std::uint8_t origin, std::uint8_t type);
// The reply's data read as zero-terminated text equals the payload text.
bool EchoPayloadMatches(const std::uint8_t* data, std::size_t size);

// Opens the worker's ICMP socket of the family if none is open: a ping socket first, a raw
// socket with kernel filters when the kernel refuses that. False when neither can be had.
bool OpenIcmpSocket(ProbeState& probe, int family);

enum class EchoOutcome { NoReply, Reply, ErrorReply };

struct EchoResult {
    EchoOutcome Outcome = EchoOutcome::NoReply;
    sockaddr_storage From{};
    std::vector<std::uint8_t> Data;
    std::int32_t RoundTripMs = -1;
};

// Sends one echo on the open socket and waits at most timeoutMs for its first answer.
EchoResult SendEcho(ProbeState& probe, const sockaddr* destination, socklen_t destinationSize,
                    const std::uint8_t* payload, std::size_t payloadSize, std::uint32_t timeoutMs);
