#include "snmp/snmp_device.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

namespace {

constexpr const char* SysNameOid = ".1.3.6.1.2.1.1.5.0";
constexpr const char* SysLocationOid = ".1.3.6.1.2.1.1.6.0";

const char* StoreText(char (&member)[SnmpDevice::TextCapacity], const char* text) {
    if (!text || std::strlen(text) >= SnmpDevice::TextCapacity)
        return nullptr;
    std::strcpy(member, text);
    return member;
}

}  // namespace

SnmpDevice::SnmpDevice()
    : Agent{},
      Community{},
      OidBase{},
      IsOpen(false),
      TimeoutMs(DefaultTimeoutMs),
      Retries(DefaultRetries),
      ErrorStatus(0),
      ErrorIndex(0),
      Session(nullptr),
      VarBinds{nullptr, 0} {}

SnmpDevice::~SnmpDevice() {
    if (IsOpen)
        Close();
}

const char* SnmpDevice::SetAgent(const char* agent) {
    return StoreText(Agent, agent);
}
const char* SnmpDevice::SetCommunity(const char* community) {
    return StoreText(Community, community);
}
const char* SnmpDevice::SetOidBase(const char* oidBase) {
    return StoreText(OidBase, oidBase);
}
void SnmpDevice::SetTimeout(int milliseconds) {
    TimeoutMs = milliseconds;
}
void SnmpDevice::SetRetries(int retries) {
    Retries = retries;
}
void SnmpDevice::SetAbandonSignal(std::shared_ptr<const StopSignal> abandon) {
    if (!IsOpen)  // the session holds the old one by its address
        abandon_ = std::move(abandon);
}

int SnmpDevice::Open() {
    Session = SnmpMgrOpen(Agent, Community, TimeoutMs, Retries, abandon_.get());
    if (!Session)
        return 0;
    IsOpen = true;
    return 1;
}

int SnmpDevice::Close() {
    if (!SnmpMgrClose(Session))
        return 0;
    Session = nullptr;
    IsOpen = false;
    return 1;
}

int SnmpDevice::LookUpAgentAgain() {
    return IsOpen ? SnmpMgrLookUpAgain(Session) : 0;
}

bool SnmpDevice::Request(const char* oidText) {
    VarBinds = SnmpVarBindList{nullptr, 0};
    if (!IsOpen)
        return false;
    AsnObjectIdentifier name{};
    if (!SnmpMgrStrToOid(oidText, &name)) {
        std::fputs("SnmpDevice::GetIpValue() - SnmpMgrStrToOid() failed.\n", stdout);
        return false;
    }
    VarBinds.len = 1;
    auto* grown = static_cast<SnmpVarBind*>(SnmpUtilMemReAlloc(VarBinds.list, sizeof(SnmpVarBind)));
    if (!grown) {
        std::fputs("SnmpDevice::GetIpValue() - SNMP_realloc() failed.\n", stdout);
        std::free(name.ids);  // no binding owns it yet
        VarBinds = SnmpVarBindList{nullptr, 0};
        return false;
    }
    VarBinds.list = grown;
    VarBinds.list[0] = SnmpVarBind{};
    VarBinds.list[0].name = name;
    VarBinds.list[0].value.asnType = ASN_NULL;
    return SnmpMgrRequest(Session, SNMP_PDU_GET, &VarBinds, &ErrorStatus, &ErrorIndex) != 0;
}

void SnmpDevice::FreeBindings() {
    SnmpUtilVarBindListFree(&VarBinds);
}

int SnmpDevice::GetIpValue(const char* name, AsnInteger32* result) {
    const std::string oid = std::string(OidBase) + name;
    int accepted = 0;
    if (Request(oid.c_str())) {
        const AsnAny& value = VarBinds.list[0].value;
        if (value.asnType == ASN_INTEGER || value.asnType == ASN_COUNTER32 || value.asnType == ASN_UNSIGNED32) {
            *result = value.asnValue.number;
            accepted = 1;
        }
    }
    FreeBindings();
    return accepted;
}

int SnmpDevice::GetStringValue(const char* name, char* buffer, int size, int absolute) {
    const std::string oid = absolute ? std::string(name) : std::string(OidBase) + name;
    return StringRead(oid.c_str(), buffer, size);
}

int SnmpDevice::StringRead(const char* oidText, char* buffer, int size) {
    int accepted = 0;
    if (size > 0 && Request(oidText)) {
        const AsnAny& value = VarBinds.list[0].value;
        if (value.asnType == ASN_OCTETSTRING) {
            // Byte by byte: an empty string carries no bytes at all (a null stream).
            const AsnOctetString& text = value.asnValue.string;
            std::size_t n = 0;
            for (; n < text.length && n + 1 < static_cast<std::size_t>(size) && text.stream[n] != 0; ++n)
                buffer[n] = static_cast<char>(text.stream[n]);
            buffer[n] = '\0';
            accepted = 1;
        }
    }
    FreeBindings();
    return accepted;
}

int SnmpDevice::GetSysName(char* buffer, int size) {
    if (size > 0)
        buffer[0] = '\0';
    return StringRead(SysNameOid, buffer, size);
}

int SnmpDevice::GetSysLocation(char* buffer, int size) {
    if (size > 0)
        buffer[0] = '\0';
    return StringRead(SysLocationOid, buffer, size);
}

MeterDevice::MeterDevice(const char* hostName) {
    SetTimeout(DefaultTimeoutMs);
    SetRetries(DefaultRetries);
    SetAgent(hostName);
    SetCommunity(MeterCommunity);
    SetOidBase(MeterOidBase);
}

const char* MeterDevice::GetWeighting() {
    static char weighting[4] = "";
    AsnInteger32 code = 0;
    if (!GetIpValue(WeightingObject, &code))
        std::strcpy(weighting, "---");
    else if (code == 1)
        std::strcpy(weighting, "dBA");
    else if (code == 2)
        std::strcpy(weighting, "dBC");
    else if (code == 3)
        std::strcpy(weighting, "dBz");
    return weighting;
}
