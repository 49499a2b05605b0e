#include "PipeWireCaptureStreams.h"

#include "OwnProcesses.h"
#include "PipeWireSocketWatch.h"

#include <QFile>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <unordered_map>

#include <pipewire/pipewire.h>
#include <spa/utils/string.h>

namespace
{

bool isCaptureStream(const char* mediaClass)
{
    return spa_streq(mediaClass, "Stream/Input/Audio") ||
           spa_streq(mediaClass, "Stream/Input/Video");
}

} // namespace

// Runs on the loop's thread. The main thread reads the members marked "guarded" under `mutex`,
// and touches the others only before the loop starts and after it stopped.
struct PipeWireCaptureStreams::Connection {
    // A client owning capture streams, followed for the process it claims.
    struct Client {
        Connection* connection = nullptr;
        pw_proxy* proxy = nullptr;
        spa_hook listener{};
        std::optional<pid_t> claimedPid;
    };

    explicit Connection(CaptureAsking asking);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void connect();
    void disconnect();
    void requestSync();
    void watchClient(uint32_t id);
    void dropUnusedClients();
    void publish();
    void markSettled();

    static void onCoreDone(void* data, uint32_t id, int seq);
    static void onCoreError(void* data, uint32_t id, int seq, int res, const char* message);
    static void onGlobal(void* data, uint32_t id, uint32_t permissions, const char* type,
                         uint32_t version, const spa_dict* props);
    static void onGlobalRemove(void* data, uint32_t id);
    static void onClientInfo(void* data, const pw_client_info* info);

    pw_thread_loop* threadLoop = nullptr;
    pw_context* context = nullptr;
    spa_source* reconnect = nullptr; // asks the loop to connect, or to clean up a broken link
    std::optional<PipeWireSocketWatch> socketWatch;

    pw_core* core = nullptr;
    spa_hook coreListener{};
    pw_registry* registry = nullptr;
    spa_hook registryListener{};
    bool broken = false;
    int syncSeq = 0;
    bool boundSinceSync = false;
    std::unordered_map<uint32_t, uint32_t> captureNodes; // node id → client id
    std::unordered_map<uint32_t, std::unique_ptr<Client>> clients;

    std::mutex mutex;
    std::condition_variable settledChanged;
    QSet<pid_t> claimed;  // guarded by `mutex`
    bool settled = false; // guarded by `mutex`
};

PipeWireCaptureStreams::Connection::Connection(CaptureAsking asking)
{
    // Asked once, with no daemon to ask: PipeWire's plugins and modules need not even load.
    if (asking == CaptureAsking::once && !PipeWireSocketWatch::socketExists()) {
        markSettled();
        return;
    }
    pw_init(nullptr, nullptr);
    threadLoop = pw_thread_loop_new("nimbrel-capture", nullptr);
    pw_loop* loop = threadLoop ? pw_thread_loop_get_loop(threadLoop) : nullptr;
    if (loop)
        context =
            pw_context_new(loop, pw_properties_new(PW_KEY_CONFIG_NAME, "client.conf", nullptr), 0);
    if (!context) {
        markSettled();
        return;
    }
    reconnect = pw_loop_add_event(
        loop,
        [](void* data, uint64_t) {
            auto* self = static_cast<Connection*>(data);
            if (self->broken)
                self->disconnect();
            if (!self->core)
                self->connect();
        },
        this);
    // A daemon started later (or again) creates its socket anew: that is when to try again.
    if (asking == CaptureAsking::repeatedly)
        socketWatch.emplace(loop, [this] {
            if (!core)
                connect();
            return core != nullptr;
        });
    if (pw_thread_loop_start(threadLoop) != 0) {
        markSettled();
        return;
    }
    pw_loop_signal_event(loop, reconnect);
}

PipeWireCaptureStreams::Connection::~Connection()
{
    if (threadLoop)
        pw_thread_loop_stop(threadLoop);
    // The loop's thread has ended: what it owned is cleaned up here.
    disconnect();
    socketWatch.reset();
    if (reconnect)
        pw_loop_destroy_source(pw_thread_loop_get_loop(threadLoop), reconnect);
    if (context)
        pw_context_destroy(context);
    if (threadLoop)
        pw_thread_loop_destroy(threadLoop);
}

void PipeWireCaptureStreams::Connection::connect()
{
    // Filled member by member: the tables grow with new versions, and unused events stay null.
    static const pw_core_events coreEvents = [] {
        pw_core_events events{};
        events.version = PW_VERSION_CORE_EVENTS;
        events.done = onCoreDone;
        events.error = onCoreError;
        return events;
    }();
    static const pw_registry_events registryEvents = {
        .version = PW_VERSION_REGISTRY_EVENTS,
        .global = onGlobal,
        .global_remove = onGlobalRemove,
    };
    // No daemon: nothing captures through it, and nothing is said about it.
    core = pw_context_connect(context, nullptr, 0);
    if (!core)
        return markSettled();
    pw_core_add_listener(core, &coreListener, &coreEvents, this);
    registry = pw_core_get_registry(core, PW_VERSION_REGISTRY, 0);
    pw_registry_add_listener(registry, &registryListener, &registryEvents, this);
    requestSync();
}

void PipeWireCaptureStreams::Connection::disconnect()
{
    broken = false;
    if (!core)
        return;
    for (auto& [id, client] : clients) {
        spa_hook_remove(&client->listener);
        pw_proxy_destroy(client->proxy);
    }
    clients.clear();
    captureNodes.clear();
    spa_hook_remove(&registryListener);
    pw_proxy_destroy(reinterpret_cast<pw_proxy*>(registry));
    registry = nullptr;
    spa_hook_remove(&coreListener);
    pw_core_disconnect(core);
    core = nullptr;
    publish();
    markSettled();
}

