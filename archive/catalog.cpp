// The three places of the built-in archive. The rows themselves are generated from
// archive/catalog.csv and the photo files (cmake/archive.cmake).
#include "archive/catalog.h"

// Place names are shown as written in every language.
const wchar_t AralSeaName[] = L"Aral Sea";
const wchar_t ColumbiaGlacierName[] = L"Columbia Glacier";
const wchar_t LakePowellName[] = L"Lake Powell";

const wchar_t* const placeNames[PlaceCount] = {AralSeaName, ColumbiaGlacierName, LakePowellName};
