#include "X11ClientPid.h"

#include "X11Connection.h"

#include <xcb/res.h>

#include <cstdlib>

namespace
{

pid_t serverKnownPid(xcb_connection_t* connection, xcb_res_query_client_ids_cookie_t cookie)
{
    xcb_res_query_client_ids_reply_t* reply =
        xcb_res_query_client_ids_reply(connection, cookie, nullptr);
    if (!reply)
        return 0;
    pid_t pid = 0;
    for (auto ids = xcb_res_query_client_ids_ids_iterator(reply); ids.rem;
         xcb_res_client_id_value_next(&ids)) {
        if ((ids.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) &&
            xcb_res_client_id_value_value_length(ids.data) == 1) {
            pid = pid_t(*xcb_res_client_id_value_value(ids.data));
            break;
        }
    }
    free(reply);
    return pid;
}

} // namespace

QList<pid_t> X11ClientPid::of(X11Connection& connection, const QList<xcb_window_t>& windows)
{
    xcb_connection_t* xcb = connection.xcb();
    // A request to a missing extension closes the whole connection; xcb caches this answer.
    const xcb_query_extension_reply_t* resource = xcb_get_extension_data(xcb, &xcb_res_id);
    const bool serverKnowsPids = resource && resource->present;
    QList<xcb_res_query_client_ids_cookie_t> serverCookies;
    QList<xcb_get_property_cookie_t> statedCookies;
    for (xcb_window_t window : windows) {
        if (serverKnowsPids) {
            const xcb_res_client_id_spec_t spec{window, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
            serverCookies.append(xcb_res_query_client_ids(xcb, 1, &spec));
        }
        statedCookies.append(xcb_ewmh_get_wm_pid(connection.ewmh(), window));
    }
    QList<pid_t> pids;
    for (qsizetype i = 0; i < windows.size(); ++i) {
        pid_t pid = serverKnowsPids ? serverKnownPid(xcb, serverCookies[i]) : 0;
        uint32_t stated = 0;
        const bool hasStated =
            xcb_ewmh_get_wm_pid_reply(connection.ewmh(), statedCookies[i], &stated, nullptr);
        if (pid <= 0 && hasStated)
            pid = pid_t(stated);
        pids.append(pid > 0 ? pid : 0);
    }
    return pids;
}
