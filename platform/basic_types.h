// Scalar types, enums and constants of the engine interface.
#pragma once

typedef int string_t;     // offset from globalvars_t::pStringBase
typedef int qboolean;
typedef unsigned char byte;
typedef float vec_t;

// Three floats; the engine's vector fields and vector arguments (const float*).
struct vec3_t {
    float x;
    float y;
    float z;
};

enum ALERT_TYPE {
    at_notice = 0,
    at_console = 1,
    at_aiconsole = 2,
    at_warning = 3,
    at_error = 4,
    at_logged = 5,
};

enum PRINT_TYPE { print_console = 0, print_center = 1, print_chat = 2 };

enum FORCE_TYPE {
    force_exactfile = 0,
    force_model_samebounds = 1,
    force_model_specifybounds = 2,
    force_model_specifybounds_if_avail = 3,
};

// Message destinations.
constexpr int MSG_BROADCAST = 0;
constexpr int MSG_ONE = 1;
constexpr int MSG_ALL = 2;
constexpr int MSG_INIT = 3;
constexpr int MSG_PVS = 4;
constexpr int MSG_PAS = 5;
constexpr int MSG_PVS_R = 6;
constexpr int MSG_PAS_R = 7;
constexpr int MSG_ONE_UNRELIABLE = 8;
constexpr int MSG_SPEC = 9;

// entvars_t::flags bits.
constexpr int FL_CLIENT = 1 << 3;
constexpr int FL_ONGROUND = 1 << 9;
constexpr int FL_FAKECLIENT = 1 << 13;
constexpr int FL_SPECTATOR = 1 << 26;

// cvar_t::flags bits.
constexpr int FCVAR_ARCHIVE = 1 << 0;
constexpr int FCVAR_USERINFO = 1 << 1;
constexpr int FCVAR_SERVER = 1 << 2;
constexpr int FCVAR_EXTDLL = 1 << 3;
constexpr int FCVAR_CLIENTDLL = 1 << 4;
constexpr int FCVAR_PROTECTED = 1 << 5;
constexpr int FCVAR_SPONLY = 1 << 6;
constexpr int FCVAR_PRINTABLEONLY = 1 << 7;
constexpr int FCVAR_UNLOGGED = 1 << 8;

// entvars_t::deadflag values.
constexpr int DEAD_NO = 0;
constexpr int DEAD_DYING = 1;
constexpr int DEAD_DEAD = 2;
constexpr int DEAD_RESPAWNABLE = 3;
constexpr int DEAD_DISCARDBODY = 4;
