#include "engine/MpvLibrary.h"

#include <QByteArray>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <mpv/client.h>
#include <mpv/render.h>
#include <mutex>

namespace {

// The library whose interface the headers describe: client API 2.x ships as
// libmpv.so.2.
QByteArray LibraryName() {
    return "libmpv.so." + QByteArray::number(MPV_CLIENT_API_VERSION >> 16);
}

// The functions of libmpv that the player uses; every one of them has its
// forwarder below.
#define VELPA_MPV_FUNCTIONS(X)                                                                     \
    X(mpv_command_async)                                                                           \
    X(mpv_create)                                                                                  \
    X(mpv_error_string)                                                                            \
    X(mpv_get_property_async)                                                                      \
    X(mpv_initialize)                                                                              \
    X(mpv_observe_property)                                                                        \
    X(mpv_render_context_create)                                                                   \
    X(mpv_render_context_free)                                                                     \
    X(mpv_render_context_render)                                                                   \
    X(mpv_render_context_set_update_callback)                                                      \
    X(mpv_render_context_update)                                                                   \
    X(mpv_request_log_messages)                                                                    \
    X(mpv_set_option_string)                                                                       \
    X(mpv_set_property_async)                                                                      \
    X(mpv_set_property_string)                                                                     \
    X(mpv_set_wakeup_callback)                                                                     \
    X(mpv_terminate_destroy)                                                                       \
    X(mpv_unobserve_property)                                                                      \
    X(mpv_wait_event)

struct Library {
#define VELPA_POINTER(name) decltype(&::name) name = nullptr;
    VELPA_MPV_FUNCTIONS(VELPA_POINTER)
#undef VELPA_POINTER
    bool loaded = false;
    QString error;
};

const Library &Load() {
    static Library lib;
    static std::once_flag once;
    std::call_once(once, [] {
        void *handle = dlopen(LibraryName().constData(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            lib.error = QString::fromLocal8Bit(dlerror());
            return;
        }
        bool complete = true;
#define VELPA_RESOLVE(name)                                                                        \
    lib.name = reinterpret_cast<decltype(&::name)>(dlsym(handle, #name));                          \
    complete = complete && lib.name;
        VELPA_MPV_FUNCTIONS(VELPA_RESOLVE)
#undef VELPA_RESOLVE
        if (!complete) {
            lib.error = QStringLiteral("%1 lacks functions the player needs")
                            .arg(QString::fromLatin1(LibraryName()));
            return;
        }
        lib.loaded = true;
    });
    return lib;
}

// Only the media engine calls libmpv, and it loads the library first; a call
// that gets here without it is a programming error.
const Library &Loaded() {
    const Library &lib = Load();
    if (!lib.loaded) {
        std::fprintf(stderr, "velpa-player: libmpv is not available: %s\n", qPrintable(lib.error));
        std::abort();
    }
    return lib;
}

} // namespace

bool LoadMpvLibrary(QString *error) {
    const Library &lib = Load();
    if (!lib.loaded && error)
        *error = lib.error;
    return lib.loaded;
}

extern "C" {

int mpv_command_async(mpv_handle *ctx, uint64_t reply_userdata, const char **args) {
    return Loaded().mpv_command_async(ctx, reply_userdata, args);
}
mpv_handle *mpv_create(void) {
    return Loaded().mpv_create();
}
const char *mpv_error_string(int error) {
    return Loaded().mpv_error_string(error);
}
int mpv_get_property_async(mpv_handle *ctx, uint64_t reply_userdata, const char *name,
                           mpv_format format) {
    return Loaded().mpv_get_property_async(ctx, reply_userdata, name, format);
}
int mpv_initialize(mpv_handle *ctx) {
    return Loaded().mpv_initialize(ctx);
}
int mpv_observe_property(mpv_handle *mpv, uint64_t reply_userdata, const char *name,
                         mpv_format format) {
    return Loaded().mpv_observe_property(mpv, reply_userdata, name, format);
}
int mpv_render_context_create(mpv_render_context **res, mpv_handle *mpv, mpv_render_param *params) {
    return Loaded().mpv_render_context_create(res, mpv, params);
}
void mpv_render_context_free(mpv_render_context *ctx) {
    Loaded().mpv_render_context_free(ctx);
}
int mpv_render_context_render(mpv_render_context *ctx, mpv_render_param *params) {
    return Loaded().mpv_render_context_render(ctx, params);
}
void mpv_render_context_set_update_callback(mpv_render_context *ctx, mpv_render_update_fn callback,
                                            void *callback_ctx) {
    Loaded().mpv_render_context_set_update_callback(ctx, callback, callback_ctx);
}
uint64_t mpv_render_context_update(mpv_render_context *ctx) {
    return Loaded().mpv_render_context_update(ctx);
}
int mpv_request_log_messages(mpv_handle *ctx, const char *min_level) {
    return Loaded().mpv_request_log_messages(ctx, min_level);
}
int mpv_set_option_string(mpv_handle *ctx, const char *name, const char *data) {
    return Loaded().mpv_set_option_string(ctx, name, data);
}
int mpv_set_property_async(mpv_handle *ctx, uint64_t reply_userdata, const char *name,
                           mpv_format format, void *data) {
    return Loaded().mpv_set_property_async(ctx, reply_userdata, name, format, data);
}
int mpv_set_property_string(mpv_handle *ctx, const char *name, const char *data) {
    return Loaded().mpv_set_property_string(ctx, name, data);
}
void mpv_set_wakeup_callback(mpv_handle *ctx, void (*cb)(void *d), void *d) {
    Loaded().mpv_set_wakeup_callback(ctx, cb, d);
}
void mpv_terminate_destroy(mpv_handle *ctx) {
    Loaded().mpv_terminate_destroy(ctx);
}
int mpv_unobserve_property(mpv_handle *mpv, uint64_t registered_reply_userdata) {
    return Loaded().mpv_unobserve_property(mpv, registered_reply_userdata);
}
mpv_event *mpv_wait_event(mpv_handle *ctx, double timeout) {
    return Loaded().mpv_wait_event(ctx, timeout);
}
}
