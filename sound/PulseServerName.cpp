#include "sound/PulseServerName.h"
#include "files/ProgramTitle.h"

#include <pulse/pulseaudio.h>

#include <memory>

namespace calmfield::sound {
namespace {

struct Query {
    std::optional<std::string> name;
    bool done = false;
};

void serverInfo(pa_context*, const pa_server_info* info, void* userdata) {
    auto* query = static_cast<Query*>(userdata);
    if (info != nullptr && info->server_name != nullptr)
        query->name = info->server_name;
    query->done = true;
}

void contextState(pa_context* context, void* userdata) {
    auto* query = static_cast<Query*>(userdata);
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY:
        if (pa_operation* operation = pa_context_get_server_info(context, serverInfo, query))
            pa_operation_unref(operation);
        else
            query->done = true;
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        query->done = true;
        break;
    default:
        break;
    }
}

void deadlinePassed(pa_mainloop_api*, pa_time_event*, const timeval*, void* userdata) {
    static_cast<Query*>(userdata)->done = true;
}

} // namespace

files::Result<std::string, std::string> pulseServerName(const std::string& address,
                                                        std::chrono::milliseconds timeout) {
    const std::unique_ptr<pa_mainloop, decltype(&pa_mainloop_free)> loop(pa_mainloop_new(),
                                                                         pa_mainloop_free);
    if (!loop)
        return files::failure(std::string(pa_strerror(PA_ERR_INTERNAL)));
    pa_mainloop_api* api = pa_mainloop_get_api(loop.get());
    Query query;
    pa_context* context = pa_context_new(api, files::kProgramTitle);
    if (context == nullptr)
        return files::failure(std::string(pa_strerror(PA_ERR_INTERNAL)));
    pa_context_set_state_callback(context, contextState, &query);
    timeval deadline{};
    pa_timeval_add(pa_gettimeofday(&deadline),
                   static_cast<pa_usec_t>(timeout.count()) * PA_USEC_PER_MSEC);
    pa_time_event* timer = api->time_new(api, &deadline, deadlinePassed, &query);
    if (pa_context_connect(context, address.empty() ? nullptr : address.c_str(),
                           PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
        while (!query.done && pa_mainloop_iterate(loop.get(), 1, nullptr) >= 0) {
        }
    }
    api->time_free(timer);
    pa_context_set_state_callback(context, nullptr, nullptr);
    // A server that did not answer in time has not failed, as far as libpulse knows.
    const int error = pa_context_errno(context);
    const std::string reason = pa_strerror(error == PA_OK ? PA_ERR_TIMEOUT : error);
    pa_context_disconnect(context);
    pa_context_unref(context);
    if (!query.name)
        return files::failure(reason);
    return *query.name;
}

} // namespace calmfield::sound
