// The single instance of the state record.
#include "core/app_state.h"

#include <new>

AppState appState;

void resetAppStateForTests(AppState& state) {
    // Rebuilt rather than assigned field by field, so a field added later starts fresh too.
    // The atomic download flag makes the record neither copyable nor movable.
    state.~AppState();
    ::new (static_cast<void*>(&state)) AppState();
}
