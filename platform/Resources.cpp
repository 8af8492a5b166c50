#include "platform/Resources.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {
struct TRegisteredBlob {
    int Type;
    std::string Name;
    std::span<const uint8_t> Bytes;
};

// Only the GUI thread touches resources.
std::vector<TRegisteredBlob>& Registered() {
    static std::vector<TRegisteredBlob> blobs;
    return blobs;
}

char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiUpper(x) == AsciiUpper(y);
           });
}

const TResourceBlob* FindCompiled(int type, std::string_view name) {
    for (const TResourceBlob& blob : CompiledResources())
        if (blob.Type == type && blob.Name && SameName(blob.Name, name)) return &blob;
    return nullptr;
}

std::vector<TRegisteredBlob>::iterator FindRegistered(int type, std::string_view name) {
    auto& blobs = Registered();
    return std::find_if(blobs.begin(), blobs.end(), [&](const TRegisteredBlob& b) {
        return b.Type == type && SameName(b.Name, name);
    });
}
} // namespace

bool FindResourceBlob(int type, std::string_view name, std::span<const uint8_t>& out) {
    if (const TResourceBlob* blob = FindCompiled(type, name)) {
        out = blob->Data ? std::span<const uint8_t>(blob->Data, blob->Size)
                         : std::span<const uint8_t>();
        return true;
    }
    auto it = FindRegistered(type, name);
    if (it == Registered().end()) return false;
    out = it->Bytes;
    return true;
}

bool RegisterResourceBlob(int type, std::string_view name, std::span<const uint8_t> bytes) {
    if (name.empty() || FindCompiled(type, name) ||
        FindRegistered(type, name) != Registered().end())
        return false;
    Registered().push_back({type, std::string(name), bytes});
    return true;
}

bool UnregisterResourceBlob(int type, std::string_view name) {
    auto it = FindRegistered(type, name);
    if (it == Registered().end()) return false;
    Registered().erase(it);
    return true;
}
