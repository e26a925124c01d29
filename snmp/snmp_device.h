#pragma once
// One SNMP manager session to one agent: GET one integer or one text object at a time.

#include "platform/sys/snmp_mgr.h"
#include "platform/sys/stop_signal.h"

#include <memory>

class SnmpDevice {
public:
    static constexpr int TextCapacity = 128;  // Agent, Community, OidBase
    static constexpr int DefaultTimeoutMs = 2000;
    static constexpr int DefaultRetries = 3;

    SnmpDevice();
    virtual ~SnmpDevice();
    SnmpDevice(const SnmpDevice&) = delete;
    SnmpDevice& operator=(const SnmpDevice&) = delete;

    // Each setter refuses a text of 128 characters or more (null, member unchanged)
    // and otherwise returns the stored copy.
    const char* SetAgent(const char* agent);
    const char* SetCommunity(const char* community);
    const char* SetOidBase(const char* oidBase);
    // Both take effect at the next Open.
    void SetTimeout(int milliseconds);
    void SetRetries(int retries);
    // A signal whose raising ends the name lookup of Open and every wait for an answer at
    // once, as failures. Set before Open: an open session keeps the signal it was opened with.
    void SetAbandonSignal(std::shared_ptr<const StopSignal> abandon);

    int Open();
    int Close();
    // For an open session: asks all of the agent's addresses again and looks its host name
    // up again in the background; once found, a request goes to the name's new addresses if
    // it has moved. 0 when not open.
    int LookUpAgentAgain();

    // Reads the integer object `name` below OidBase; on failure *result is untouched.
    int GetIpValue(const char* name, AsnInteger32* result);
    // Reads a text object into buffer (at most size - 1 bytes, up to the first NUL);
    // `name` is the whole OID when `absolute` is non-zero, else appended to OidBase.
    int GetStringValue(const char* name, char* buffer, int size, int absolute);
    int GetSysName(char* buffer, int size);
    int GetSysLocation(char* buffer, int size);

    char Agent[TextCapacity];
    char Community[TextCapacity];
    char OidBase[TextCapacity];
    bool IsOpen;
    int TimeoutMs;
    int Retries;
    AsnInteger32 ErrorStatus;
    AsnInteger32 ErrorIndex;
    LPSNMP_MGR_SESSION Session;
    SnmpVarBindList VarBinds;

private:
    // One GET of the OID text; true with the agent's binding in VarBinds.list[0] when an
    // answer arrived. The caller inspects the value, then calls FreeBindings.
    bool Request(const char* oidText);
    void FreeBindings();
    int StringRead(const char* oidText, char* buffer, int size);

    std::shared_ptr<const StopSignal> abandon_;  // outlives Session: closed in the destructor's body
};

// The sound-level meter: community "mivrol", its private OID base, and the weighting query.
class MeterDevice : public SnmpDevice {
public:
    static constexpr const char* MeterCommunity = "mivrol";
    static constexpr const char* MeterOidBase = ".1.3.6.1.4.1.32473.1";
    static constexpr const char* LevelObject = ".1.1.6.0";
    static constexpr const char* WeightingObject = ".1.2.1.0";

    explicit MeterDevice(const char* hostName);

    // "dBA", "dBC", "dBz" for the codes 1, 2, 3; "---" when the read fails; any other code
    // returns the previous text again. The text lives in one process-wide buffer.
    const char* GetWeighting();
};
