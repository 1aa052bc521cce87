// The version record of libzrvfort (see ZrvVersionInfo.h).

#include "component/ZrvVersionInfo.h"

extern "C" __attribute__((visibility("default"))) const ZrvVersionInfo ZrvVersionInfo1 = {
    .format = ZRV_VERSIONINFO_FORMAT,
    .fileVersion = {1, 0, 0, 1},
    .productVersion = {1, 0, 0, 1},
    .fileVersionText = "1, 0, 0, 1",
    .productVersionText = "1, 0, 0, 1",
    .fileDescription = "zrvfort Module",
    .productName = "zrvfort Module",
    .internalName = "zrvfort",
    .originalFilename = "zrvfort.DLL",
    .projectName = "zrvfort",
};
