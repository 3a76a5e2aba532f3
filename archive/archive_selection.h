// The user's road into the built-in archive: the place buttons, the two year lists and
// "Load years", kept in step with whatever pair is on display. Windows only.
#pragma once

#include <cstdint>

// Rebuilds yearRows for selectedPlace and refills both year lists, earliest year against
// latest.
void fillYearCombos();

// The two list selections as catalog rows; false (and InvalidYears as an error) unless they
// are two different items.
bool readYearSelection(std::int32_t& firstRow, std::int32_t& secondRow);

// Installs the two selected embedded photos and reports Ready or CannotReadPhotos.
void loadSelectedYears();

// Makes the year lists and the Load and fetch buttons agree with the pair on display.
void syncYearControls();

// A place button: that place's years fill the lists and its earliest against its latest year
// goes on display.
void choosePlace(std::int32_t place);
