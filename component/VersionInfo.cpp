// The version record of libzrvfort (see ZrvVersionInfo.h).

#include "component/ZrvVersionInfo.h"

extern "C" __attribute__((visibility("default"))) const ZrvVersionInfo ZrvVersionInfo1 = {
    ZRV_VERSIONINFO_FORMAT,
    {1, 0, 0, 1},
    {1, 0, 0, 1},
    "1, 0, 0, 1",
    "1, 0, 0, 1",
    "zrvfort Module",
    "zrvfort Module",
    "zrvfort",
    "zrvfort.DLL",
    "zrvfort",
};
