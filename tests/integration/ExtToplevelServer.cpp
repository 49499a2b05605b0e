// A compositor for tests that offers nothing but the ext toplevel list, its windows made up
// from lines on standard input: "add ID APP_ID TITLE", "title ID TITLE", "app_id ID APP_ID",
// "close ID". It prints "socket NAME" once it listens (in $XDG_RUNTIME_DIR) and "client PID" for
// each client that connects, and ends with its standard input.
#include "ext-foreign-toplevel-list-v1-server-protocol.h"

#include <wayland-server.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{

struct Toplevel {
    std::string appId;
    std::string title;
    std::vector<wl_resource*> handles;
};

struct Compositor {
    wl_display* display = nullptr;
    std::map<std::string, Toplevel> toplevels;
    std::vector<wl_resource*> lists;
    std::string input; // what standard input said after its last full line
};

Compositor compositor;

void forget(std::vector<wl_resource*>& resources, wl_resource* resource)
{
    resources.erase(std::remove(resources.begin(), resources.end(), resource), resources.end());
}

void destroyResource(wl_client*, wl_resource* resource)
{
    wl_resource_destroy(resource);
}

// The generated request tables share their names with the interfaces they implement.
const struct ext_foreign_toplevel_handle_v1_interface handleRequests {
    &destroyResource
};

void handleGone(wl_resource* handle)
{
    for (auto& [id, toplevel] : compositor.toplevels)
        forget(toplevel.handles, handle);
}

void announce(wl_resource* list, const std::string& id, Toplevel& toplevel)
{
    wl_resource* handle = wl_resource_create(wl_resource_get_client(list),
                                             &ext_foreign_toplevel_handle_v1_interface, 1, 0);
    wl_resource_set_implementation(handle, &handleRequests, nullptr, &handleGone);
    ext_foreign_toplevel_list_v1_send_toplevel(list, handle);
    ext_foreign_toplevel_handle_v1_send_identifier(handle, id.c_str());
    ext_foreign_toplevel_handle_v1_send_title(handle, toplevel.title.c_str());
    ext_foreign_toplevel_handle_v1_send_app_id(handle, toplevel.appId.c_str());
    ext_foreign_toplevel_handle_v1_send_done(handle);
    toplevel.handles.push_back(handle);
}

void stopList(wl_client*, wl_resource* list)
{
    if (std::find(compositor.lists.begin(), compositor.lists.end(), list) == compositor.lists.end())
        return;
    forget(compositor.lists, list);
    ext_foreign_toplevel_list_v1_send_finished(list);
}

const struct ext_foreign_toplevel_list_v1_interface listRequests {
    &stopList, &destroyResource
};

void listGone(wl_resource* list)
{
    forget(compositor.lists, list);
}

void bindList(wl_client* client, void*, uint32_t version, uint32_t id)
{
    wl_resource* list =
        wl_resource_create(client, &ext_foreign_toplevel_list_v1_interface, int(version), id);
    wl_resource_set_implementation(list, &listRequests, nullptr, &listGone);
    compositor.lists.push_back(list);
    for (auto& [toplevelId, toplevel] : compositor.toplevels)
        announce(list, toplevelId, toplevel);
}

void clientConnected(wl_listener*, void* data)
{
    pid_t pid = 0;
    wl_client_get_credentials(static_cast<wl_client*>(data), &pid, nullptr, nullptr);
    std::cout << "client " << pid << std::endl;
}

wl_listener clientListener{{}, &clientConnected};

void run(const std::string& line)
{
    std::istringstream words(line);
    std::string command;
    std::string id;
    std::string value;
    words >> command >> id >> std::ws;
    if (command == "add") {
        Toplevel& toplevel = compositor.toplevels[id];
        words >> toplevel.appId >> std::ws;
        std::getline(words, toplevel.title);
        for (wl_resource* list : compositor.lists)
            announce(list, id, toplevel);
        return;
    }
    const auto found = compositor.toplevels.find(id);
    if (found == compositor.toplevels.end())
        return;
    std::getline(words, value);
    for (wl_resource* handle : found->second.handles) {
        if (command == "title")
            ext_foreign_toplevel_handle_v1_send_title(handle, value.c_str());
        else if (command == "app_id")
            ext_foreign_toplevel_handle_v1_send_app_id(handle, value.c_str());
        if (command == "close")
            ext_foreign_toplevel_handle_v1_send_closed(handle);
        else
            ext_foreign_toplevel_handle_v1_send_done(handle);
    }
    if (command == "title")
        found->second.title = value;
    else if (command == "app_id")
        found->second.appId = value;
    else if (command == "close")
        compositor.toplevels.erase(found);
}

int readInput(int fd, uint32_t, void*)
{
    char buffer[4096];
    const ssize_t size = read(fd, buffer, sizeof buffer);
    if (size <= 0) {
        wl_display_terminate(compositor.display);
        return 0;
    }
    compositor.input.append(buffer, size_t(size));
    for (size_t end; (end = compositor.input.find('\n')) != std::string::npos;) {
        run(compositor.input.substr(0, end));
        compositor.input.erase(0, end + 1);
    }
    return 0;
}

} // namespace

int main()
{
    compositor.display = wl_display_create();
    const char* socket = wl_display_add_socket_auto(compositor.display);
    if (!socket) {
        std::cerr << "cannot listen in $XDG_RUNTIME_DIR" << std::endl;
        return 1;
    }
    wl_global_create(compositor.display, &ext_foreign_toplevel_list_v1_interface, 1, nullptr,
                     &bindList);
    wl_display_add_client_created_listener(compositor.display, &clientListener);
    wl_event_loop_add_fd(wl_display_get_event_loop(compositor.display), STDIN_FILENO,
                         WL_EVENT_READABLE, &readInput, nullptr);
    std::cout << "socket " << socket << std::endl;
    wl_display_run(compositor.display);
    wl_display_destroy_clients(compositor.display);
    wl_display_destroy(compositor.display);
    return 0;
}

// The generated tables keep C linkage after their declarations above; see WaylandProtocols.cpp.
#pragma GCC diagnostic ignored "-Wattributes"
#include "ext-foreign-toplevel-list-v1-protocol.c"
