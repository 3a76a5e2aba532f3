// Loads an embedded archive photo: the RCDATA resource of a catalog row, copied out of the
// program's module and decoded.
#include "archive/archive_photo.h"

#include "archive/catalog.h"
#include "archive/photo_limits.h"
#include "core/app_state.h"

#include <windows.h>

#include <cstring>
#include <utility>
#include <vector>

std::shared_ptr<ImageData> loadArchivePhoto(std::int32_t catalogIndex) {
    // Taken as unsigned, every negative index is far above the last row, so this one
    // comparison keeps both ends out before anything is looked up.
    if (static_cast<std::uint32_t>(catalogIndex) > static_cast<std::uint32_t>(CatalogSize - 1)) {
        return {};
    }
    const CatalogEntry& entry = ArchiveCatalog[catalogIndex];
    HRSRC resource =
        FindResourceW(appState.instanceHandle, MAKEINTRESOURCEW(entry.resourceId), RT_RCDATA);
    if (!resource) {
        return {};
    }
    const DWORD size = SizeofResource(appState.instanceHandle, resource);
    HGLOBAL loaded = LoadResource(appState.instanceHandle, resource);
    // Resource memory belongs to the loaded module: it is neither unlocked nor freed.
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) {
        return {};
    }
    if (size > MaxPhotoBytes) {
        return {};
    }
    // The decoder gets a private copy; the module's bytes never back an ImageData.
    std::vector<std::uint8_t> bytes(size);
    if (size > 0) {
        std::memcpy(bytes.data(), data, size);
    }
    return decodePhoto(std::move(bytes));
}
