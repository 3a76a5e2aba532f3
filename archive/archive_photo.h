// Loads an embedded archive photo by catalog row. Windows only.
#pragma once

#include "archive/image_data.h"

#include <cstdint>
#include <memory>

// Empty for a row outside 0..70, a missing resource or a photo the decoder refuses.
std::shared_ptr<ImageData> loadArchivePhoto(std::int32_t catalogIndex);
