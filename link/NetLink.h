#pragma once

// The network link object as the communication thread and the link
// operations use it: the TCP connection to the processor, the subnet test and
// the reachability ping's timer.  The network link implements it.

#include "platform/sys/WinTypes.h"

// Socket errors Receive passes on.
inline constexpr int kNetWouldBlock = 10035;
inline constexpr int kNetAborted = 10053;
inline constexpr int kNetReset = 10054;
inline constexpr int kNetTimedOut = 10060;

class INetLink {
public:
    virtual ~INetLink() = default;
    virtual int Connect() = 0;
    virtual int Close() = 0;
    // 1 when the whole buffer went out.
    virtual int Send(const char* data, int length, int flags) = 0;
    // One receive of at most 400 bytes into g_NetRecvBuf; *length is the
    // receive's own result (the byte count, 0 for a closed peer, negative on
    // an error).  Returns the count or the socket error.
    virtual int Receive(int* length) = 0;
    // The same with at most 16 bytes, for the firmware steps.
    virtual int ReceiveShort(int* length) = 0;
    // The socket's receive time-out; on failure the socket is closed and the
    // result is 0.
    virtual int SetRecvTimeout(int ms) = 0;
    virtual int IsDeviceOnLocalSubnet() = 0;
    virtual void StartPing() = 0;
    // keepThread 0 also ends the ping thread (shut-down).
    virtual void StopPing(int keepThread) = 0;
    // 1 once the processor answered a ping on a local subnet.
    virtual int IsDeviceSeen() = 0;
};
