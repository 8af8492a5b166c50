#pragma once
// The program's own resources: named blobs compiled into the binary from resources/
// (message tables now; bitmaps and cursors share the same registry).
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// Resource types, numbered as the classic resource compiler numbers them.
constexpr int RT_CURSOR = 1;
constexpr int RT_BITMAP = 2;
constexpr int RT_ICON = 3;
constexpr int RT_RCDATA = 10;
constexpr int RT_GROUP_CURSOR = 12;

// One compiled blob. Names are plain ASCII and compare ignoring letter case.
struct TResourceBlob {
    int Type;
    const char* Name;
    const uint8_t* Data;
    size_t Size;
};

// The blobs compiled into the program; defined by the generated source of the
// marvolt_resources library.
std::span<const TResourceBlob> CompiledResources();

// Finds the resource `name` of `type`: the compiled blobs first, then those registered at
// run time. On success `out` views the bytes, which stay valid for the life of the
// process (for a registered blob: until it is unregistered).
bool FindResourceBlob(int type, std::string_view name, std::span<const uint8_t>& out);

// Adds a blob at run time (the caller keeps the bytes alive). Refused (false) when a
// resource of that type and name already exists or the name is empty.
bool RegisterResourceBlob(int type, std::string_view name, std::span<const uint8_t> bytes);
// Removes a blob added by RegisterResourceBlob; false when there is none.
bool UnregisterResourceBlob(int type, std::string_view name);
