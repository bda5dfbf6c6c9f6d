// Scene 2: a low three-quarter view of the rooster, rim lit from behind.
#include "compound_files.h"
#include "stage_lights.h"

compound_file::File BuildScene2Stage() {
    compound_file::File file;
    stage::AddCamera(file, "Rim", {-4, -7, 2.2f}, {0, 0, 1.8f});
    // Behind and around the rooster; the upper two show in the frame with their halos.
    stage::AddLight(file, "RimMagenta", {1.0f, 0.2f, 0.75f}, 0.4f, {2.6f, 2.8f, 3.6f});
    stage::AddLight(file, "RimCyan", {0.15f, 0.8f, 1.0f}, 0.4f, {-2.4f, 3.2f, 2.6f});
    stage::AddLight(file, "RimAmber", {1.0f, 0.6f, 0.1f}, 0.4f, {3.4f, 0.6f, 1.2f});
    stage::AddLight(file, "FillViolet", {0.55f, 0.3f, 1.0f}, 0.4f, {-3.2f, -3.0f, 4.2f});
    return file;
}