void PipeWireCaptureStreams::Connection::requestSync()
{
    syncSeq = pw_core_sync(core, PW_ID_CORE, syncSeq);
    boundSinceSync = false;
}

void PipeWireCaptureStreams::Connection::onCoreDone(void* data, uint32_t id, int seq)
{
    auto* self = static_cast<Connection*>(data);
    if (id != PW_ID_CORE || seq != self->syncSeq)
        return;
    // Clients bound since then answer with their process only after one more round.
    if (self->boundSinceSync)
        self->requestSync();
    else
        self->markSettled();
}

void PipeWireCaptureStreams::Connection::onCoreError(void* data, uint32_t id, int, int, const char*)
{
    // Errors about single objects (a client gone before it was bound) need nothing done.
    if (id != PW_ID_CORE)
        return;
    // The core may not be destroyed from inside its own event: clean up on the next turn.
    auto* self = static_cast<Connection*>(data);
    self->broken = true;
    pw_loop_signal_event(pw_thread_loop_get_loop(self->threadLoop), self->reconnect);
}

void PipeWireCaptureStreams::Connection::onGlobal(void* data, uint32_t id, uint32_t,
                                                  const char* type, uint32_t, const spa_dict* props)
{
    auto* self = static_cast<Connection*>(data);
    uint32_t client = 0;
    if (!spa_streq(type, PW_TYPE_INTERFACE_Node) || !props ||
        !isCaptureStream(spa_dict_lookup(props, PW_KEY_MEDIA_CLASS)) ||
        !spa_atou32(spa_dict_lookup(props, PW_KEY_CLIENT_ID), &client, 10))
        return;
    self->captureNodes[id] = client;
    self->watchClient(client);
    self->publish();
}

void PipeWireCaptureStreams::Connection::onGlobalRemove(void* data, uint32_t id)
{
    auto* self = static_cast<Connection*>(data);
    if (self->captureNodes.erase(id) == 0)
        return;
    self->dropUnusedClients();
    self->publish();
}

void PipeWireCaptureStreams::Connection::watchClient(uint32_t id)
{
    static const pw_client_events clientEvents = [] {
        pw_client_events events{};
        events.version = PW_VERSION_CLIENT_EVENTS;
        events.info = onClientInfo;
        return events;
    }();
    if (clients.count(id) > 0)
        return;
    // The node names only its client; the client's own properties name the process.
    auto* proxy = static_cast<pw_proxy*>(
        pw_registry_bind(registry, id, PW_TYPE_INTERFACE_Client, PW_VERSION_CLIENT, 0));
    if (!proxy)
        return;
    auto client = std::make_unique<Client>();
    client->connection = this;
    client->proxy = proxy;
    pw_client_add_listener(reinterpret_cast<pw_client*>(proxy), &client->listener, &clientEvents,
                           client.get());
    clients.emplace(id, std::move(client));
    boundSinceSync = true;
}

void PipeWireCaptureStreams::Connection::dropUnusedClients()
{
    for (auto it = clients.begin(); it != clients.end();) {
        const bool used = std::any_of(captureNodes.cbegin(), captureNodes.cend(),
                                      [&](const auto& node) { return node.second == it->first; });
        if (used) {
            ++it;
            continue;
        }
        spa_hook_remove(&it->second->listener);
        pw_proxy_destroy(it->second->proxy);
        it = clients.erase(it);
    }
}

void PipeWireCaptureStreams::Connection::onClientInfo(void* data, const pw_client_info* info)
{
    auto* client = static_cast<Client*>(data);
    if (!(info->change_mask & PW_CLIENT_CHANGE_MASK_PROPS) || !info->props)
        return;
    int32_t pid = 0;
    if (spa_atoi32(spa_dict_lookup(info->props, PW_KEY_APP_PROCESS_ID), &pid, 10))
        client->claimedPid = pid;
    else
        client->claimedPid.reset();
    client->connection->publish();
}

void PipeWireCaptureStreams::Connection::publish()
{
    QSet<pid_t> pids;
    for (const auto& [node, clientId] : captureNodes) {
        const auto client = clients.find(clientId);
        if (client != clients.end() && client->second->claimedPid)
            pids.insert(*client->second->claimedPid);
    }
    const std::lock_guard lock(mutex);
    claimed = pids;
}

void PipeWireCaptureStreams::Connection::markSettled()
{
    {
        const std::lock_guard lock(mutex);
        settled = true;
    }
    settledChanged.notify_all();
}

PipeWireCaptureStreams::PipeWireCaptureStreams(const QString& procRoot_, CaptureAsking asking)
    : procRoot(QFile::encodeName(procRoot_)), connection(std::make_unique<Connection>(asking))
{
}

PipeWireCaptureStreams::~PipeWireCaptureStreams() = default;

QSet<pid_t> PipeWireCaptureStreams::capturingProcesses()
{
    QSet<pid_t> pids;
    {
        const std::lock_guard lock(connection->mutex);
        pids = connection->claimed;
    }
    // A claim counts only for a process of this user's.
    pids.removeIf([this](pid_t pid) { return !OwnProcesses::contains(procRoot, pid); });
    return pids;
}

bool PipeWireCaptureStreams::settle(std::chrono::milliseconds limit)
{
    std::unique_lock lock(connection->mutex);
    return connection->settledChanged.wait_for(lock, limit, [this] { return connection->settled; });
}
