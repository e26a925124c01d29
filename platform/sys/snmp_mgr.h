#pragma once
// Decimon's SNMP manager calls: the small manager API the meter session is written
// against (open a session, convert a dotted OID, send one request, free bindings),
// carried out with net-snmp, SNMPv1, one UDP session per open.

#include <cstdint>

class StopSignal;

using BOOL = int;
using AsnInteger32 = std::int32_t;
using AsnUnsigned32 = std::uint32_t;
using AsnCounter32 = std::uint32_t;
using AsnGauge32 = std::uint32_t;
using AsnTimeticks = std::uint32_t;

// Value type codes: the tags of the SNMP SMI.
inline constexpr unsigned char ASN_INTEGER = 0x02;
inline constexpr unsigned char ASN_OCTETSTRING = 0x04;
inline constexpr unsigned char ASN_NULL = 0x05;
inline constexpr unsigned char ASN_OBJECTIDENTIFIER = 0x06;
inline constexpr unsigned char ASN_IPADDRESS = 0x40;
inline constexpr unsigned char ASN_COUNTER32 = 0x41;
inline constexpr unsigned char ASN_GAUGE32 = 0x42;
inline constexpr unsigned char ASN_TIMETICKS = 0x43;
inline constexpr unsigned char ASN_OPAQUE = 0x44;
inline constexpr unsigned char ASN_UNSIGNED32 = 0x47;

inline constexpr unsigned char SNMP_PDU_GET = 0xA0;

struct AsnObjectIdentifier {
    unsigned int idLength;
    unsigned int* ids;  // malloc'd, freed by SnmpUtilVarBindListFree
};

struct AsnOctetString {
    unsigned char* stream;  // malloc'd when dynamic
    unsigned int length;
    bool dynamic;
};

struct AsnAny {
    unsigned char asnType;
    union {
        AsnInteger32 number;
        AsnUnsigned32 unsigned32;
        AsnCounter32 counter;
        AsnGauge32 gauge;
        AsnTimeticks ticks;
        AsnOctetString string;
        AsnObjectIdentifier object;
    } asnValue;
};

struct SnmpVarBind {
    AsnObjectIdentifier name;
    AsnAny value;
};

struct SnmpVarBindList {
    SnmpVarBind* list;  // malloc'd array of len bindings
    unsigned int len;
};

struct SnmpMgrSession;
using LPSNMP_MGR_SESSION = SnmpMgrSession*;

// Process-wide initialisation of the SNMP library, done once whoever calls first
// (thread-safe). SnmpMgrOpen calls it too. Returns non-zero when the library is usable.
BOOL SnmpMgrStartup();

// Opens a session to an agent given as "host", "host:port", "a.b.c.d[:port]",
// an IPv6 address, or "[v6]:port" (UDP port 161 by default); a link-local IPv6 address
// names its interface, "fe80::1%eth0". Null on failure.
// Answers that carry another community than `community` count as no answer. A host with
// several addresses is asked on all of them until one answers, then on that one alone.
// Raising `abandon` (may be null; it must outlive the session) ends the name lookup and
// every wait of the session at once, as failures.
LPSNMP_MGR_SESSION SnmpMgrOpen(const char* agent, const char* community, int timeoutMs, int retries,
                               const StopSignal* abandon = nullptr);
BOOL SnmpMgrClose(LPSNMP_MGR_SESSION session);

// Asks all of the session's addresses again, as at the open (the one that answered may have
// stopped), and looks the session's host up again in the background; nothing waits for it.
// Once the lookup has ended, the session's next request goes to the addresses it found if
// they differ from the session's (as when a name's address changed). Zero for a null session.
BOOL SnmpMgrLookUpAgain(LPSNMP_MGR_SESSION session);

// Dotted numeric OID text to identifier. A text that begins with "." is taken from the
// root; one without it is taken below mib-2 (1.3.6.1.2.1). Fails on anything but digits
// and dots, empty components, components above 4294967295 and more than 128 components.
BOOL SnmpMgrStrToOid(const char* text, AsnObjectIdentifier* oid);

// Sends one request (SNMP_PDU_GET) for the bindings and waits for the answer, with the
// session's time-out and retries, or until its abandon signal is raised. Non-zero when an
// answer arrived whose bindings name the requested objects in order: then every binding's
// value is replaced by the agent's and the answer's error status and index are stored.
BOOL SnmpMgrRequest(LPSNMP_MGR_SESSION session, unsigned char requestType, SnmpVarBindList* bindings,
                    AsnInteger32* errorStatus, AsnInteger32* errorIndex);

void* SnmpUtilMemReAlloc(void* block, unsigned int bytes);
void SnmpUtilVarBindListFree(SnmpVarBindList* bindings);
