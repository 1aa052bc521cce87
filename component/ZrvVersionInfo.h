#pragma once

// The version record a component library carries in place of a version
// resource and string table: exported under ZRV_VERSIONINFO_SYMBOL, read
// with dlsym. Texts are UTF-8.

#include <cstdint>

struct ZrvVersionInfo {
    uint32_t format;         // ZRV_VERSIONINFO_FORMAT
    uint16_t fileVersion[4]; // major, minor, build, revision
    uint16_t productVersion[4];
    const char* fileVersionText; // "1, 0, 0, 1"
    const char* productVersionText;
    const char* fileDescription;
    const char* productName;
    const char* internalName;
    const char* originalFilename;
    const char* projectName; // string 100 of the string table
};

constexpr uint32_t ZRV_VERSIONINFO_FORMAT = 1;

#define ZRV_VERSIONINFO_SYMBOL "ZrvVersionInfo1"
