#include "config/config_dialogs.h"

#include "config/file_locations_model.h"

namespace vantor {

bool ConfigDialogs::EditFileLocations(SystemLocations& locations, AudiowallState& audiowall,
                                      UserInterface& ui) {
    FileLocationsModel model(locations, audiowall, ui);
    model.Open();
    return RunFileLocations(model);
}

}  // namespace vantor
