// The platform-free rules of start-up: how the per-user folder is formed and how high the
// interface font is.
#include "app/startup.h"

#include "app/layout.h"
#include "pairs/storage.h"

std::wstring appDataDirFor(std::wstring_view localAppData) {
    if (localAppData.empty()) {
        return {};
    }
    return joinPath(localAppData, L"Driftpane");
}

std::int32_t uiFontHeight(float scale) {
    return -scaledBy(13.0f, scale);
}
