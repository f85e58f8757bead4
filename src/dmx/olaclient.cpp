#include "dmx/olaclient.h"

#include "show/language.h"
#include "show/textutil.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <mutex>

namespace orvane {

std::string olaPeerText(uint16_t port) {
    return fillIn(translate("OLA", "olad at %1"), {"127.0.0.1:" + std::to_string(port)});
}

#if ORVANE_HAVE_OLA

namespace {

constexpr const char* kModuleName = "orvane-ola.so";
constexpr const char* kFactoryName = "orvane_make_ola_client";

using Factory = OlaClient* (*)(uint16_t);

std::string programFolder() {
    char path[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return ".";
    std::string exe(path, size_t(n));
    size_t slash = exe.rfind('/');
    return slash == std::string::npos ? "." : exe.substr(0, slash);
}

// Installed: <prefix>/bin/orvane and <prefix>/lib/orvane/orvane-ola.so. In the
// build tree the module sits next to the program, one folder above the tests.
std::string findModule(std::string* tried) {
    std::string folder = programFolder();
    for (const char* relative : {"/../lib/orvane/", "/", "/../"}) {
        std::string path = folder + relative + kModuleName;
        if (::access(path.c_str(), R_OK) == 0)
            return path;
        *tried += (tried->empty() ? "" : ", ") + path;
    }
    return {};
}

// The module may be loaded by a thread that must not translate: the error is
// kept in parts and worded by olaLoadError().
struct Module {
    enum class Failure { None, NotFound, NotLoaded, NoFactory, System };
    Factory factory = nullptr;
    Failure failure = Failure::None;
    std::string detail; // the paths tried, the module's path, or the system's text
};

// Loaded once, by whichever thread asks first; never unloaded.
const Module& module() {
    static Module loaded;
    static std::once_flag once;
    std::call_once(once, [] {
        std::string tried;
        std::string path = findModule(&tried);
        auto fail = [](Module::Failure failure, std::string detail) {
            loaded.failure = failure;
            loaded.detail = std::move(detail);
        };
        if (path.empty())
            return fail(Module::Failure::NotFound, tried);
        void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            const char* why = ::dlerror();
            return why ? fail(Module::Failure::System, why)
                       : fail(Module::Failure::NotLoaded, path);
        }
        loaded.factory = reinterpret_cast<Factory>(::dlsym(handle, kFactoryName));
        if (!loaded.factory) {
            const char* why = ::dlerror();
            why ? fail(Module::Failure::System, why) : fail(Module::Failure::NoFactory, path);
        }
    });
    return loaded;
}

} // namespace

bool olaBuiltIn() {
    return true;
}

std::string olaLoadError() {
    const Module& m = module();
    switch (m.failure) {
    case Module::Failure::None:
        return {};
    case Module::Failure::NotFound:
        return fillIn(translate("OLA", "%1: not found"), {m.detail});
    case Module::Failure::NotLoaded:
        return fillIn(translate("OLA", "%1: cannot be loaded"), {m.detail});
    case Module::Failure::NoFactory:
        return fillIn(translate("OLA", "%1: no %2"), {m.detail, kFactoryName});
    case Module::Failure::System:
        break;
    }
    return m.detail;
}

std::unique_ptr<OlaClient> makeStreamingOlaClient(uint16_t port) {
    Factory factory = module().factory;
    return factory ? std::unique_ptr<OlaClient>(factory(port)) : nullptr;
}

#else

bool olaBuiltIn() {
    return false;
}

std::string olaLoadError() {
    return {};
}

std::unique_ptr<OlaClient> makeStreamingOlaClient(uint16_t) {
    return nullptr;
}

#endif

} // namespace orvane
