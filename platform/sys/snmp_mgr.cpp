#include "platform/sys/snmp_mgr.h"

#include "platform/sys/netsnmp_session.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

struct SnmpMgrSession {
    std::unique_ptr<netsnmp_backend::Session> backend;
};

namespace {

constexpr unsigned int MaxOidComponents = 128;
const netsnmp_backend::Oid Mib2 = {1, 3, 6, 1, 2, 1};

bool parseDottedOid(const char* text, netsnmp_backend::Oid& out) {
    out.clear();
    const char* p = text;
    if (*p == '.')
        ++p;
    else
        out = Mib2;
    if (*p == '\0')
        return false;
    while (true) {
        if (*p < '0' || *p > '9')
            return false;
        std::uint64_t component = 0;
        while (*p >= '0' && *p <= '9') {
            component = component * 10 + static_cast<unsigned>(*p - '0');
            if (component > std::numeric_limits<std::uint32_t>::max())
                return false;
            ++p;
        }
        out.push_back(static_cast<std::uint32_t>(component));
        if (out.size() > MaxOidComponents)
            return false;
        if (*p == '\0')
            return true;
        if (*p != '.')
            return false;
        ++p;
    }
}

void freeValue(AsnAny& value) {
    if (value.asnType == ASN_OBJECTIDENTIFIER) {
        std::free(value.asnValue.object.ids);
    } else if (value.asnType == ASN_OCTETSTRING || value.asnType == ASN_IPADDRESS || value.asnType == ASN_OPAQUE) {
        if (value.asnValue.string.dynamic)
            std::free(value.asnValue.string.stream);
    }
    value = AsnAny{};
    value.asnType = ASN_NULL;
}

template <typename T>
T* copyOut(const std::vector<T>& from) {
    if (from.empty())
        return nullptr;
    auto* to = static_cast<T*>(std::malloc(from.size() * sizeof(T)));
    if (to)
        std::memcpy(to, from.data(), from.size() * sizeof(T));
    return to;
}

// Stores the agent's value in place of the binding's; false when memory ran out.
bool storeValue(const netsnmp_backend::Value& from, AsnAny& to) {
    freeValue(to);
    to.asnType = from.type;
    switch (from.type) {
    case ASN_OCTETSTRING:
    case ASN_IPADDRESS:
    case ASN_OPAQUE:
        to.asnValue.string.stream = copyOut(from.bytes);
        to.asnValue.string.length = static_cast<unsigned int>(from.bytes.size());
        to.asnValue.string.dynamic = to.asnValue.string.stream != nullptr;
        return from.bytes.empty() || to.asnValue.string.stream;
    case ASN_OBJECTIDENTIFIER: {
        std::vector<unsigned int> ids(from.oid.begin(), from.oid.end());
        to.asnValue.object.ids = copyOut(ids);
        to.asnValue.object.idLength = static_cast<unsigned int>(ids.size());
        return ids.empty() || to.asnValue.object.ids;
    }
    default:
        to.asnValue.unsigned32 = from.number;
        return true;
    }
}

}  // namespace

BOOL SnmpMgrStartup() {
    return netsnmp_backend::initialise() ? 1 : 0;
}

LPSNMP_MGR_SESSION SnmpMgrOpen(const char* agent, const char* community, int timeoutMs, int retries,
                               const StopSignal* abandon) {
    if (!agent || !community)
        return nullptr;
    auto backend = netsnmp_backend::Session::open(agent, community, timeoutMs, retries, abandon);
    if (!backend)
        return nullptr;
    return new (std::nothrow) SnmpMgrSession{std::move(backend)};
}

BOOL SnmpMgrClose(LPSNMP_MGR_SESSION session) {
    if (!session)
        return 0;
    delete session;
    return 1;
}

BOOL SnmpMgrLookUpAgain(LPSNMP_MGR_SESSION session) {
    if (!session)
        return 0;
    session->backend->lookUpAgain();
    return 1;
}

BOOL SnmpMgrStrToOid(const char* text, AsnObjectIdentifier* oid) {
    if (!text || !oid)
        return 0;
    netsnmp_backend::Oid parsed;
    if (!parseDottedOid(text, parsed))
        return 0;
    std::vector<unsigned int> ids(parsed.begin(), parsed.end());
    unsigned int* copy = copyOut(ids);
    if (!copy)
        return 0;
    oid->ids = copy;
    oid->idLength = static_cast<unsigned int>(ids.size());
    return 1;
}

BOOL SnmpMgrRequest(LPSNMP_MGR_SESSION session, unsigned char requestType, SnmpVarBindList* bindings,
                    AsnInteger32* errorStatus, AsnInteger32* errorIndex) {
    if (!session || !bindings || requestType != SNMP_PDU_GET || bindings->len == 0 || !bindings->list)
        return 0;
    std::vector<netsnmp_backend::OidView> names;
    names.reserve(bindings->len);
    for (unsigned int i = 0; i < bindings->len; ++i)
        names.emplace_back(bindings->list[i].name.ids, bindings->list[i].name.idLength);
    netsnmp_backend::Answer answer;
    if (!session->backend->get(names, answer))
        return 0;
    for (unsigned int i = 0; i < bindings->len; ++i) {
        if (!storeValue(answer.values[i], bindings->list[i].value))
            return 0;
    }
    if (errorStatus)
        *errorStatus = answer.errorStatus;
    if (errorIndex)
        *errorIndex = answer.errorIndex;
    return 1;
}

void* SnmpUtilMemReAlloc(void* block, unsigned int bytes) {
    return std::realloc(block, bytes);
}

void SnmpUtilVarBindListFree(SnmpVarBindList* bindings) {
    if (!bindings)
        return;
    for (unsigned int i = 0; bindings->list && i < bindings->len; ++i) {
        std::free(bindings->list[i].name.ids);
        freeValue(bindings->list[i].value);
    }
    std::free(bindings->list);
    bindings->list = nullptr;
    bindings->len = 0;
}
