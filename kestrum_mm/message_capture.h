// Hooks that follow the game's weapon messages and keep the player weapon table.
#pragma once

#include "entities.h"

int HookRegUserMsgPost(const char* name, int size);
void HookMessageBegin(int dest, int type, const float* origin, edict_t* target);
// Shared by pfnWriteByte, pfnWriteChar, pfnWriteShort and pfnWriteLong.
void HookWriteInteger(int value);
void HookWriteString(const char* text);
void HookMessageEnd();
int HookSpawn(edict_t* entity);
void HookClientDisconnect(edict_t* entity);
