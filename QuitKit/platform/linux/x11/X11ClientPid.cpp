#include "X11ClientPid.h"

#include "ServerClientSockets.h"
#include "X11Connection.h"

#include <QHash>
#include <QSysInfo>

#include <xcb/res.h>

#include <cstdlib>
#include <optional>
#include <unistd.h>

namespace
{

struct RecordedPid {
    uint32_t client = 0; // the client's resource-id base
    pid_t pid = 0;
};

// The local pids the server recorded, one per client the query names.
QList<RecordedPid> serverKnownPids(xcb_connection_t* connection,
                                   xcb_res_query_client_ids_cookie_t cookie)
{
    xcb_res_query_client_ids_reply_t* reply =
        xcb_res_query_client_ids_reply(connection, cookie, nullptr);
    if (!reply)
        return {};
    QList<RecordedPid> pids;
    for (auto ids = xcb_res_query_client_ids_ids_iterator(reply); ids.rem;
         xcb_res_client_id_value_next(&ids)) {
        if ((ids.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) &&
            xcb_res_client_id_value_value_length(ids.data) == 1)
            pids.append({ids.data->spec.client, pid_t(*xcb_res_client_id_value_value(ids.data))});
    }
    free(reply);
    return pids;
}

xcb_res_query_client_ids_cookie_t queryClientPid(xcb_connection_t* connection, uint32_t client)
{
    const xcb_res_client_id_spec_t spec{client, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
    return xcb_res_query_client_ids(connection, 1, &spec);
}

enum class Machine { unnamed, thisHost, another };

Machine clientMachine(xcb_connection_t* connection, xcb_get_property_cookie_t cookie)
{
    xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
    QByteArray machine;
    if (reply && reply->format == 8)
        machine = QByteArray(static_cast<const char*>(xcb_get_property_value(reply)),
                             xcb_get_property_value_length(reply));
    free(reply);
    if (machine.isEmpty())
        return Machine::unnamed;
    return machine == QSysInfo::machineHostName().toLocal8Bit() ? Machine::thisHost
                                                                : Machine::another;
}

// A client whose recorded pid no longer holds its connection, and the one process that does.
struct Heir {
    uint32_t client = 0;
    pid_t pid = 0;
};

// A client that forked and exited leaves its connection to its child, while the server still
// records the parent's pid. The child takes the client's windows only when nothing else can be
// meant: one such client, one connection no verified client holds, one process holding it.
template <typename Verified>
std::optional<Heir> soleHeir(ServerClientSockets& clients, const QList<RecordedPid>& everyClient,
                             const Verified& verified)
{
    QList<uint32_t> orphans;
    QList<pid_t> claimants;
    for (const RecordedPid& recorded : everyClient) {
        if (recorded.client == 0) // the server's own resources
            continue;
        if (verified(recorded.pid))
            claimants.append(recorded.pid);
        else
            orphans.append(recorded.client);
    }
    if (orphans.size() != 1)
        return std::nullopt;
    const QSet<quint32> unclaimed = clients.heldByNoneOf(claimants);
    if (unclaimed.size() != 1)
        return std::nullopt;
    const QList<pid_t> holders = clients.holdersOf(*unclaimed.constBegin());
    if (holders.size() != 1 || holders.first() <= 1 || holders.first() == getpid())
        return std::nullopt;
    return Heir{orphans.first(), holders.first()};
}

} // namespace

QList<pid_t> X11ClientPid::of(X11Connection& connection, const QList<xcb_window_t>& windows,
                              const QString& procRoot)
{
    QList<pid_t> pids(windows.size(), 0);
    std::optional<ServerClientSockets> clients =
        ServerClientSockets::of(xcb_get_file_descriptor(connection.xcb()), procRoot);
    if (!clients)
        return pids;

    xcb_connection_t* xcb = connection.xcb();
    // A request to a missing extension closes the whole connection; xcb caches this answer.
    const xcb_query_extension_reply_t* resource = xcb_get_extension_data(xcb, &xcb_res_id);
    const bool serverKnowsPids = resource && resource->present;
    std::optional<xcb_res_query_client_ids_cookie_t> allClients;
    if (serverKnowsPids)
        allClients = queryClientPid(xcb, XCB_NONE);
    QList<xcb_res_query_client_ids_cookie_t> serverCookies;
    QList<xcb_get_property_cookie_t> statedCookies;
    QList<xcb_get_property_cookie_t> machineCookies;
    for (xcb_window_t window : windows) {
        if (serverKnowsPids)
            serverCookies.append(queryClientPid(xcb, window));
        statedCookies.append(xcb_ewmh_get_wm_pid(connection.ewmh(), window));
        machineCookies.append(
            xcb_get_property(xcb, 0, window, XCB_ATOM_WM_CLIENT_MACHINE, XCB_ATOM_STRING, 0, 256));
    }

    // A pid that was reused by another client holds fewer connections than the server counts.
    const QList<RecordedPid> everyClient =
        allClients ? serverKnownPids(xcb, *allClients) : QList<RecordedPid>();
    QHash<pid_t, int> serverConnections;
    for (const RecordedPid& recorded : everyClient)
        ++serverConnections[recorded.pid];
    const auto verified = [&](pid_t pid) {
        const int held = clients->connectionsHeldBy(pid);
        return held > 0 && held >= serverConnections.value(pid, 0);
    };
    QList<bool> remote(windows.size(), false);
    for (qsizetype i = 0; i < windows.size(); ++i) {
        const QList<RecordedPid> recorded =
            serverKnowsPids ? serverKnownPids(xcb, serverCookies[i]) : QList<RecordedPid>();
        uint32_t stated = 0;
        const bool hasStated =
            xcb_ewmh_get_wm_pid_reply(connection.ewmh(), statedCookies[i], &stated, nullptr);
        const Machine machine = clientMachine(xcb, machineCookies[i]);
        // A remote app's connection is held by whatever forwards it here (ssh -X), not by it.
        remote[i] = machine == Machine::another;
        if (remote[i])
            continue;
        if (!recorded.isEmpty() && verified(recorded.first().pid))
            pids[i] = recorded.first().pid;
        else if (hasStated && machine == Machine::thisHost && verified(pid_t(stated)))
            pids[i] = pid_t(stated);
    }

    if (const std::optional<Heir> heir = soleHeir(*clients, everyClient, verified)) {
        const uint32_t clientBits = xcb_get_setup(xcb)->resource_id_mask;
        for (qsizetype i = 0; i < windows.size(); ++i) {
            if (pids[i] == 0 && !remote[i] && (windows[i] & ~clientBits) == heir->client)
                pids[i] = heir->pid;
        }
    }
    return pids;
}
