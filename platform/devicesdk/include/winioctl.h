/* winioctl.h: building a device's control codes. */
#ifndef DEVICESDK_WINIOCTL_H
#define DEVICESDK_WINIOCTL_H

/* CTL_CODE, FILE_DEVICE_UNKNOWN, METHOD_OUT_DIRECT, FILE_ANY_ACCESS
   (winioctl.h; reference page "Defining I/O Control Codes") */
#define CTL_CODE(DeviceType, Function, Method, Access)                                                                 \
    (((DeviceType) << 16) | ((Access) << 14) | ((Function) << 2) | (Method))
#define FILE_DEVICE_UNKNOWN 0x00000022
#define METHOD_OUT_DIRECT 2
#define FILE_ANY_ACCESS 0

#endif
