// Game DLL function tables (the functions the engine calls in the game).
#pragma once

#include "basic_types.h"
#include "entities.h"

struct SAVERESTOREDATA;
struct TYPEDESCRIPTION;
struct customization_t;
struct playermove_s;
struct clientdata_s;
struct entity_state_s;
struct weapon_data_s;
struct usercmd_s;
struct netadr_s;

constexpr int INTERFACE_VERSION = 140;
constexpr int NEW_DLL_FUNCTIONS_VERSION = 1;
constexpr int DLL_FUNCTIONS_SLOTS = 50;
constexpr int NEW_DLL_FUNCTIONS_SLOTS = 5;

// The two trailing vectors of pfnCreateBaseline travel as pointers in practice.
struct DLL_FUNCTIONS {
    void (*pfnGameInit)(void);  // 0
    int (*pfnSpawn)(edict_t*);  // 1
    void (*pfnThink)(edict_t*);  // 2
    void (*pfnUse)(edict_t*, edict_t*);  // 3
    void (*pfnTouch)(edict_t*, edict_t*);  // 4
    void (*pfnBlocked)(edict_t*, edict_t*);  // 5
    void (*pfnKeyValue)(edict_t*, KeyValueData*);  // 6
    void (*pfnSave)(edict_t*, SAVERESTOREDATA*);  // 7
    int (*pfnRestore)(edict_t*, SAVERESTOREDATA*, int);  // 8
    void (*pfnSetAbsBox)(edict_t*);  // 9
    void (*pfnSaveWriteFields)(SAVERESTOREDATA*, const char*, void*, TYPEDESCRIPTION*, int);  // 10
    void (*pfnSaveReadFields)(SAVERESTOREDATA*, const char*, void*, TYPEDESCRIPTION*, int);  // 11
    void (*pfnSaveGlobalState)(SAVERESTOREDATA*);  // 12
    void (*pfnRestoreGlobalState)(SAVERESTOREDATA*);  // 13
    void (*pfnResetGlobalState)(void);  // 14
    int (*pfnClientConnect)(edict_t*, const char*, const char*, char*);  // 15
    void (*pfnClientDisconnect)(edict_t*);  // 16
    void (*pfnClientKill)(edict_t*);  // 17
    void (*pfnClientPutInServer)(edict_t*);  // 18
    void (*pfnClientCommand)(edict_t*);  // 19
    void (*pfnClientUserInfoChanged)(edict_t*, char*);  // 20
    void (*pfnServerActivate)(edict_t*, int, int);  // 21
    void (*pfnServerDeactivate)(void);  // 22
    void (*pfnPlayerPreThink)(edict_t*);  // 23
    void (*pfnPlayerPostThink)(edict_t*);  // 24
    void (*pfnStartFrame)(void);  // 25
    void (*pfnParmsNewLevel)(void);  // 26
    void (*pfnParmsChangeLevel)(void);  // 27
    const char* (*pfnGetGameDescription)(void);  // 28
    void (*pfnPlayerCustomization)(edict_t*, customization_t*);  // 29
    void (*pfnSpectatorConnect)(edict_t*);  // 30
    void (*pfnSpectatorDisconnect)(edict_t*);  // 31
    void (*pfnSpectatorThink)(edict_t*);  // 32
    void (*pfnSys_Error)(const char*);  // 33
    void (*pfnPM_Move)(playermove_s*, int);  // 34
    void (*pfnPM_Init)(playermove_s*);  // 35
    char (*pfnPM_FindTextureType)(const char*);  // 36
    void (*pfnSetupVisibility)(edict_t*, edict_t*, unsigned char**, unsigned char**);  // 37
    void (*pfnUpdateClientData)(const edict_t*, int, clientdata_s*);  // 38
    int (*pfnAddToFullPack)(entity_state_s*, int, edict_t*, edict_t*, int, int, unsigned char*);  // 39
    void (*pfnCreateBaseline)(int, int, entity_state_s*, edict_t*, int, const float*, const float*);  // 40
    void (*pfnRegisterEncoders)(void);  // 41
    int (*pfnGetWeaponData)(edict_t*, weapon_data_s*);  // 42
    void (*pfnCmdStart)(const edict_t*, const usercmd_s*, unsigned int);  // 43
    void (*pfnCmdEnd)(const edict_t*);  // 44
    int (*pfnConnectionlessPacket)(const netadr_s*, const char*, char*, int*);  // 45
    int (*pfnGetHullBounds)(int, float*, float*);  // 46
    void (*pfnCreateInstancedBaselines)(void);  // 47
    int (*pfnInconsistentFile)(const edict_t*, const char*, char*);  // 48
    int (*pfnAllowLagCompensation)(void);  // 49
};

struct NEW_DLL_FUNCTIONS {
    void (*pfnOnFreeEntPrivateData)(edict_t*);  // 0
    void (*pfnGameShutdown)(void);  // 1
    int (*pfnShouldCollide)(edict_t*, edict_t*);  // 2
    void (*pfnCvarValue)(const edict_t*, const char*);  // 3
    void (*pfnCvarValue2)(const edict_t*, int, const char*, const char*);  // 4
};
