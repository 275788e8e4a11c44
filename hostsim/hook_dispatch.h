// Passes one call of the game (to the engine) or of the engine (to the game) through
// the plug-ins' hook tables, as the plug-in manager does: pre hooks in load order,
// the real call, then post hooks in load order.
#pragma once

#include <type_traits>

#include "host_impl.h"

namespace hostsim {

template <typename T>
struct Ident {
    using type = T;
};

void WarnUnsetResult(Host::Impl& host, LoadedPlugin& plugin, const char* slot, const char* phase);

// Table: enginefuncs_t or DLL_FUNCTIONS; pre/post: the plug-in's tables of that kind;
// slot: the hooked slot; real: the call the hooks surround.
template <typename Table, typename R, typename... P, typename Real>
R CallThroughHooks(Host::Impl& host, Table PluginRecord::*pre, Table PluginRecord::*post,
                   R (*Table::*slot)(P...), const char* slotName, Real&& real,
                   typename Ident<P>::type... args) {
    constexpr bool kVoid = std::is_void_v<R>;
    using Value = std::conditional_t<kVoid, int, R>;
    Value supercedeValue{};
    META_RES status = MRES_UNSET;
    META_RES prev = MRES_UNSET;

    // Hooks may load nothing, but the list is walked by index in case it grows.
    for (std::size_t i = 0; i < host.plugins.size(); ++i) {
        LoadedPlugin& p = *host.plugins[i];
        if (!p.active) continue;
        auto fn = (p.rec.*pre).*slot;
        if (fn == nullptr) continue;
        meta_globals_t& g = p.rec.globals;
        g.mres = MRES_UNSET;
        g.prev_mres = prev;
        g.status = status;
        g.orig_ret = nullptr;
        g.override_ret = nullptr;
        if constexpr (kVoid) {
            fn(args...);
        } else {
            Value r = fn(args...);
            if (g.mres == MRES_SUPERCEDE) supercedeValue = r;
        }
        META_RES res = g.mres;
        if (res == MRES_UNSET) WarnUnsetResult(host, p, slotName, "pre");
        if (res > status) status = res;
        prev = res;
    }

    Value result{};
    if (status < MRES_SUPERCEDE) {
        if constexpr (kVoid) {
            real(args...);
        } else {
            result = real(args...);
        }
    } else {
        result = supercedeValue;
    }

    prev = MRES_UNSET;
    for (std::size_t i = 0; i < host.plugins.size(); ++i) {
        LoadedPlugin& p = *host.plugins[i];
        if (!p.active) continue;
        auto fn = (p.rec.*post).*slot;
        if (fn == nullptr) continue;
        meta_globals_t& g = p.rec.globals;
        g.mres = MRES_UNSET;
        g.prev_mres = prev;
        g.status = status;
        g.orig_ret = kVoid ? nullptr : static_cast<void*>(&result);
        g.override_ret = nullptr;
        fn(args...);
        META_RES res = g.mres;
        if (res == MRES_UNSET) WarnUnsetResult(host, p, slotName, "post");
        prev = res;
    }
    if constexpr (!kVoid) return result;
}

}  // namespace hostsim
