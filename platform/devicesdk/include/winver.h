/* winver.h: the version block's names (reference page VERSIONINFO). */
#ifndef DEVICESDK_WINVER_H
#define DEVICESDK_WINVER_H

#define VS_VERSION_INFO 1
#define VS_FFI_FILEFLAGSMASK 0x0000003FL
#define VOS_NT_WINDOWS32 0x00040004L
#define VFT_APP 0x00000001L
#define VFT_DLL 0x00000002L
#define VFT2_UNKNOWN 0x00000000L

#endif
